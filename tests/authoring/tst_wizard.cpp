// SPDX-License-Identifier: GPL-3.0-or-later
// The Multiple Choice Wizard driven as a teacher drives it: typing, Tab and Enter, ticks,
// Save Worksheet and Exit, with every message and the bytes that land on disk.
#include "app/Module1.h"
#include "app/intro0.h"
#include "authoring/wizard.h"
#include "platform/msgbox.h"
#include "tests/support/author.h"
#include "tests/support/testkit.h"

#include <QApplication>
#include <QFile>
#include <QTest>

using namespace testkit;
using namespace author;

class WizardTest : public ScreenTest
{
    Q_OBJECT

private Q_SLOTS:
    void theWizardIsLaidOutInTwoColumns()
    {
        wizard &w = openWizard();
        QVERIFY(w.visible() && screen<intro0>().visible());
        // Question 5 ends the left column, question 6 starts the right one.
        QCOMPARE(QPointF(w.Text2[4].left(), w.Text2[4].top()), QPointF(240, 840 + 4 * 1440));
        QCOMPARE(QPointF(w.Text2[5].left(), w.Text2[5].top()), QPointF(6120, 840));
        QCOMPARE(QPointF(w.Text3[22].left(), w.Text3[22].top()), QPointF(6120 + 480, 840 + 720));
        QCOMPARE(QPointF(w.Check1[39].left(), w.Check1[39].top()),
                 QPointF(6120 + 3090, 840 + 4 * 1440 + 720));
        QCOMPARE(w.Label1[11].caption(), QStringLiteral("Question 10"));
        QCOMPARE(w.Label3[1].caption(), QStringLiteral("Save Worksheet"));

        // The boxes refuse typing beyond their limits.
        typeInto(w.Text1, QString(30, QLatin1Char('t')));
        QCOMPARE(w.Text1.text(), QString(25, QLatin1Char('t')));
        typeInto(w.Text2[3], QString(70, QLatin1Char('q')));
        QCOMPARE(w.Text2[3].text().size(), 60);
        typeInto(w.Text3[38], QString(31, QLatin1Char('a')));
        QCOMPARE(w.Text3[38].text().size(), 30);

        // Hover: the buttons start lit, the bare screen clears them, the pointer lights one.
        QVERIFY(w.Label3[0].opaque() && w.Label3[1].opaque());
        moveOverForm(w, QPointF(6000, 8500));
        QVERIFY(!w.Label3[0].opaque() && !w.Label3[1].opaque());
        moveOver(w.Label3[1]);
        QVERIFY(w.Label3[1].opaque() && !w.Label3[0].opaque());
        QCOMPARE(pixelAt(w, QPointF(400, 8000)), QColor(0, 0, 0));
        moveOver(w.Text1);
        QVERIFY(w.Label3[1].opaque());
    }

    void tabAndEnterFollowTheQuestions()
    {
        wizard &w = openWizard();
        QTRY_COMPARE(focusName(), QStringLiteral("Text1"));
        QStringList visited, expected;
        for (int i = 0; i < 51 + 40 + 4; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << focusName();
        }
        for (int q = 0; q < 10; ++q) {
            expected << QStringLiteral("Text2_%1").arg(q);
            for (int a = 0; a < 4; ++a)
                expected << QStringLiteral("Text3_%1").arg(4 * q + a);
        }
        for (int i = 0; i < 40; ++i)
            expected << QStringLiteral("Check1_%1").arg(i);
        expected << QStringLiteral("Label3_1") << QStringLiteral("Label3_2")
                 << QStringLiteral("Label3_3") << QStringLiteral("Label3_0");
        QCOMPARE(visited, expected << QStringLiteral("Text1"));

        // Enter moves along the same road and is not swallowed: the text stays as typed.
        typeInto(w.Text1, QStringLiteral("Hills"));
        const std::pair<TextBox *, const char *> road[] = {
            {&w.Text1, "Text2_0"},    {&w.Text2[0], "Text3_0"},  {&w.Text3[0], "Text3_1"},
            {&w.Text3[3], "Text2_1"}, {&w.Text3[19], "Text2_5"}, {&w.Text3[39], "Text3_39"}};
        for (const auto &[box, next] : road) {
            box->widget()->setFocus();
            pressEnter(*box);
            QCOMPARE(focusName(), QString::fromLatin1(next));
        }
        QCOMPARE(w.Text1.text(), QStringLiteral("Hills"));
        QVERIFY(rec->messages.isEmpty());
    }

