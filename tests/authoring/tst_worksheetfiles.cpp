// SPDX-License-Identifier: GPL-3.0-or-later
// The register and the worksheet files on disk: exact bytes, and every save that must be
// refused before anything is written.
#include "app/Module1.h"
#include "authoring/register.h"
#include "authoring/worksheetfile.h"
#include "platform/guard.h"
#include "platform/textfile.h"
#include "tests/support/author.h"
#include "tests/support/testkit.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace testkit;
using namespace author;

namespace {

/// The worksheet that author::writeWorksheet types, built directly.
Worksheet sheetTitled(const QString &title)
{
    Worksheet sheet;
    sheet.title = title;
    for (int q = 0; q < 10; ++q) {
        sheet.questions[q] = QStringLiteral("Question %1 of %2").arg(q + 1).arg(title);
        for (int a = 0; a < 4; ++a)
            sheet.answers[q][a] = QStringLiteral("%1 %2").arg(QChar(char16_t(u'A' + a))).arg(q + 1);
        sheet.right[q] = q % 4 + 1;
    }
    return sheet;
}

const QString track = QStringLiteral("multiple/track.txt");

} // namespace

class WorksheetFilesTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { resetProgram(); }

    void savingWritesTheFileAndTheRegisterByteForByte()
    {
        ContentFolder content;
        content.write(track,
                      registerBytes({QStringLiteral("Rivers"), QStringLiteral("Volcanoes")}));
        Worksheet sheet = sheetTitled(QStringLiteral("Caf\u00e9 quiz"));
        sheet.questions[2] = QStringLiteral("Hills, valleys, and rivers?");
        sheet.answers[2][1] = QStringLiteral("Rock & roll");
        storeWorksheet(sheet);

        QByteArray expected = worksheetBytes(QStringLiteral("Caf\u00e9 quiz"));
        expected.replace("Question 3 of Caf\xe9 quiz\r\n", "Hills& valleys& and rivers?\r\n");
        expected.replace("\r\nB 3\r\n", "\r\nRock & roll\r\n");
        QCOMPARE(content.read(QStringLiteral("multiple/Caf\u00e9 quiz.txt")), expected);
        QCOMPARE(content.read(track), QByteArray(" 3\r\nRivers\r\nVolcanoes\r\nCaf\xe9 quiz\r\n"));
        QCOMPARE(Module1::numworksheets, std::optional<int>(2));
        QCOMPARE(Module1::worksheetnames[3], QString());

        // Saving again under the same title replaces the file and leaves the register.
        sheet.questions[0] = QStringLiteral("Changed");
        storeWorksheet(sheet);
        QVERIFY(content.read(QStringLiteral("multiple/Caf\u00e9 quiz.txt"))
                    .contains("\r\n \r\nChanged\r\nA 1\r\n"));
        QCOMPARE(content.read(track), QByteArray(" 3\r\nRivers\r\nVolcanoes\r\nCaf\xe9 quiz\r\n"));

        // A changed title makes a second file and entry; the first stay.
        sheet.title = QStringLiteral("Cafe quiz 2");
        storeWorksheet(sheet);
        QVERIFY(QFile::exists(content.path(QStringLiteral("multiple/Caf\u00e9 quiz.txt"))));
        QVERIFY(content.read(QStringLiteral("multiple/Cafe quiz 2.txt"))
                    .startsWith("Cafe quiz 2\r\n \r\nChanged\r\n"));
        QCOMPARE(content.read(track),
                 QByteArray(" 4\r\nRivers\r\nVolcanoes\r\nCaf\xe9 quiz\r\nCafe quiz 2\r\n"));

        // What was written reads back through the quiz reader, commas and all.
        FieldReader back(QStringLiteral("multiple/Caf\u00e9 quiz.txt"));
        Module1::loadquest(back);
        QCOMPARE(Module1::worktitle, QStringLiteral("Caf\u00e9 quiz"));
        QCOMPARE(Module1::question[3], QStringLiteral("Hills, valleys, and rivers?"));
        QCOMPARE(Module1::answerb[3], QStringLiteral("Rock , roll"));
        QCOMPARE(Module1::correct[4], QStringLiteral("4"));
    }

    void removingTitles()
    {
        ContentFolder content;
        content.write(track, registerBytes({QStringLiteral("Only")}));
        content.write(QStringLiteral("multiple/Only.txt"), worksheetBytes(QStringLiteral("Only")));
        Module1::chosenworksheet = QStringLiteral("Only");
        delworksheet();
        QCOMPARE(content.read(track), QByteArray(" 0\r\n"));
        QCOMPARE(Module1::numworksheets, std::optional<int>(0));
        // The worksheet's file stays.
        QCOMPARE(content.read(QStringLiteral("multiple/Only.txt")),
                 worksheetBytes(QStringLiteral("Only")));

        content.write(track, registerBytes({QStringLiteral("One"), QStringLiteral("Two"),
                                            QStringLiteral("Three")}));
        Module1::chosenworksheet = QStringLiteral("Two");
        delworksheet();
        QCOMPARE(content.read(track), QByteArray(" 2\r\nOne\r\nThree\r\n"));
        QCOMPARE(Module1::numworksheets, std::optional<int>(2));
        QCOMPARE(Module1::worksheetnames[2], QStringLiteral("Three"));

        // With a title twice, its last entry goes.
        content.write(track, QByteArray(" 3\r\nA\r\nB\r\nA\r\n"));
        Module1::chosenworksheet = QStringLiteral("A");
        delworksheet();
        QCOMPARE(content.read(track), QByteArray(" 2\r\nA\r\nB\r\n"));

        // A title that is not registered (compared exactly) changes nothing.
        const auto before = folderFiles();
        for (const char *absent : {"a", "C", "B ", ""}) {
            Module1::chosenworksheet = QString::fromLatin1(absent);
            delworksheet();
            QCOMPARE(folderFiles(), before);
        }
        QCOMPARE(Module1::numworksheets, std::optional<int>(2));
    }

    void aMissingOrEmptyRegisterIsEmptyAndWrittenOnTheNextSave()
    {
        ContentFolder content;
        for (const QByteArray &empty : {QByteArray(), QByteArray("\r\n")}) {
            content.write(track, empty);
            QVERIFY(readRegister().isEmpty());
            storeWorksheet(sheetTitled(QStringLiteral("First")));
            QCOMPARE(content.read(track), QByteArray(" 1\r\nFirst\r\n"));
        }
        content.remove(track);
        QVERIFY(readRegister().isEmpty());
        storeWorksheet(sheetTitled(QStringLiteral("First")));
        QCOMPARE(content.read(track), QByteArray(" 1\r\nFirst\r\n"));
        QCOMPARE(content.read(QStringLiteral("multiple/First.txt")),
                 worksheetBytes(QStringLiteral("First")));
    }

    void aDamagedRegisterStopsTheSaveBeforeAnyFileIsWritten()
    {
        ContentFolder content;
        for (const QByteArray &damaged :
             {QByteArray("three\r\nA\r\n"), QByteArray(" 3\r\nA\r\nB\r\n"), QByteArray(" -1\r\n"),
              QByteArray(" 1001\r\n")}) {
            content.write(track, damaged);
            const auto before = folderFiles();
            QVERIFY_THROWS_EXCEPTION(ProgramError, readRegister());
            QVERIFY_THROWS_EXCEPTION(ProgramError,
                                     storeWorksheet(sheetTitled(QStringLiteral("New"))));
            QCOMPARE(folderFiles(), before);
        }
        // The catalogue still lists what can be read.
        content.write(track, QByteArray(" 3\r\nA\r\nB\r\n"));
        QCOMPARE(readRegisterLeniently(), (QStringList{QStringLiteral("A"), QStringLiteral("B")}));
        content.write(track, QByteArray("three\r\nA\r\n"));
        QVERIFY(readRegisterLeniently().isEmpty());
        content.remove(track);
        QVERIFY(readRegisterLeniently().isEmpty());

        // A register that can be neither read nor replaced (a folder stands in its place)
        // fails, and leaves the files as they were.
        content.remove(track);
        QVERIFY(QDir().mkpath(content.path(track)));
        const auto before = folderFiles();
        QVERIFY_THROWS_EXCEPTION(ProgramError, readRegister());
        QVERIFY_THROWS_EXCEPTION(ProgramError, storeWorksheet(sheetTitled(QStringLiteral("New"))));
        QVERIFY_THROWS_EXCEPTION(ProgramError, writeRegister({QStringLiteral("New")}));
        QCOMPARE(folderFiles(), before);
        QVERIFY(!QFile::exists(content.path(QStringLiteral("multiple/New.txt"))));
    }

    void titlesThatMayNotBeStored_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("problem");
        const auto row = [](const char *tag, const char *title, const char *problem) {
            QTest::newRow(tag) << QString::fromUtf8(title) << QString::fromUtf8(problem);
        };
        row("register", "track", "the program keeps its list of worksheets");
        row("register, other case", "TRACK", "the program keeps its list");
        row("built-in quiz", "living in the MOUNTAINS", "the program's own quizzes");
        row("desert quiz", "Living in the Desert", "the program's own quizzes");
        row("up a folder", "../x", "cannot contain \"/\"");
        row("slash", "a/b", "cannot contain \"/\"");
        row("backslash", "a\\b", "cannot contain \"\\\"");
        row("colon", "Maths: sums", "cannot contain \":\"");
        row("star", "a*", "cannot contain \"*\"");
        row("question mark", "Why?", "cannot contain \"?\"");
        row("angle", "a<b", "cannot contain \"<\"");
        row("bar", "a|b", "cannot contain \"|\"");
        row("dot", ".", "end with a full stop");
        row("dot dot", "..", "end with a full stop");
        row("comma", "a,b", "cannot contain a comma");
        row("ampersand", "Rock & roll", "\"&\"");
        row("leading quote", "\"Quoted", "double quote");
        row("leading space", " Rivers", "begin or end with a space");
        row("trailing space", "Rivers ", "begin or end with a space");
        row("tab", "a\tb", "control character");
        row("device", "con", "Windows keeps");
        row("device with dot", "LPT1.x", "Windows keeps");
        row("outside 1252", "\u65e5\u672c", "cannot be saved");
        row("other case of a registered title", "volcanoes",
            "already a worksheet called \"Volcanoes\"");
    }

    void titlesThatMayNotBeStored()
    {
        QFETCH(QString, title);
        QFETCH(QString, problem);
        ContentFolder content;
        content.write(track, registerBytes({QStringLiteral("Volcanoes")}));
        const auto before = folderFiles();
        const QString message = titleProblem(title, readRegister());
        QVERIFY2(message.contains(problem), qPrintable(message));
        try {
            storeWorksheet(sheetTitled(title));
            QFAIL("the title was stored");
        } catch (const SaveRefused &refused) {
            QCOMPARE(QString::fromStdString(refused.what()), message);
        }
        QCOMPARE(folderFiles(), before);
        QVERIFY(!QFile::exists(content.path(QStringLiteral("x.txt"))));
        QVERIFY(!QFile::exists(content.path(QStringLiteral("a/b.txt"))));
    }

    void titlesThatMayBeStored()
    {
        for (const char *title : {"Volcanoes", "Rivers 2", "Tracks", "a.b", "Living in the Hills",
                                  "It's 'fine' (really)!", "x"})
            QVERIFY2(
                titleProblem(QString::fromLatin1(title), {QStringLiteral("Volcanoes")}).isEmpty(),
                title);
    }

    void textTheFileCannotHoldIsRefusedByQuestion()
    {
        ContentFolder content;
        const auto before = folderFiles();
        Worksheet sheet = sheetTitled(QStringLiteral("Japan"));
        sheet.answers[6][2] = QStringLiteral("\u65e5\u672c");
        QCOMPARE(saveProblem(sheet, {}),
                 QStringLiteral("Question 7, answer C, holds a character that cannot be saved in "
                                "a worksheet. Please change it and save again."));
        sheet.questions[3] = QStringLiteral("Snow \u2603?");
        QVERIFY(saveProblem(sheet, {}).startsWith(QStringLiteral("Question 4 holds a character")));
        QVERIFY_THROWS_EXCEPTION(SaveRefused, storeWorksheet(sheet));
        QCOMPARE(folderFiles(), before);
        // Windows-1252's own characters pass.
        sheet = sheetTitled(QStringLiteral("Euro \u20ac"));
        sheet.questions[0] = QStringLiteral("\u201cQuoted\u201d \u2013 \u00bd");
        QVERIFY(saveProblem(sheet, {}).isEmpty());
    }

    void ampersandsAreNamedForTheTeacher()
    {
        Worksheet sheet = sheetTitled(QStringLiteral("Plain"));
        QVERIFY(ampersandNote(sheet).isEmpty());
        sheet.answers[1][3] = QStringLiteral("Salt & pepper");
        QVERIFY(ampersandNote(sheet).startsWith(
            QStringLiteral("Question 2 contains \"&\", which will show as a comma")));
        sheet.questions[4] = QStringLiteral("&");
        sheet.questions[9] = QStringLiteral("&&");
        QVERIFY(
            ampersandNote(sheet).startsWith(QStringLiteral("Questions 2, 5 and 10 contain \"&\"")));
    }

    void aFullRegisterTakesNoNewTitle()
    {
        ContentFolder content;
        QStringList titles;
        for (int i = 1; i <= 1000; ++i)
            titles << QStringLiteral("Sheet %1").arg(i);
        content.write(track, registerBytes(titles));
        const auto before = folderFiles();
        QVERIFY(saveProblem(sheetTitled(QStringLiteral("One more")), titles)
                    .contains(QStringLiteral("already holds 1000 worksheets")));
        QVERIFY_THROWS_EXCEPTION(SaveRefused,
                                 storeWorksheet(sheetTitled(QStringLiteral("One more"))));
        QCOMPARE(folderFiles(), before);
        QVERIFY_THROWS_EXCEPTION(ProgramError, trackworksheets(QStringLiteral("One more")));
        QCOMPARE(folderFiles(), before);
        // A title already there may still be saved again.
        storeWorksheet(sheetTitled(QStringLiteral("Sheet 1000")));
        QCOMPARE(content.read(track), registerBytes(titles));
        QCOMPARE(content.read(QStringLiteral("multiple/Sheet 1000.txt")),
                 worksheetBytes(QStringLiteral("Sheet 1000")));
    }
};

QTEST_MAIN(WorksheetFilesTest)
#include "tst_worksheetfiles.moc"
