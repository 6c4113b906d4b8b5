// SPDX-License-Identifier: GPL-3.0-or-later
// What a screen reader reads from every screen: each control's role, name and state through
// Qt's accessibility interfaces, the windows' names, a page's text, the pictures'
// descriptions, and what is announced as a pupil clicks and presses keys.
#include "activities/livingmountainslab.h"
#include "app/Module1.h"
#include "app/intro0.h"
#include "app/livingmountains.h"
#include "authoring/wizard.h"
#include "platform/access.h"
#include "quiz/Welldone.h"
#include "quiz/multiple.h"
#include "reading/guide.h"
#include "reading/teacher.h"
#include "tests/support/pupil.h"
#include "tests/support/screens.h"
#include "tests/support/testkit.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QRegularExpression>
#include <QTest>

using namespace testkit;
using namespace Qt::StringLiterals;

namespace {

QAccessibleInterface *faceOf(const Control &control)
{
    return QAccessible::queryAccessibleInterface(control.widget());
}

} // namespace

class AccessTest : public ScreenTest
{
    Q_OBJECT

private Q_SLOTS:
    void everyWindowAndControlHasARoleAndAName_data()
    {
        QTest::addColumn<QString>("where");
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("role");
        QTest::addColumn<QString>("name");
        const int window = QAccessible::Window, button = QAccessible::Button,
                  label = QAccessible::StaticText, radio = QAccessible::RadioButton,
                  check = QAccessible::CheckBox, text = QAccessible::EditableText,
                  graphic = QAccessible::Graphic;
        // The control "" is the window itself. An expected name starting with "=" is the
        // loaded quiz's: "=B2" is answer B of question 2, "=Q2" question 2, "=R2" its line
        // in the review.
        const struct
        {
            const char *where, *control, *name;
            int role;
        } rows[] = {
            {"title", "", "Habitara: title screen", window},
            {"title", "Command1", "OK", button},
            {"title", "Label1", "Written by Ruth Penhaligon", label},
            {"title", "Picture1",
             "Snowy peaks of the Andes above green valleys, a village and a river", graphic},
            {"exit confirmation", "", "Habitara: leave the program?", window},
            {"main menu", "", "Habitara: main menu", window},
            {"main menu", "Label2_1", "Living in the Mountains", button},
            {"main menu", "Label2_0", "Mountain Formation", button}, // not in this edition
            {"main menu", "Label1", "Habitara Demo", label},
            {"main menu", "Option1", "Sound On", radio},
            {"topic menu", "", "Living in the Mountains: topic menu", window},
            {"topic menu", "label3_4", "Key Facts", button},
            {"topic menu", "Image1", "A llama on a mountain slope, with snowy peaks behind",
             graphic},
            {"quiz, question 2", "", "Living in the Mountains: quiz, question 2 of 10", window},
            {"quiz, question 2", "Option1_2", "=B2", radio},
            {"quiz, question 2", "Label2", "=Q2", label},
            {"quiz, question 2", "Label3_1", "Next Question", button},
            {"quiz, question 2", "Label3_0", "Previous Question", button},
            {"results, one wrong", "", "Results", window},
            {"results, one wrong", "Label1", "Good work. You have scored 9 out of 10.", label},
            {"results, one wrong", "Label3_0", "Check Wrong Answers", button},
            {"review", "", "Living in the Mountains: questions answered wrongly", window},
            {"review", "Label2_0", "=R2", label},
            {"key facts", "", "Living in the Mountains: key facts", window},
            {"teacher's notes", "", "Living in the Mountains: teacher's notes, page 1 of 2",
             window},
            {"guide", "", "Teachers' guide, page 1 of 5", window},
            {"guide", "Label3_2", "Next Page", button},
            {"wizard", "", "Multiple Choice Wizard", window},
            {"wizard", "Text1", "Worksheet Title", text},
            {"wizard", "Text2_2", "Question 3", text},
            {"wizard", "Text3_9", "Question 3, answer B", text},
            {"wizard", "Check1_9", "Question 3, answer B is right", check},
            {"wizard", "Label3_1", "Save Worksheet", button},
            {"wizard", "Label3_2", "Import a GIFT or Aiken quiz", button},
            {"catalogue", "", "Worksheet catalogue, page 1", window},
            {"catalogue", "Check2", "Delete Worksheet", check},
            {"catalogue", "Label2_0", "Exit", button},
            {"mountain animals", "", "Living in the Mountains: labelling activity", window},
            {"mountain animals", "Label2_2", "Have thick woolly coats.", button},
            // A box is said by what lies beside it, or by its place in reading order.
            {"mountain animals", "Label1_2", "the box on the yaks", label},
            {"mountain animals", "Label1_3", "the box on the goats", label},
            {"desert facts", "Label1_0", "the box beside: Nothing grows in the desert.", label},
            {"mountain zones", "Label1_4", "box 5 of 5", label},
            {"tent", "Label1_2", "box 3 of 6", label},
            {"mountain animals", "Image1_3", "Yaks on a high grassy plateau below snowy peaks",
             graphic},
        };
        for (const auto &r : rows)
            QTest::addRow("%s: %s", r.where, *r.control ? r.control : "window")
                << QString::fromUtf8(r.where) << QString::fromUtf8(r.control) << r.role
                << QString::fromUtf8(r.name);
    }
    void everyWindowAndControlHasARoleAndAName()
    {
        QFETCH(QString, where);
        QFETCH(QString, control);
        QFETCH(int, role);
        QFETCH(QString, name);
        Form &form = screens::open(where);
        if (name.startsWith(u'=')) {
            const int q = name.mid(2).toInt();
            const QChar kind = name[1];
            name = kind == u'Q'   ? Module1::question[q]
                   : kind == u'R' ? u" "_s + QString::number(q) + u". "_s + Module1::question[q]
                                  : u"B. "_s + Module1::answerb[q];
        }
        QAccessibleInterface *face = QAccessible::queryAccessibleInterface(
            control.isEmpty() ? form.host() : form.control(control).widget());
        QVERIFY(face);
        QCOMPARE(int(face->role()), role);
        QCOMPARE(face->text(QAccessible::Name).trimmed(), name.trimmed());
        // What the window manager shows stays as designed: the title screen has no caption.
        if (control.isEmpty())
            QCOMPARE(form.caption(), where == u"title"_s || where == u"exit confirmation"_s
                                         ? u" "_s
                                         : u"Habitara"_s);
    }

