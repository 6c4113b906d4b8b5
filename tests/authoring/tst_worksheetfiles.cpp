// SPDX-License-Identifier: GPL-3.0-or-later
// The register and the worksheet files on disk: exact bytes, and saves refused before writing.
#include "app/Module1.h"
#include "authoring/register.h"
#include "authoring/wizard.h"
#include "authoring/worksheetfile.h"
#include "authoring/worksheets.h"
#include "platform/guard.h"
#include "platform/textfile.h"
#include "tests/support/author.h"
#include "tests/support/testkit.h"

#include <QDir>
#include <QTest>

using namespace testkit;
using namespace author;

class WorksheetFilesTest : public ScreenTest
{
    Q_OBJECT

private Q_SLOTS:
    void savingWritesTheFileAndTheRegisterByteForByte()
    {
        content->write(track,
                       registerBytes({QStringLiteral("Rivers"), QStringLiteral("Volcanoes")}));
        Worksheet sheet = worksheet(QStringLiteral("Caf\u00e9 quiz"));
        sheet.questions[2] = QStringLiteral("Hills, valleys, and rivers?");
        sheet.answers[2][1] = QStringLiteral("Rock & roll");
        storeWorksheet(sheet);
        QByteArray expected = worksheetBytes(QStringLiteral("Caf\u00e9 quiz"));
        expected.replace("Question 3 of Caf\xe9 quiz\r\n", "Hills& valleys& and rivers?\r\n");
        expected.replace("\r\nB 3\r\n", "\r\nRock & roll\r\n");
        QCOMPARE(content->read(QStringLiteral("multiple/Caf\u00e9 quiz.txt")), expected);
        const QByteArray three(" 3\r\nRivers\r\nVolcanoes\r\nCaf\xe9 quiz\r\n");
        QCOMPARE(content->read(track), three);
        // The same title again replaces the file and leaves the register.
        sheet.questions[0] = QStringLiteral("Changed");
        storeWorksheet(sheet);
        QVERIFY(content->read(QStringLiteral("multiple/Caf\u00e9 quiz.txt"))
                    .contains("\r\n \r\nChanged\r\nA 1\r\n"));
        QCOMPARE(content->read(track), three);

        // It reads back through the quiz reader, commas and all.
        FieldReader back(QStringLiteral("multiple/Caf\u00e9 quiz.txt"));
        Module1::loadquest(back);
        QCOMPARE(Module1::question[3], QStringLiteral("Hills, valleys, and rivers?"));
        QCOMPARE(Module1::answerb[3], QStringLiteral("Rock , roll"));
        QCOMPARE(Module1::correct[4], QStringLiteral("4"));
    }

    void removingTitles()
    {
        // With a title twice, its last entry goes; the file stays.
        content->write(track, QByteArray(" 4\r\nA\r\nB\r\nA\r\nC\r\n"));
        content->write(QStringLiteral("multiple/A.txt"), worksheetBytes(QStringLiteral("A")));
        Module1::chosenworksheet = QStringLiteral("A");
        delworksheet();
        QCOMPARE(content->read(track), QByteArray(" 3\r\nA\r\nB\r\nC\r\n"));
        QCOMPARE(Module1::worksheetnames[3], QStringLiteral("C"));
        QCOMPARE(content->read(QStringLiteral("multiple/A.txt")),
                 worksheetBytes(QStringLiteral("A")));
        // A title not registered, compared exactly, changes nothing.
        const auto before = folderFiles();
        for (const char *absent : {"a", "D", "B ", ""}) {
            Module1::chosenworksheet = QString::fromLatin1(absent);
            delworksheet();
            QCOMPARE(folderFiles(), before);
        }
        QCOMPARE(Module1::numworksheets, std::optional<int>(3));
    }

    void aMissingOrEmptyRegisterIsWrittenOnTheNextSave()
    {
        for (const QByteArray &empty : {QByteArray(), QByteArray("\r\n"), QByteArray("gone")}) {
            if (empty == "gone")
                content->remove(track);
            else
                content->write(track, empty);
            QVERIFY(readRegister().isEmpty());
            storeWorksheet(worksheet(QStringLiteral("First")));
            QCOMPARE(content->read(track), QByteArray(" 1\r\nFirst\r\n"));
        }
    }

