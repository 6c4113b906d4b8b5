// SPDX-License-Identifier: GPL-3.0-or-later
// Import... and Export... in the Multiple Choice Wizard, clicked and pressed as a teacher does,
// with the file dialog answered by the test: what fills the wizard, what the teacher is told,
// and what lands on disk.
#include "authoring/exchange.h"
#include "authoring/wizard.h"
#include "authoring/wizardexchange.h"
#include "platform/msgbox.h"
#include "tests/support/author.h"
#include "tests/support/testkit.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace testkit;
using namespace author;
using namespace Qt::StringLiterals;

namespace {

const QString giftFilter = u"GIFT files (*.gift)"_s;
const QString aikenFilter = u"Aiken files (*.txt)"_s;

/// A GIFT file of questions 1 to count; those listed are of kinds a worksheet cannot take.
QByteArray giftFile(int count, const QList<int> &unusable = {})
{
    QString text = u"// Deserts, from the school's platform\n\n"_s;
    for (int n = 1; n <= count; ++n) {
        if (unusable.contains(n))
            text += u"Is number %1 true?{T}\n\n"_s.arg(n);
        else
            text += u"::Q%1::Which desert animal is number %1?{=Camel %1 ~Yak %1 ~Seal %1 "
                    u"~Penguin %1}\n\n"_s.arg(n);
    }
    return text.toUtf8();
}

QString write(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    writeFile(dir.filePath(name), bytes);
    return dir.filePath(name);
}

} // namespace

