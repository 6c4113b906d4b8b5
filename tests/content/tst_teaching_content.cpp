// SPDX-License-Identifier: GPL-3.0-or-later
// The teaching content the build writes into the run folder: the two topic quizzes in the quiz
// layout, the worksheet register beside them, and the reading pages as pairs of metafiles, one
// for the screen and one for paper.
#include "platform/fonts.h"
#include "platform/textfile.h"
#include "platform/wmf.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QSet>
#include <QStringDecoder>
#include <QTest>

#include <map>

namespace {

QString runPath(const QString &relative)
{
    return QDir(QStringLiteral(HABITARA_RUN_DIR)).filePath(relative);
}

QByteArray readRunFile(const QString &relative)
{
    QFile file(runPath(relative));
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

const QStringList pageNames = {
    QStringLiteral("key livingmountains"),
    QStringLiteral("key livingdesert"),
    QStringLiteral("livingmountainsa"),
    QStringLiteral("livingmountainsb"),
    QStringLiteral("livingdesert"),
    QStringLiteral("acknowledgments"),
    QStringLiteral("guide1"),
    QStringLiteral("guide2"),
    QStringLiteral("guide3"),
    QStringLiteral("guide4"),
    QStringLiteral("guide5"),
};

// The viewers show a screen page from its top-left corner beside their buttons, and print a
// paper page at (1000, 1000) twips on an A4 or Letter sheet.
const QSizeF screenLimit(10400, 7750);
const QSizeF paperLimit(9800, 13500);

} // namespace

class TeachingContentTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void quizIsInTheQuizLayout_data();
    void quizIsInTheQuizLayout();
    void registerReadsAsACountOfTitles();
    void everyPageHasAScreenAndAPaperVersion();
    void pageParsesAndFitsItsViewer_data();
    void pageParsesAndFitsItsViewer();
};

void TeachingContentTest::initTestCase()
{
    registerFonts();
}

void TeachingContentTest::quizIsInTheQuizLayout_data()
{
    QTest::addColumn<QString>("topic");
    QTest::newRow("mountains") << QStringLiteral("Living in the Mountains");
    QTest::newRow("desert") << QStringLiteral("Living in the Desert");
}

void TeachingContentTest::quizIsInTheQuizLayout()
{
    QFETCH(QString, topic);
    const QByteArray bytes = readRunFile(QStringLiteral("multiple/") + topic + ".txt");
    QVERIFY2(!bytes.isEmpty(), qPrintable(topic + ".txt is missing or empty"));

    // 72 lines, each ended by CR LF, and no other line break or control character.
    QVERIFY(bytes.endsWith("\r\n"));
    QList<QByteArray> lines = bytes.split('\n');
    QCOMPARE(lines.takeLast(), QByteArray());
    QCOMPARE(lines.size(), 72);
    for (QByteArray &line : lines) {
        QVERIFY2(line.endsWith('\r'), line.constData());
        line.chop(1);
        for (const char c : line) {
            const uchar b = uchar(c);
            QVERIFY2(b >= 0x20 && b != 0x7f, line.constData());
            // Bytes to which Windows-1252 gives no character.
            QVERIFY2(b != 0x81 && b != 0x8d && b != 0x8f && b != 0x90 && b != 0x9d,
                     line.constData());
        }
    }
    QStringDecoder decoder("windows-1252");
    const QString text = decoder.decode(bytes);
    QVERIFY(!decoder.hasError());
    QVERIFY2(!text.contains(QLatin1Char(',')), "a comma would split a field");

    QCOMPARE(QString::fromLatin1(lines.at(0)), topic);
    QCOMPARE(lines.at(1), QByteArray(" "));
    std::map<QByteArray, int> rightLetters;
    for (int q = 0; q < 10; ++q) {
        const int first = 2 + 7 * q;
        QSet<QByteArray> answers;
        for (int i = first; i < first + 5; ++i) {
            const QByteArray &field = lines.at(i);
            QVERIFY2(!field.trimmed().isEmpty(), qPrintable(QStringLiteral("line %1").arg(i + 1)));
            QVERIFY2(!field.startsWith(' ') && !field.startsWith('"'), field.constData());
            if (i > first)
                answers.insert(field);
        }
        QCOMPARE(answers.size(), 4);
        const QByteArray right = lines.at(first + 5);
        QVERIFY2(right.size() == 1 && right[0] >= '1' && right[0] <= '4', right.constData());
        ++rightLetters[right];
        QCOMPARE(lines.at(first + 6), QByteArray(" "));
    }
    QVERIFY2(rightLetters.size() >= 3, "the right answers should not sit on one or two letters");
    for (const auto &[letter, count] : rightLetters)
        QVERIFY2(count <= 3, qPrintable(QStringLiteral("answer %1 is right %2 times")
                                            .arg(QString::fromLatin1(letter))
                                            .arg(count)));

    // The program's own reader finds the title, ten questions and nothing after them.
    FieldReader reader = FieldReader::fromBytes(bytes);
    QCOMPARE(reader.readField(), topic);
    for (int i = 1; i < 72; ++i)
        reader.readField();
    QVERIFY(reader.atEnd());
}