    void choicesAndTicksSayWhetherTheyAreChosen()
    {
        multiple &quiz = pupil::openMountainsQuiz();
        settle();
        for (int i = 1; i <= 4; ++i)
            QVERIFY(faceOf(quiz.Option1[i])->state().checkable &&
                    !faceOf(quiz.Option1[i])->state().checked &&
                    !faceOf(quiz.Option1[i])->state().invisible);
        // The choice that clears the others, out of sight under the picture, is not read.
        QVERIFY(faceOf(quiz.Option1[5])->state().invisible);
        click(quiz.Option1[3]);
        QVERIFY(faceOf(quiz.Option1[3])->state().checked);
        QCOMPARE(faceOf(quiz.Option1[3])->text(QAccessible::Name), u"C. "_s + Module1::answerc[1]);
        for (int i : {1, 2, 4, 5})
            QVERIFY(!faceOf(quiz.Option1[i])->state().checked);
        // The next question's answers are said afresh, none of them chosen.
        click(quiz.Label3[1]);
        QCOMPARE(faceOf(quiz.Option1[1])->text(QAccessible::Name), u"A. "_s + Module1::answera[2]);
        QVERIFY(!faceOf(quiz.Option1[3])->state().checked);

        click(quiz.Label3[2]);
        settle();
        auto &w = static_cast<wizard &>(screens::open(u"wizard"_s));
        QVERIFY(faceOf(w.Check1[9])->state().checkable && !faceOf(w.Check1[9])->state().checked);
        click(w.Check1[9]);
        QVERIFY(faceOf(w.Check1[9])->state().checked);
        // A screen reader can tick it too, through the same click.
        faceOf(w.Check1[9])
            ->actionInterface()
            ->doAction(QAccessibleActionInterface::toggleAction());
        QCOMPARE(w.Check1[9].value(), 0);
    }