class WizardExchangeTest : public ScreenTest
{
    Q_OBJECT

private Q_SLOTS:
    void importFillsTheWizardTenAtATime()
    {
        QTemporaryDir dir;
        // Twenty-three questions of which 4, 7 and 9 cannot be used: twenty in two parts.
        const QString file = write(dir, u"Deserts.gift"_s, giftFile(23, {4, 7, 9}));
        const auto before = folderFiles();
        wizard &w = openWizard();
        QVERIFY(w.Label3[importButton].visible() && w.Label3[exportButton].visible());
        QCOMPARE(w.Label3[importButton].caption(), u"Import..."_s);
        typeInto(w.Text1, u"Mine"_s);

        // What the teacher typed is kept unless they say otherwise.
        rec->fileChoices = {{file, u"GIFT files (*.gift *.txt)"_s}};
        rec->answers = {vbCancel};
        const QStringList asked = rec->said(w.Label3[importButton]);
        QCOMPARE(asked.size(), 1);
        QVERIFY(asked[0].startsWith(u"The wizard already holds a worksheet."_s));
        QCOMPARE(rec->fileRequests.size(), 1);
        QCOMPARE(rec->fileRequests[0].mode, FileRequest::Open);
        QVERIFY(rec->fileRequests[0].filters.join(u';').contains(u"*.gift"_s));
        QCOMPARE(w.Text1.text(), u"Mine"_s);
        QVERIFY(w.Text2[0].text().isEmpty());

        rec->fileChoices = {{file, giftFilter}};
        rec->answers = {vbOK};
        QStringList said = rec->said(w.Label3[importButton]);
        QCOMPARE(said.size(), 2);
        const QString report = said[1];
        for (const QString &part :
             {u"\"Deserts.gift\" (GIFT) holds 23 questions, 20 of them usable"_s,
              u"Questions 1 to 10 of them are now in the wizard."_s,
              u"click Import... and choose the same file again for the next ten"_s,
              u"Question 4, 'Is number 4 true?': true/false questions cannot be used."_s,
              u"Question 9, 'Is number 9 true?': true/false questions cannot be used."_s})
            QVERIFY2(report.contains(part), qPrintable(report));
        QCOMPARE(w.Text1.text(), u"Deserts 1"_s);
        QCOMPARE(w.Text2[0].text(), u"Which desert animal is number 1?"_s);
        QCOMPARE(w.Text2[3].text(), u"Which desert animal is number 5?"_s);
        QCOMPARE(w.Text3[4 * 9 + 2].text(), u"Seal 13"_s);
        for (int i = 0; i < 40; ++i)
            QCOMPARE(w.Check1[i].value(), i % 4 == 0 ? 1 : 0);
        QCOMPARE(folderFiles(), before);

        // Saved as it stands, then the next ten come by keyboard alone: Tab reaches the
        // button past the tick boxes and Save Worksheet (the first Tab after the mouse only
        // shows where the focus is), and Space presses it. Nothing is asked, since the
        // wizard holds what the last import put there.
        QCOMPARE(rec->said(w.Label3[1]), saved);
        w.Check1[39].widget()->setFocus();
        for (const char *next : {"Check1_39", "Label3_1", "Label3_2"}) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(focusName(), QString::fromLatin1(next));
        }
        rec->fileChoices = {{file, giftFilter}};
        rec->messages.clear();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        QCOMPARE(rec->messages.size(), 1);
        QVERIFY2(rec->messages[0].contains(u"Questions 11 to 20 of them"_s),
                 qPrintable(rec->messages[0]));
        QVERIFY(!rec->messages[0].contains(u"next ten"_s));
        QCOMPARE(w.Text1.text(), u"Deserts 2"_s);
        QCOMPARE(w.Text2[0].text(), u"Which desert animal is number 14?"_s);
        QCOMPARE(w.Text2[9].text(), u"Which desert animal is number 23?"_s);
        QCOMPARE(rec->said(w.Label3[1]), saved);
        QCOMPARE(content->read(u"multiple/track.txt"_s),
                 registerBytes({u"Deserts 1"_s, u"Deserts 2"_s}));
        QVERIFY(content->read(u"multiple/Deserts 2.txt"_s).contains("\r\nPenguin 23\r\n1\r\n"));
    }

    void importTellsWhatItCannotUse_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("says");
        QTest::addColumn<QStringList>("filled");
        QTest::newRow("only unusable questions")
            << u"Facts.gift"_s << giftFile(2, {1, 2})
            << QStringList{u"holds 2 questions, 0 of them usable"_s,
                           u"Nothing in the wizard was changed."_s,
                           u"Question 2, 'Is number 2 true?': true/false questions cannot be "
                           u"used."_s}
            << QStringList();
        QTest::newRow("unreadable file")
            << u"missing.gift"_s << QByteArray()
            << QStringList{u"could not be read. Nothing in the wizard was changed."_s}
            << QStringList();
        QTest::newRow("a picture")
            << u"camel.gift"_s << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR{=a ~b ~c ~d}", 29)
            << QStringList{u"\"camel.gift\" is not a text file"_s,
                           u"Nothing in the wizard was changed."_s}
            << QStringList();
        QTest::newRow("a built-in quiz's name")
            << u"Living in the Desert.txt"_s
            << QByteArray("Which is hot?\nA. Sun\nB. Ice\nC. Snow\nD. Hail\nANSWER: A\n")
            << QStringList{u"The title is \"Living in the Desert 2\", because \"Living in the "
                           u"Desert\" is already in use."_s}
            << QStringList{u"Living in the Desert 2"_s, u"Which is hot?"_s};
        QTest::newRow("fewer than ten, Aiken")
            << u"Hot & cold, year 3.txt"_s
            << QByteArray("Which is hot?\r\nA) Sun\r\nB) Ice\r\nC) Snow\r\nD) Hail\r\nANSWER: "
                          "A\r\n\r\nWhich is cold?\r\nA) Sun\r\nB) Ice\r\nC) Fire\r\nANSWER: B\r\n")
            << QStringList{u"(Aiken) holds 2 questions, 1 of them usable"_s,
                           u"Please write the other 9 yourself."_s,
                           u"Question 2, 'Which is cold?': it has 3 answers, a worksheet needs "
                           u"4."_s}
            << QStringList{u"Hot cold year 3"_s, u"Which is hot?"_s};
    }

    void importTellsWhatItCannotUse()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, says);
        QFETCH(QStringList, filled);
        QTemporaryDir dir;
        const QString file = bytes.isEmpty() ? dir.filePath(name) : write(dir, name, bytes);
        const auto before = folderFiles();
        wizard &w = openWizard();
        typeInto(w.Text2[5], u"Typed"_s);
        rec->fileChoices = {{file, aikenFilter}};
        rec->answers = {vbOK};
        const QString said = rec->said(w.Label3[importButton]).join(u'\n');
        for (const QString &part : says)
            QVERIFY2(said.contains(part), qPrintable(said));
        if (filled.isEmpty()) {
            QCOMPARE(w.Text2[5].text(), u"Typed"_s);
            QVERIFY(w.Text1.text().isEmpty());
        } else {
            QCOMPARE(w.Text1.text(), filled[0]);
            QCOMPARE(w.Text2[0].text(), filled[1]);
            QVERIFY(w.Text2[1].text().isEmpty() && w.Text2[5].text().isEmpty());
            QCOMPARE(w.Check1[0].value(), 1);
        }
        QCOMPARE(folderFiles(), before);

        // Cancel in the file dialog changes nothing and says nothing.
        const QStringList shown{w.Text1.text(), w.Text2[0].text(), w.Text2[5].text()};
        QVERIFY(rec->said(w.Label3[importButton]).isEmpty());
        QCOMPARE((QStringList{w.Text1.text(), w.Text2[0].text(), w.Text2[5].text()}), shown);
    }

    void exportWritesTheFileAndSaysWhere()
    {
        QTemporaryDir dir;
        const auto before = folderFiles();
        wizard &w = openWizard();

        // The same checks as Save come first, before any dialog.
        QCOMPARE(rec->said(w.Label3[exportButton]),
                 QStringList{u"You have not chosen a title for your worksheet"_s});
        writeWorksheet(w, u"Volcanoes"_s);
        retype(w.Text2[2], u"Lava: hot {or} cold = ~ # \\?"_s);
        QVERIFY(rec->fileRequests.isEmpty());

        const std::tuple<QString, QString, QString, QuizFormat> rows[] = {
            {u"Volcanoes.gift"_s, aikenFilter, u"Volcanoes.gift"_s, QuizFormat::Gift},
            {u"Volcanoes"_s, aikenFilter, u"Volcanoes.txt"_s, QuizFormat::Aiken},
            {u"quiz.txt"_s, giftFilter, u"quiz.txt"_s, QuizFormat::Gift}};
        for (const auto &[chosen, filter, written, format] : rows) {
            rec->fileChoices = {{dir.filePath(chosen), filter}};
            const QStringList said = rec->said(w.Label3[exportButton]);
            QCOMPARE(said, QStringList{u"Your worksheet has been exported as %1 to\n%2"_s.arg(
                               exchange::formatName(format),
                               QDir::toNativeSeparators(dir.filePath(written)))});
            QCOMPARE(rec->fileRequests.last().mode, FileRequest::Save);
            const QString text = exchange::decodeText(readFile(dir.filePath(written)));
            QCOMPARE(exchange::detectFormat(text), format);
            const QuizReading back = exchange::readQuiz(text, format);
            QCOMPARE(back.usable.size(), 10);
            QCOMPARE(back.usable[2].text, u"Lava: hot {or} cold = ~ # \\?"_s);
            QCOMPARE(back.usable[5].right, 2);
        }

        // Cancel writes nothing; the worksheet folder is refused; the wizard's own files
        // never change.
        const QStringList exported = QDir(dir.path()).entryList(QDir::Files);
        QVERIFY(rec->said(w.Label3[exportButton]).isEmpty());
        rec->fileChoices = {{content->path(u"multiple/Volcanoes.txt"_s), aikenFilter}};
        const QStringList refused = rec->said(w.Label3[exportButton]);
        QCOMPARE(refused.size(), 1);
        QVERIFY2(refused[0].contains(u"cannot go into the worksheet folder"_s),
                 qPrintable(refused[0]));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), exported);
        QCOMPARE(folderFiles(), before);
    }
};

QTEST_MAIN(WizardExchangeTest)
#include "tst_wizard_exchange.moc"
