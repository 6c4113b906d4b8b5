// SPDX-License-Identifier: GPL-3.0-or-later
// The content the build writes: the quizzes and the register as bytes, and every reading page
// in its screen and its paper version.
#include "platform/fonts.h"
#include "platform/textfile.h"
#include "platform/wmf.h"
#include "tests/support/testkit.h"

#include <QImage>
#include <QPainter>
#include <QStringDecoder>
#include <QTest>

using testkit::builtFile;

namespace {

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

// Screen pages are shown beside the viewers' buttons; paper pages print at (1000, 1000) on A4.
const QSizeF screenLimit(10400, 7750);
const QSizeF paperLimit(9800, 13500);

} // namespace

class TeachingContentTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { registerFonts(); }

    void quizAndRegisterBytesReadBack_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("fields");
        QTest::newRow("mountains") << QStringLiteral("Living in the Mountains") << 72;
        QTest::newRow("desert") << QStringLiteral("Living in the Desert") << 72;
        QTest::newRow("register") << QStringLiteral("track") << -1;
    }

    void quizAndRegisterBytesReadBack()
    {
        QFETCH(QString, file);
        QFETCH(int, fields);
        const QByteArray bytes = builtFile(QStringLiteral("multiple/") + file + ".txt");
        QVERIFY2(bytes.endsWith("\r\n"), qPrintable(file + ".txt is missing or unended"));
        // Every line ends in CR LF; no other control character, no comma, all Windows-1252.
        QList<QByteArray> lines = bytes.split('\n');
        lines.removeLast();
        for (const QByteArray &line : lines) {
            QVERIFY2(line.endsWith('\r'), line.constData());
            for (const char c : line.chopped(1))
                QVERIFY2(uchar(c) >= 0x20 && uchar(c) != 0x7f && c != ',', line.constData());
        }
        QStringDecoder decoder("windows-1252");
        const QString text = decoder.decode(bytes);
        QVERIFY(!decoder.hasError() && !text.contains(QChar(0xfffd)));

        // The program's own reader takes exactly the fields there are: a quiz's 72, or the
        // register's count and that many titles.
        FieldReader reader = FieldReader::fromBytes(bytes);
        if (fields < 0) {
            bool ok = false;
            fields = reader.readField().toInt(&ok) + 1;
            QVERIFY(ok && fields >= 1 && fields <= 1001 && bytes.startsWith(' '));
        } else {
            QCOMPARE(reader.readField(), file);
        }
        for (int i = 1; i < fields; ++i) {
            const QString field = reader.readField();
            QVERIFY(!field.isEmpty() || file != QLatin1String("track"));
        }
        QVERIFY(reader.atEnd());
    }

    void pageParsesAndFitsItsViewer_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("onScreen");
        for (const QString &page : pageNames) {
            QTest::newRow(qPrintable(page + " (screen)"))
                << QString("wmf/" + page + ".wmf") << true;
            QTest::newRow(qPrintable(page + " (paper)"))
                << QString("wmf2/" + page + ".wmf") << false;
        }
    }

    void pageParsesAndFitsItsViewer()
    {
        QFETCH(QString, file);
        QFETCH(bool, onScreen);
        QString error;
        const auto page = wmf::Metafile::parse(builtFile(file), &error);
        QVERIFY2(page && error.isEmpty(), qPrintable(file + ": " + error));
        const QSizeF limit = onScreen ? screenLimit : paperLimit;
        const QSizeF size = page->sizeTwips();
        QVERIFY2(size.width() <= limit.width() && size.height() <= limit.height() &&
                     size.width() >= limit.width() / 2 && size.height() >= limit.height() / 2,
                 qPrintable(QStringLiteral("%1 x %2 twips").arg(size.width()).arg(size.height())));

        // Played as the viewer shows it: light words on the program's blue, or dark words on
        // paper with no fill behind them.
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
                touched += c != background;
                words += onScreen ? c.red() > 200 && c.green() > 200 : c.lightness() < 60;
                // The notes viewer animates its logo over this corner of the acknowledgments.
                if (onScreen && acknowledgments && y >= 4320 / 15 && x >= (8880 - 120) / 15)
                    QVERIFY2(c == background,
                             qPrintable(QStringLiteral("drawn at %1, %2").arg(x).arg(y)));
            }
        const double area = double(image.width()) * image.height();
        QVERIFY2(words > area * 0.02, qPrintable(QStringLiteral("%1 pixels of text").arg(words)));
        QVERIFY2(touched < area * 0.5, qPrintable(QStringLiteral("%1 pixels drawn").arg(touched)));
    }
};

QTEST_MAIN(TeachingContentTest)
#include "tst_teaching_content.moc"