    void aScreenReaderPressesButtons()
    {
        screen<intro0>().show();
        QAccessibleInterface *entry = faceOf(screen<intro0>().Label2[1]);
        QCOMPARE(entry->actionInterface()->actionNames().first(),
                 QAccessibleActionInterface::pressAction());
        entry->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QVERIFY(screen<livingmountains>().visible());
        // An entry not in this edition is unavailable and cannot be pressed.
        QAccessibleInterface *dim = faceOf(screen<intro0>().Label2[0]);
        QVERIFY(dim->state().disabled);
        QVERIFY(!dim->actionInterface()->actionNames().contains(
            QAccessibleActionInterface::pressAction()));
    }

    void changesAreAnnounced()
    {
        // A new question, with "Check Score" at the last.
        multiple &quiz = pupil::openMountainsQuiz();
        settle();
        pupil::answer(quiz, true);
        accessible::flush();
        QCOMPARE(accessible::announced().last(), u"Question 2 of 10. "_s + Module1::question[2]);
        for (int q = 2; q < 10; ++q)
            pupil::answer(quiz, true);
        accessible::flush();
        QCOMPARE(accessible::announced().last(), u"Question 10 of 10. "_s + Module1::question[10] +
                                                     u" Check Score has appeared."_s);
        // It is the description of the control the pupil is on or, where that is out of
        // sight, of the window.
        auto description = [](QWidget *widget) {
            return widget ? QAccessible::queryAccessibleInterface(widget)->text(
                                QAccessible::Description)
                          : QString();
        };
        QVERIFY(description(QApplication::focusWidget()) == accessible::announced().last() ||
                description(quiz.host()) == accessible::announced().last());
        // The score, the tenth question left unanswered.
        click(quiz.Label3[1]);
        accessible::flush();
        QCOMPARE(accessible::announced().last(),
                 u"Well Done! Good work. You have scored 9 out of 10."_s);
        click(screen<Welldone>().Label3[1]);
        settle();
        // A page turned: its number and its heading.
        click(static_cast<guide &>(screens::open(u"guide"_s)).Label3[2]);
        accessible::flush();
        const QString page2 = accessible::announced().last();
        QVERIFY2(page2.startsWith(u"Page 2 of 5. "_s) && page2.size() > 14, qPrintable(page2));
        QCOMPARE(page2.mid(13), accessible::pageLines(screen<guide>().Image1.picture()).first());
        QCOMPARE(accessible::windowName(screen<guide>()), u"Teachers' guide, page 2 of 5"_s);
    }

