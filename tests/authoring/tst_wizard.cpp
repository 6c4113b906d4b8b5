// SPDX-License-Identifier: GPL-3.0-or-later
// The Multiple Choice Wizard driven as a teacher drives it: typing, Tab and Enter, ticks,
// Save Worksheet and Exit, with every message and the bytes that land on disk.
#include "app/Module1.h"
#include "app/intro0.h"
#include "authoring/wizard.h"
#include "platform/fonts.h"
#include "platform/look.h"
#include "platform/msgbox.h"
#include "tests/support/author.h"
#include "tests/support/testkit.h"

#include <QApplication>
#include <QFile>
#include <QTest>

using namespace testkit;
using namespace author;

namespace {

const QString track = QStringLiteral("multiple/track.txt");
const QString saved = QStringLiteral("Your worksheet has been saved.");

QString focusName()
{
    QWidget *w = QApplication::focusWidget();
    return w ? w->objectName() : QString();
}

void clearBox(TextBox &box)
{
    box.widget()->setFocus();
    QTest::keyClick(box.widget(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(box.widget(), Qt::Key_Delete);
}

} // namespace

class WizardTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { registerFonts(); }
    void init() { resetProgram(); }
    void cleanup() { resetProgram(); }

    void theWizardIsLaidOutInTwoColumns()
    {
        ContentFolder content;
        Recorders rec;
        wizard &w = openWizard();
        QVERIFY(w.visible());
        QVERIFY(screen<intro0>().visible());
        QCOMPARE(w.backColor(), QColor(0, 78, 152));
        QCOMPARE(w.width(), 12000.f);
        QCOMPARE(QRectF(w.Text1.left(), w.Text1.top(), w.Text1.width(), w.Text1.height()),
                 QRectF(7560, 120, 4215, 375));
        // Question 5 ends the left column, question 6 starts the right one.
        QCOMPARE(QPointF(w.Text2[4].left(), w.Text2[4].top()), QPointF(240, 840 + 4 * 1440));
        QCOMPARE(QPointF(w.Text2[5].left(), w.Text2[5].top()), QPointF(6120, 840));
        QCOMPARE(QPointF(w.Text3[21].left(), w.Text3[21].top()), QPointF(6120 + 3360, 840 + 390));
        QCOMPARE(QPointF(w.Text3[22].left(), w.Text3[22].top()), QPointF(6120 + 480, 840 + 720));
        QCOMPARE(QPointF(w.Check1[39].left(), w.Check1[39].top()),
                 QPointF(6120 + 3090, 840 + 4 * 1440 + 720));
        QCOMPARE(QPointF(w.Check1[2].left(), w.Check1[2].top()), QPointF(240 + 240, 840 + 720));
        QCOMPARE(w.Text2[9].width(), 5655.f);
        QCOMPARE(w.Text3[0].width(), 2295.f);
        QCOMPARE(w.Check1[0].width(), 255.f);
        QCOMPARE(w.Check1[7].backColor(), QColor(0, 78, 152));
        QCOMPARE(w.Label1[0].caption(), QStringLiteral("Multiple Choice Wizard"));
        QCOMPARE(w.Label1[1].caption(), QStringLiteral("Worksheet Title"));
        QCOMPARE(w.Label1[11].caption(), QStringLiteral("Question 10"));
        QCOMPARE(w.Label1[51].caption(), QStringLiteral("D."));
        QCOMPARE(w.Label1[1].left(), 5160.f);
        QCOMPARE(w.Label3[1].caption(), QStringLiteral("Save Worksheet"));
        QCOMPARE(w.Label3[1].left(), 240.f);
        QCOMPARE(w.Label3[0].caption(), QStringLiteral("Exit"));

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
        ContentFolder content;
        Recorders rec;
        wizard &w = openWizard();
        QTRY_COMPARE(focusName(), QStringLiteral("Text1"));
        QStringList visited;
        for (int i = 0; i < 51 + 40; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << focusName();
        }
        QStringList expected;
        for (int q = 0; q < 10; ++q) {
            expected << QStringLiteral("Text2_%1").arg(q);
            for (int a = 0; a < 4; ++a)
                expected << QStringLiteral("Text3_%1").arg(4 * q + a);
        }
        for (int i = 0; i < 40; ++i)
            expected << QStringLiteral("Check1_%1").arg(i);
        expected << QStringLiteral("Text1");
        QCOMPARE(visited, expected);

        // Enter moves along the same road and is not swallowed: the text stays as typed.
        typeInto(w.Text1, QStringLiteral("Hills"));
        pressEnter(w.Text1);
        QCOMPARE(focusName(), QStringLiteral("Text2_0"));
        pressEnter(w.Text2[0]);
        QCOMPARE(focusName(), QStringLiteral("Text3_0"));
        pressEnter(w.Text3[0]);
        QCOMPARE(focusName(), QStringLiteral("Text3_1"));
        pressEnter(w.Text3[3]);
        QCOMPARE(focusName(), QStringLiteral("Text2_1"));
        typeInto(w.Text3[19], QStringLiteral("Last of five"));
        pressEnter(w.Text3[19]);
        QCOMPARE(focusName(), QStringLiteral("Text2_5"));
        typeInto(w.Text3[39], QStringLiteral("End"));
        pressEnter(w.Text3[39]);
        QCOMPARE(focusName(), QStringLiteral("Text3_39"));
        QCOMPARE(w.Text3[39].text(), QStringLiteral("End"));
        QCOMPARE(w.Text1.text(), QStringLiteral("Hills"));
        QVERIFY(rec.messages.isEmpty());
    }

    void genworkNamesTheFirstProblem()
    {
        ContentFolder content;
        Recorders rec;
        const auto before = folderFiles();
        wizard &w = openWizard();
        rec.clearSounds();
        click(w.Label3[1]);
        QCOMPARE(rec.messages,
                 QStringList{QStringLiteral("You have not chosen a title for your worksheet")});
        QCOMPARE(rec.sounds(), QStringList{QStringLiteral("wav\\click.wav")});

        // Question 1 complete but unticked, question 2 empty: question 1 is named.
        typeInto(w.Text1, QStringLiteral("Order"));
        typeInto(w.Text2[0], QStringLiteral("First?"));
        for (int a = 0; a < 4; ++a)
            typeInto(w.Text3[a], QStringLiteral("x"));
        rec.messages.clear();
        click(w.Label3[1]);
        QCOMPARE(rec.messages, QStringList{QStringLiteral(
                                   "You have not ticked the correct answer for Question 1")});

        // Ticks are independent boxes; two ticks are named.
        click(w.Check1[1]);
        click(w.Check1[2]);
        QVERIFY(w.Check1[1].value() == 1 && w.Check1[2].value() == 1);
        rec.messages.clear();
        click(w.Label3[1]);
        QCOMPARE(rec.messages, QStringList{QStringLiteral(
                                   "You have ticked more than one correct answer for Question 1")});
        click(w.Check1[2]);
        rec.messages.clear();
        click(w.Label3[1]);
        QCOMPARE(rec.messages, QStringList{QStringLiteral("You have not completed Question 2")});

        // Questions 2 and 3 complete; question 4 with answer C empty and two ticks: the
        // completion message wins.
        for (int q = 1; q <= 3; ++q) {
            typeInto(w.Text2[q], QStringLiteral(" "));
            for (int a = 0; a < 4; ++a)
                if (!(q == 3 && a == 2))
                    typeInto(w.Text3[4 * q + a], QStringLiteral("y"));
            click(w.Check1[4 * q]);
        }
        click(w.Check1[13]);
        rec.messages.clear();
        click(w.Label3[1]);
        QCOMPARE(rec.messages, QStringList{QStringLiteral("You have not completed Question 4")});
        // A single space is an answer.
        typeInto(w.Text3[14], QStringLiteral(" "));
        rec.messages.clear();
        click(w.Label3[1]);
        QCOMPARE(rec.messages, QStringList{QStringLiteral(
                                   "You have ticked more than one correct answer for Question 4")});
        click(w.Check1[13]);
        rec.messages.clear();
        click(w.Label3[1]);
        QCOMPARE(rec.messages, QStringList{QStringLiteral("You have not completed Question 5")});
        QCOMPARE(folderFiles(), before);
        QVERIFY(w.visible());
        QCOMPARE(w.Text2[1].text(), QStringLiteral(" "));
    }

    void savingAWorksheetWritesItsFileAndRegistersIt()
    {
        ContentFolder content;
        Recorders rec;
        wizard &w = openWizard();
        writeWorksheet(w, QStringLiteral("Volcanoes"));
        // A question box holding one space is saved as that space.
        clearBox(w.Text2[6]);
        typeInto(w.Text2[6], QStringLiteral(" "));
        rec.clearSounds();
        click(w.Label3[1]);
        QCOMPARE(rec.messages, QStringList{saved});
        QCOMPARE(rec.sounds(), QStringList{QStringLiteral("wav\\click.wav")});
        QByteArray expected = worksheetBytes(QStringLiteral("Volcanoes"));
        expected.replace("Question 7 of Volcanoes", " ");
        QCOMPARE(content.read(QStringLiteral("multiple/Volcanoes.txt")), expected);
        QCOMPARE(content.read(track), QByteArray(" 1\r\nVolcanoes\r\n"));
        QVERIFY(w.visible());
        QCOMPARE(w.Text1.text(), QStringLiteral("Volcanoes"));

        // Saved again unchanged: same bytes, the register as it was.
        rec.messages.clear();
        click(w.Label3[1]);
        QCOMPARE(rec.messages, QStringList{saved});
        QCOMPARE(content.read(track), QByteArray(" 1\r\nVolcanoes\r\n"));

        // The title "a,b" is refused before anything is written.
        const auto before = folderFiles();
        clearBox(w.Text1);
        typeInto(w.Text1, QStringLiteral("a,b"));
        rec.messages.clear();
        click(w.Label3[1]);
        QCOMPARE(rec.messages,
                 QStringList{QStringLiteral("A worksheet title cannot contain a comma. Please "
                                            "change the title and save again.")});
        QCOMPARE(folderFiles(), before);
        QVERIFY(!QFile::exists(content.path(QStringLiteral("multiple/a,b.txt"))));

        // Titles that would replace the register or a topic's quiz, or leave the folder.
        for (const char *title : {"track", "Living in the Mountains", "../escape", "a/b"}) {
            clearBox(w.Text1);
            typeInto(w.Text1, QString::fromLatin1(title));
            rec.messages.clear();
            click(w.Label3[1]);
            QCOMPARE(rec.messages.size(), 1);
            QVERIFY2(rec.messages[0].contains(QStringLiteral("cannot")),
                     qPrintable(rec.messages[0]));
            QCOMPARE(folderFiles(), before);
        }
        QVERIFY(!QFile::exists(content.path(QStringLiteral("escape.txt"))));

        // Text the file cannot hold names its question; nothing is written.
        clearBox(w.Text1);
        typeInto(w.Text1, QStringLiteral("Snow"));
        typeAnyText(w.Text3[9], QStringLiteral("\u2603"));
        rec.messages.clear();
        click(w.Label3[1]);
        QCOMPARE(rec.messages, QStringList{QStringLiteral(
                                   "Question 3, answer B, holds a character that cannot be saved "
                                   "in a worksheet. Please change it and save again.")});
        QCOMPARE(folderFiles(), before);
    }

    void anAmpersandIsTheTeachersChoice()
    {
        ContentFolder content;
        Recorders rec;
        wizard &w = openWizard();
        writeWorksheet(w, QStringLiteral("Kitchen"));
        typeInto(w.Text3[5], QStringLiteral(" & more"));
        const auto before = folderFiles();
        rec.answers = {vbCancel};
        click(w.Label3[1]);
        QCOMPARE(rec.messages.size(), 1);
        QVERIFY(rec.messages[0].startsWith(
            QStringLiteral("Question 2 contains \"&\", which will show as a comma")));
        QCOMPARE(folderFiles(), before);

        rec.messages.clear();
        rec.answers = {vbOK};
        click(w.Label3[1]);
        QCOMPARE(rec.messages.size(), 2);
        QCOMPARE(rec.messages[1], saved);
        QVERIFY(
            content.read(QStringLiteral("multiple/Kitchen.txt")).contains("\r\nB 2 & more\r\n"));
        QCOMPARE(w.Text3[5].text(), QStringLiteral("B 2 & more"));
    }

    void exitDiscardsWithoutAsking()
    {
        ContentFolder content;
        Recorders rec;
        const auto before = folderFiles();
        wizard &w = openWizard();
        typeInto(w.Text1, QStringLiteral("Unsaved"));
        click(w.Check1[5]);
        rec.clearSounds();
        click(w.Label3[0]);
        settle();
        QVERIFY(!isLoaded<wizard>());
        QVERIFY(rec.messages.isEmpty());
        QCOMPARE(rec.sounds(), QStringList{QStringLiteral("wav\\click.wav")});
        QCOMPARE(folderFiles(), before);
        QVERIFY(screen<intro0>().visible());
        wizard &again = openWizard();
        QVERIFY(again.Text1.text().isEmpty());
        QCOMPARE(again.Check1[5].value(), 0);
    }

    void aMissingRegisterLetsTheFirstSaveThroughAndADamagedOneDoesNot()
    {
        ContentFolder content;
        Recorders rec;
        content.remove(track);
        wizard &w = openWizard();
        writeWorksheet(w, QStringLiteral("First"));
        click(w.Label3[1]);
        QCOMPARE(rec.messages, QStringList{saved});
        QCOMPARE(content.read(track), QByteArray(" 1\r\nFirst\r\n"));

        content.write(track, QByteArray("garbage\r\n"));
        clearBox(w.Text1);
        typeInto(w.Text1, QStringLiteral("Second"));
        const auto before = folderFiles();
        rec.messages.clear();
        click(w.Label3[1]);
        QCOMPARE(rec.messages,
                 QStringList{QStringLiteral("There was a problem saving your worksheet")});
        QCOMPARE(folderFiles(), before);
    }
};

QTEST_MAIN(WizardTest)
#include "tst_wizard.moc"