    void genworkNamesTheFirstProblem()
    {
        const auto before = folderFiles();
        wizard &w = openWizard();
        auto save = [&] { return rec->said(w.Label3[1]).join(u'|'); };
        QCOMPARE(rec->heard(w.Label3[1]), QStringList{QStringLiteral("wav\\click.wav")});
        QCOMPARE(rec->messages,
                 QStringList{QStringLiteral("You have not chosen a title for your worksheet")});

        // Question 1 complete but unticked, question 2 empty: question 1 is named.
        typeInto(w.Text1, QStringLiteral("Order"));
        typeInto(w.Text2[0], QStringLiteral("First?"));
        for (int a = 0; a < 4; ++a)
            typeInto(w.Text3[a], QStringLiteral("x"));
        QCOMPARE(save(), QStringLiteral("You have not ticked the correct answer for Question 1"));

        // Ticks are independent boxes; two ticks are named.
        click(w.Check1[1]);
        click(w.Check1[2]);
        QVERIFY(w.Check1[1].value() == 1 && w.Check1[2].value() == 1);
        QCOMPARE(save(),
                 QStringLiteral("You have ticked more than one correct answer for Question 1"));
        click(w.Check1[2]);
        QCOMPARE(save(), QStringLiteral("You have not completed Question 2"));

        // Questions 2 and 3 complete; question 4 with answer C empty and two ticks: the
        // completion message wins. A single space is an answer.
        for (int q = 1; q <= 3; ++q) {
            typeInto(w.Text2[q], QStringLiteral(" "));
            for (int a = 0; a < 4; ++a)
                if (!(q == 3 && a == 2))
                    typeInto(w.Text3[4 * q + a], QStringLiteral("y"));
            click(w.Check1[4 * q]);
        }
        click(w.Check1[13]);
        QCOMPARE(save(), QStringLiteral("You have not completed Question 4"));
        typeInto(w.Text3[14], QStringLiteral(" "));
        QCOMPARE(save(),
                 QStringLiteral("You have ticked more than one correct answer for Question 4"));
        click(w.Check1[13]);
        QCOMPARE(save(), QStringLiteral("You have not completed Question 5"));
        QCOMPARE(folderFiles(), before);
        QVERIFY(w.visible());
    }

    void savingAWorksheetWritesItsFileAndRegistersIt()
    {
        wizard &w = openWizard();
        writeWorksheet(w, QStringLiteral("Volcanoes"));
        // A question box holding one space is saved as that space.
        retype(w.Text2[6], QStringLiteral(" "));
        QCOMPARE(rec->heard(w.Label3[1]), QStringList{QStringLiteral("wav\\click.wav")});
        QCOMPARE(rec->messages, saved);
        QByteArray expected = worksheetBytes(QStringLiteral("Volcanoes"));
        expected.replace("Question 7 of Volcanoes", " ");
        QCOMPARE(content->read(QStringLiteral("multiple/Volcanoes.txt")), expected);
        QCOMPARE(content->read(track), QByteArray(" 1\r\nVolcanoes\r\n"));
        QVERIFY(w.visible());

        // Saved again unchanged: same bytes, the register as it was.
        QCOMPARE(rec->said(w.Label3[1]), saved);
        QCOMPARE(content->read(track), QByteArray(" 1\r\nVolcanoes\r\n"));

        // A title with a comma or one that would leave the folder, and text the file cannot
        // hold, are refused before anything is written.
        const auto before = folderFiles();
        const char *refused[][3] = {
            {"a,b", "",
             "A worksheet title cannot contain a comma. Please change the title and "
             "save again."},
            {"../escape", "", nullptr},
            {"Snow", "\u2603",
             "Question 3, answer B, holds a character that cannot be saved in "
             "a worksheet. Please change it and save again."}};
        for (const auto &[title, answer, says] : refused) {
            retype(w.Text1, QString::fromUtf8(title));
            typeAnyText(w.Text3[9], QString::fromUtf8(answer));
            const QStringList messages = rec->said(w.Label3[1]);
            QCOMPARE(messages.size(), 1);
            QVERIFY2(says ? messages[0] == QString::fromUtf8(says)
                          : messages[0].contains(QStringLiteral("cannot")),
                     qPrintable(messages[0]));
            QCOMPARE(folderFiles(), before);
        }
        QVERIFY(!QFile::exists(content->path(QStringLiteral("escape.txt"))));
    }