    void aKeyboardDragIsAnnounced()
    {
        auto &a = static_cast<livingmountainslab &>(screens::open(u"mountain animals"_s));
        QTRY_VERIFY(a.host()->isActiveWindow());
        // Everything but "Have thick woolly coats." already placed by mouse.
        for (int i : {0, 1, 3})
            pupil::dragInto(a, i, a.Label1[i]);
        accessible::flush();
        pupil::tabTo(a, a.Label2[2]);
        pressKey(a, Qt::Key_Space);
        accessible::flush();
        // Lifted and carried are said as the label's name.
        QCOMPARE(faceOf(a.Label2[2])->text(QAccessible::Name),
                 u"Have thick woolly coats., lifted"_s);
        for (int k = 0; k < 10 && !pupil::onBox(a.Label2[2], a.Label1[2]); ++k) {
            pressKey(a, Qt::Key_Right);
            accessible::flush();
        }
        QCOMPARE(faceOf(a.Label2[2])->text(QAccessible::Name),
                 u"Have thick woolly coats., lifted, over the box on the yaks"_s);
        // Set down, the name is the caption again and the description says where it went,
        // and that "Check Score" came.
        pressKey(a, Qt::Key_Space);
        accessible::flush();
        QCOMPARE(faceOf(a.Label2[2])->text(QAccessible::Name), u"Have thick woolly coats."_s);
        QCOMPARE(faceOf(a.Label2[2])->text(QAccessible::Description),
                 u"Have thick woolly coats., placed in the box on the yaks. Check Score has "
                 "appeared."_s);
        QVERIFY(a.Label3[2].visible());
        // Lifted once more and put back with Escape.
        pressKey(a, Qt::Key_Space);
        pressKey(a, Qt::Key_Right);
        pressKey(a, Qt::Key_Escape);
        accessible::flush();
        QCOMPARE(accessible::announced().last(), u"Have thick woolly coats., put back."_s);
        QCOMPARE(faceOf(a.Label2[2])->text(QAccessible::Name), u"Have thick woolly coats."_s);
        // What was announced through the label goes when the focus moves on.
        pressKey(a, Qt::Key_Tab);
        QVERIFY(!a.Label2[2].hasFocus());
        QCOMPARE(faceOf(a.Label2[2])->text(QAccessible::Description), QString());
    }

    void aPageReadsLineByLine()
    {
        auto &viewer = static_cast<teacher &>(screens::open(u"key facts"_s));
        QAccessibleInterface *page = faceOf(viewer.Image1);
        QCOMPARE(page->role(), QAccessible::Document);
        QAccessibleTextInterface *text = page->textInterface();
        QVERIFY(text);
        const QString all = text->text(0, text->characterCount());
        // The headings of the page's source come in the order the source has them.
        qsizetype from = 0;
        int headings = 0;
        for (const QByteArray &line :
             readFile(QStringLiteral(HABITARA_TEST_DATA "/../../content/pages/key "
                                                        "livingmountains.md"))
                 .split('\n')) {
            if (!line.startsWith('#'))
                continue;
            QString heading = QString::fromUtf8(line).remove(QRegularExpression(u"^#+\\s*"_s));
            const qsizetype at = all.indexOf(heading.trimmed(), from);
            QVERIFY2(at >= from, qPrintable(heading));
            from = at;
            ++headings;
        }
        QVERIFY(headings >= 2);
        // A screen reader reads it a line at a time.
        int start = 0, end = 0;
        const QString first = text->textAtOffset(0, QAccessible::LineBoundary, &start, &end);
        QCOMPARE(first.trimmed(), accessible::pageLines(viewer.Image1.picture()).first());
        const QString second = text->textAtOffset(end, QAccessible::LineBoundary, &start, &end);
        QCOMPARE(second.trimmed(), accessible::pageLines(viewer.Image1.picture()).at(1));
        QCOMPARE(page->text(QAccessible::Name), first.trimmed());
    }

    void everyPictureIsDescribed()
    {
        const QDir images(content->path(u"images"_s));
        const QStringList pictures = images.entryList({u"*.jpg"_s}, QDir::Files);
        QVERIFY(pictures.size() >= 10);
        for (const QString &picture : pictures)
            QVERIFY2(accessible::describePicture(u"Images\\"_s + picture).size() > 10,
                     qPrintable(picture));
        QCOMPARE(accessible::describePicture(u"logo\\quil0007.gif"_s),
                 u"The Quillmoor Publishing logo"_s);
        QCOMPARE(accessible::describePicture(u"images\\nothing.jpg"_s), QString());
    }
};

QTEST_MAIN(AccessTest)
#include "tst_access.moc"