    // A damaged register loses no line to a save or a delete: a count that disagrees is named
    // and put right, every other line is kept byte for byte; a register that makes no sense is
    // named and never rewritten, and a save keeps the worksheet's file.
    void aDamagedRegisterLosesNothing_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("listed");
        QTest::addColumn<QString>("says"); ///< in the catalogue's message; empty: no message
        QTest::addColumn<bool>("usable");
        const QStringList ab{QStringLiteral("A"), QStringLiteral("B")};
        QTest::newRow("count smaller")
            << QByteArray(" 1\r\nA\r\nB\r\n") << ab
            << "line 1 says it lists 1 worksheet, but it lists 2" << true;
        QTest::newRow("count larger")
            << QByteArray(" 3\r\nA\r\nB\r\n") << ab
            << "line 1 says it lists 3 worksheets, but it lists 2" << true;
        QTest::newRow("count negative") << QByteArray(" -1\r\nA\r\nB") << ab
                                        << "says it lists -1 worksheets, but it lists 2" << true;
        QTest::newRow("count past the limit")
            << QByteArray(" 1001\r\nA\r\nB\r\n") << ab << "says it lists 1001 worksheets" << true;
        QTest::newRow("byte-order mark") << QByteArray("\xEF\xBB\xBF 2\r\nA\r\nB\r\n") << ab
                                         << "line 1 begins with a byte-order mark" << true;
        QTest::newRow("blank lines")
            << QByteArray(" 2\r\nA\r\n\r\nB\r\n  \r\n") << ab << "" << true;
        QTest::newRow("CR inside a title")
            << QByteArray(" 2\r\nA\rB\r\nC\r\n")
            << QStringList{QStringLiteral("A\rB"), QStringLiteral("C")} << "" << true;
        QTest::newRow("comma inside a title")
            << QByteArray(" 2\r\nA,B\r\nC\r\n")
            << QStringList{QStringLiteral("A,B"), QStringLiteral("C")} << "" << true;
        QTest::newRow("non-numeric count") << QByteArray("two\r\nA\r\nB\r\n") << QStringList()
                                           << "its line 1 holds \"two\" where the number" << false;
        QTest::newRow("NUL") << QByteArray(" 2\r\nA\r\nB\0\r\n", 11) << QStringList()
                             << "its line 3 holds a NUL character" << false;
        QTest::newRow("junk") << QByteArray("\x89PNG\r\n\x1a\n\x7f\x01 2\r\nA\r\n") << QStringList()
                              << QStringLiteral("its line 1 holds \"\u2030PNG\"") << false;
    }

    void aDamagedRegisterLosesNothing()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, listed);
        QFETCH(QString, says);
        QFETCH(bool, usable);
        content->write(track, bytes);
        for (const QString &title : listed)
            if (!title.contains(QLatin1Char('\r')))
                content->write(worksheetPath(title), worksheetBytes(title));

        worksheets &cat = openCatalogue();
        QCOMPARE(rec->messages.size(), says.isEmpty() ? 0 : 1);
        if (!says.isEmpty()) {
            QVERIFY2(rec->messages[0].contains(says), qPrintable(rec->messages[0]));
            QVERIFY(rec->messages[0].contains(usable ? QStringLiteral("put right when a worksheet "
                                                                      "is next saved")
                                                     : QStringLiteral("left exactly as it is")));
        }
        QCOMPARE(shown(cat), listed);
        click(cat.Label2[0]);
        settle();

        // The lines after the count, each ended, as a change must keep them.
        QByteArray kept = bytes.mid(bytes.indexOf('\n') + 1);
        if (!kept.isEmpty() && !kept.endsWith('\n'))
            kept += "\r\n";
        const auto count = [](qsizetype n) { return " " + QByteArray::number(n) + "\r\n"; };

        wizard &w = openWizard();
        writeWorksheet(w, QStringLiteral("Fresh"));
        const QStringList messages = rec->said(w.Label3[1]);
        QCOMPARE(content->read(QStringLiteral("multiple/Fresh.txt")),
                 worksheetBytes(QStringLiteral("Fresh")));
        if (!usable) {
            QCOMPARE(messages.size(), 1);
            QVERIFY2(messages[0].startsWith(
                         QStringLiteral("Your worksheet has been saved as \"Fresh.txt\" in the "
                                        "folder \"%1\", but it could not be added to the list "
                                        "of worksheets: the list cannot be used, because ")
                             .arg(content->path(QStringLiteral("multiple")))),
                     qPrintable(messages[0]));
            QVERIFY2(messages[0].contains(says), qPrintable(messages[0]));
            QCOMPARE(content->read(track), bytes);
            return;
        }
        QCOMPARE(messages, saved);
        QCOMPARE(content->read(track), count(listed.size() + 1) + kept + "Fresh\r\n");
        click(w.Label3[0]);
        settle();

        // The count was put right; deleting the first title takes its line alone.
        rec->messages.clear();
        worksheets &again = openCatalogue();
        QVERIFY(rec->messages.isEmpty());
        click(again.Check2);
        QCOMPARE(rec->said(again.Label2[1]).size(), 1);
        const QByteArray first = LineWriter::encode(listed[0]);
        const qsizetype at = kept.indexOf(first + "\r\n");
        QVERIFY(at >= 0);
        kept.remove(at, first.size() + 2);
        QCOMPARE(content->read(track), count(listed.size()) + kept + "Fresh\r\n");
    }

    void titlesAndTextThatMayBeStored()
    {
        for (const char *title : {"Volcanoes", "Rivers 2", "Tracks", "a.b", "Living in the Hills",
                                  "It's 'fine' (really)!", "x"})
            QVERIFY2(
                titleProblem(QString::fromLatin1(title), {QStringLiteral("Volcanoes")}).isEmpty(),
                title);
        // Windows-1252's own characters pass; others are named by question.
        Worksheet sheet = worksheet(QStringLiteral("Euro \u20ac"));
        sheet.questions[0] = QStringLiteral("\u201cQuoted\u201d \u2013 \u00bd");
        QVERIFY(saveProblem(sheet, {}).isEmpty());
        sheet.questions[3] = QStringLiteral("Snow \u2603?");
        QVERIFY(saveProblem(sheet, {}).startsWith(QStringLiteral("Question 4 holds a character")));
        // Ampersands in several questions are named together.
        sheet = worksheet(QStringLiteral("Plain"));
        QVERIFY(ampersandNote(sheet).isEmpty());
        for (int q : {1, 4, 9})
            sheet.questions[q] = QStringLiteral("&");
        QVERIFY(
            ampersandNote(sheet).startsWith(QStringLiteral("Questions 2, 5 and 10 contain \"&\"")));
    }

    // Every title a worksheet may not take is refused before anything is written, saying why:
    // every character a file name or the register cannot hold, every name Windows keeps for a
    // device whatever its letter case or extension, the names of the register and the built-in
    // quizzes, and a registered title in other letters.
    void everyTitleThatMayNotBeStoredIsRefused()
    {
        QList<std::pair<QString, QString>> forbidden; ///< a title, and what its refusal says
        const auto add = [&](const char *title, const char *says) {
            forbidden.append({QString::fromUtf8(title), QString::fromUtf8(says)});
        };
        add("TRACK", "the program keeps its list");
        add("living in the MOUNTAINS", "the program's own quizzes");
        add("Living in the Desert", "the program's own quizzes");
        add(".", "end with a full stop");
        add("..", "end with a full stop");
        add(" Rivers", "begin or end with a space");
        add("Rivers ", "begin or end with a space");
        add("\u65e5\u672c", "cannot be saved");
        add("volcanoes", "already a worksheet called \"Volcanoes\"");
        for (const char c : QByteArray("\\/:*?<>|"))
            forbidden.append({QStringLiteral("Bad%1title").arg(QLatin1Char(c)),
                              QStringLiteral("cannot contain \"%1\"").arg(QLatin1Char(c))});
        forbidden.append({QStringLiteral("Bad,title"), QStringLiteral("cannot contain a comma")});
        forbidden.append({QStringLiteral("Bad&title"), QStringLiteral("cannot contain \"&\"")});
        forbidden.append({QStringLiteral("Bad\"title"), QStringLiteral("a double quote")});
        for (char16_t c = 0; c < 32; ++c)
            forbidden.append({QStringLiteral("Bad") + QChar(c) + QStringLiteral("title"),
                              QStringLiteral("control character")});
        forbidden.append({QStringLiteral("Bad\x7ftitle"), QStringLiteral("control character")});
        QStringList devices{QStringLiteral("CON"), QStringLiteral("PRN"), QStringLiteral("AUX"),
                            QStringLiteral("NUL")};
        for (int n = 1; n <= 9; ++n)
            devices << QStringLiteral("COM%1").arg(n) << QStringLiteral("LPT%1").arg(n);
        QCOMPARE(devices.size(), 22);
        for (const QString &device : devices)
            for (const QString &title :
                 {device, device.toLower(), device + QStringLiteral(".txt"),
                  device.left(1) + device.mid(1).toLower() + QStringLiteral(".a.b")})
                forbidden.append({title, QStringLiteral("Windows keeps")});
        content->write(track, registerBytes({QStringLiteral("Volcanoes")}));
        const auto before = folderFiles();
        for (const auto &[title, says] : forbidden) {
            const QString problem = titleProblem(title, readRegister());
            QVERIFY2(problem.contains(says), qPrintable(title + QStringLiteral(": ") + problem));
            try {
                storeWorksheet(worksheet(title));
                QFAIL(qPrintable(title + QStringLiteral(" was stored")));
            } catch (const SaveRefused &refused) {
                QCOMPARE(QString::fromStdString(refused.what()), problem);
            }
        }
        QCOMPARE(folderFiles(), before);
        // Names that only begin like a device are fine.
        for (const QString &device : devices)
            QVERIFY2(titleProblem(device + QStringLiteral("x"), {}).isEmpty(), qPrintable(device));
    }

    void aFullRegisterTakesNoNewTitle()
    {
        const QStringList titles = author::titles(1000);
        content->write(track, registerBytes(titles));
        const auto before = folderFiles();
        QVERIFY(saveProblem(worksheet(QStringLiteral("One more")), titles)
                    .contains(QStringLiteral("already holds 1000 worksheets")));
        QVERIFY_THROWS_EXCEPTION(SaveRefused,
                                 storeWorksheet(worksheet(QStringLiteral("One more"))));
        QVERIFY_THROWS_EXCEPTION(ProgramError, trackworksheets(QStringLiteral("One more")));
        QCOMPARE(folderFiles(), before);
        // A title already there may still be saved again.
        storeWorksheet(worksheet(QStringLiteral("Sheet 1000")));
        QCOMPARE(content->read(track), registerBytes(titles));
        QCOMPARE(content->read(QStringLiteral("multiple/Sheet 1000.txt")),
                 worksheetBytes(QStringLiteral("Sheet 1000")));
    }
};

QTEST_MAIN(WorksheetFilesTest)
#include "tst_worksheetfiles.moc"