void TeachingContentTest::registerReadsAsACountOfTitles()
{
    const QByteArray bytes = readRunFile(QStringLiteral("multiple/track.txt"));
    QVERIFY2(bytes.startsWith(' ') && bytes.endsWith("\r\n"), bytes.constData());
    FieldReader reader = FieldReader::fromBytes(bytes);
    bool ok = false;
    const int count = reader.readField().toInt(&ok);
    QVERIFY(ok);
    QVERIFY(count >= 0 && count <= 1000);
    for (int i = 0; i < count; ++i)
        QVERIFY(!reader.readField().isEmpty());
}

void TeachingContentTest::everyPageHasAScreenAndAPaperVersion()
{
    auto names = [](const QString &folder) {
        QStringList found = QDir(runPath(folder)).entryList({QStringLiteral("*.wmf")}, QDir::Files);
        for (QString &name : found)
            name = name.toLower();
        found.sort();
        return found;
    };
    const QStringList screen = names(QStringLiteral("wmf"));
    const QStringList paper = names(QStringLiteral("wmf2"));
    QCOMPARE(screen, paper);
    for (const QString &page : pageNames)
        QVERIFY2(screen.contains(page + ".wmf"), qPrintable(page + ".wmf is missing"));
}

void TeachingContentTest::pageParsesAndFitsItsViewer_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("onScreen");
    for (const QString &page : pageNames) {
        QTest::newRow(qPrintable(page + " (screen)")) << QString("wmf/" + page + ".wmf") << true;
        QTest::newRow(qPrintable(page + " (paper)")) << QString("wmf2/" + page + ".wmf") << false;
    }
}

void TeachingContentTest::pageParsesAndFitsItsViewer()
{
    QFETCH(QString, file);
    QFETCH(bool, onScreen);
    QString error;
    const auto page = wmf::Metafile::parse(readRunFile(file), &error);
    QVERIFY2(page, qPrintable(file + ": " + error));
    QVERIFY2(error.isEmpty(), qPrintable(file + ": " + error));

    const QSizeF limit = onScreen ? screenLimit : paperLimit;
    const QSizeF size = page->sizeTwips();
    QVERIFY2(size.width() <= limit.width() && size.height() <= limit.height(),
             qPrintable(QStringLiteral("%1 x %2 twips").arg(size.width()).arg(size.height())));
    QVERIFY(size.width() >= limit.width() / 2 && size.height() >= limit.height() / 2);

    // Played as the viewer shows it, at 15 twips to the pixel: on the program's blue, a page of
    // light words; on paper, a page of dark words with no fill behind them.
    const bool acknowledgments = file.contains(QLatin1String("acknowledgments"));
    const QColor background = !onScreen         ? QColor(255, 255, 255)
                              : acknowledgments ? QColor(49, 130, 212)
                                                : QColor(0, 78, 152);
    QImage image(qCeil(limit.width() / 15), qCeil(limit.height() / 15), QImage::Format_RGB32);
    image.fill(background);
    {
        QPainter painter(&image);
        page->play(painter, QRectF(0, 0, size.width() / 15, size.height() / 15));
    }
    int words = 0, touched = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c != background)
                ++touched;
            if (onScreen ? c.red() > 200 && c.green() > 200 : c.lightness() < 60)
                ++words;
        }
    const double area = double(image.width()) * image.height();
    QVERIFY2(words > area * 0.02, qPrintable(QStringLiteral("%1 pixels of text").arg(words)));
    QVERIFY2(touched < area * 0.5, qPrintable(QStringLiteral("%1 pixels drawn").arg(touched)));

    // The notes viewer animates a logo over the screen acknowledgments at 8880..10680 x
    // 4320..7575 twips of the screen, which shows the page from left 120.
    if (onScreen && acknowledgments) {
        for (int y = 4320 / 15; y < image.height(); ++y)
            for (int x = (8880 - 120) / 15; x < image.width(); ++x)
                QVERIFY2(image.pixelColor(x, y) == background,
                         qPrintable(QStringLiteral("drawn at %1, %2").arg(x).arg(y)));
    }
}

QTEST_MAIN(TeachingContentTest)
#include "tst_teaching_content.moc"