    void anAmpersandIsTheTeachersChoice()
    {
        wizard &w = openWizard();
        writeWorksheet(w, QStringLiteral("Kitchen"));
        typeInto(w.Text3[5], QStringLiteral(" & more"));
        const auto before = folderFiles();
        rec->answers = {vbCancel};
        const QStringList asked = rec->said(w.Label3[1]);
        QCOMPARE(asked.size(), 1);
        QVERIFY(asked[0].startsWith(
            QStringLiteral("Question 2 contains \"&\", which will show as a comma")));
        QCOMPARE(folderFiles(), before);

        rec->answers = {vbOK};
        QCOMPARE(rec->said(w.Label3[1]), QStringList(asked) << saved);
        QVERIFY(
            content->read(QStringLiteral("multiple/Kitchen.txt")).contains("\r\nB 2 & more\r\n"));
        QCOMPARE(w.Text3[5].text(), QStringLiteral("B 2 & more"));
    }

    // The quiz format reads a text beginning with a double quote as a quoted field, losing the
    // quote and what follows the next one: such a text is refused before anything is written.
    void aTextBeginningWithAQuoteIsRefused_data()
    {
        QTest::addColumn<int>("question"); ///< 0 to 9
        QTest::addColumn<int>("answer");   ///< -1 for the question itself, else 0 to 3
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("where");
        QTest::newRow("question 1") << 0 << -1 << "\"Mountains\" are high?"
                                    << "Question 1";
        QTest::newRow("question 7 after spaces") << 6 << -1 << "  \"Why\""
                                                 << "Question 7";
        QTest::newRow("answer B of 3") << 2 << 1 << "\"Yak\""
                                       << "Question 3, answer B,";
        QTest::newRow("answer D of 10") << 9 << 3 << "\""
                                        << "Question 10, answer D,";
    }

    void aTextBeginningWithAQuoteIsRefused()
    {
        QFETCH(int, question);
        QFETCH(int, answer);
        QFETCH(QString, text);
        QFETCH(QString, where);
        wizard &w = openWizard();
        writeWorksheet(w, QStringLiteral("Quotes"));
        const auto before = folderFiles();
        retype(answer < 0 ? w.Text2[question] : w.Text3[4 * question + answer], text);
        QCOMPARE(rec->said(w.Label3[1]),
                 QStringList{where + QStringLiteral(" begins with a double quote (\"), which a "
                                                    "worksheet cannot keep there. Please change "
                                                    "it and save again.")});
        QCOMPARE(folderFiles(), before);
        // Inside a text a quote is kept.
        retype(answer < 0 ? w.Text2[question] : w.Text3[4 * question + answer],
               QStringLiteral("A \"quoted\" word"));
        QCOMPARE(rec->said(w.Label3[1]), saved);
        QVERIFY(content->read(QStringLiteral("multiple/Quotes.txt"))
                    .contains("\r\nA \"quoted\" word\r\n"));
    }

    void exitDiscardsWithoutAsking()
    {
        const auto before = folderFiles();
        wizard &w = openWizard();
        typeInto(w.Text1, QStringLiteral("Unsaved"));
        click(w.Check1[5]);
        QCOMPARE(rec->heard(w.Label3[0]), QStringList{QStringLiteral("wav\\click.wav")});
        settle();
        QVERIFY(!isLoaded<wizard>() && rec->messages.isEmpty() && screen<intro0>().visible());
        QCOMPARE(folderFiles(), before);
        wizard &again = openWizard();
        QVERIFY(again.Text1.text().isEmpty() && again.Check1[5].value() == 0);
    }
};

QTEST_MAIN(WizardTest)
#include "tst_wizard.moc"
