// SPDX-License-Identifier: GPL-3.0-or-later
// What a screen reader reads from every screen: each control's role, name and state through
// Qt's accessibility interfaces, the windows' names, a page's text, the pictures'
// descriptions, and what is announced as a pupil clicks and presses keys.
#include "activities/dragspeech.h"
#include "activities/livingdesertlab.h"
#include "activities/livingdesertord.h"
#include "activities/livingmountainslab.h"
#include "activities/livingmountainsord.h"
#include "app/Module1.h"
#include "app/Titlefrm.h"
#include "app/intro0.h"
#include "app/livingdesert.h"
#include "app/livingmountains.h"
#include "authoring/wizard.h"
#include "authoring/worksheets.h"
#include "platform/access.h"
#include "quiz/Welldone.h"
#include "quiz/Wrong.h"
#include "quiz/multiple.h"
#include "reading/guide.h"
#include "reading/teacher.h"
#include "tests/support/pupil.h"
#include "tests/support/testkit.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTest>

#include <functional>

using namespace testkit;
using namespace Qt::StringLiterals;

namespace {

/// The screens, each reached from the main menu as a pupil reaches it.
enum class Reach {
    title,
    exitConfirmation,
    mainMenu,
    topicMenu,
    quizQuestion3,
    results,
    review,
    keyFacts,
    notes,
    guidePage2,
    wizard,
    catalogue,
    activity,
};

Form &reach(Reach where)
{
    auto menu = [] {
        screen<intro0>().show();
        return &screen<intro0>();
    };
    switch (where) {
    case Reach::title:
        screen<Titlefrm>().show();
        return screen<Titlefrm>();
    case Reach::exitConfirmation:
        click(menu()->Label2[16]);
        return screen<Titlefrm>();
    case Reach::mainMenu:
        return *menu();
    case Reach::topicMenu:
        click(menu()->Label2[1]);
        return screen<livingmountains>();
    case Reach::quizQuestion3: {
        multiple &quiz = pupil::openMountainsQuiz();
        pupil::answer(quiz, true);
        pupil::answer(quiz, false);
        return quiz;
    }
    case Reach::results:
        return pupil::playToResults({2, 5});
    case Reach::review:
        click(pupil::playToResults({2, 5}).Label3[0]);
        return screen<Wrong>();
    case Reach::keyFacts:
        click(menu()->Label2[1]);
        click(screen<livingmountains>().label3[4]);
        return screen<teacher>();
    case Reach::notes:
        click(menu()->Label2[1]);
        click(screen<livingmountains>().label3[5]);
        return screen<teacher>();
    case Reach::guidePage2:
        click(menu()->Label2[20]);
        click(screen<guide>().Label3[2]);
        return screen<guide>();
    case Reach::wizard:
        click(menu()->Label2[17]);
        return screen<wizard>();
    case Reach::catalogue:
        click(menu()->Label2[18]);
        return screen<worksheets>();
    case Reach::activity:
        click(menu()->Label2[1]);
        click(screen<livingmountains>().label3[1]);
        return screen<livingmountainslab>();
    }
    return *menu();
}

QAccessibleInterface *faceOf(const Control &control)
{
    return QAccessible::queryAccessibleInterface(control.widget());
}

void tabTo(const Form &form, const Control &control)
{
    for (int k = 0; k < 30 && !control.hasFocus(); ++k)
        pressKey(form, Qt::Key_Tab);
    QVERIFY(control.hasFocus());
}

QPointF cornerOf(const Control &c)
{
    return {c.left(), c.top()};
}

} // namespace

class AccessTest : public ScreenTest
{
    Q_OBJECT

private Q_SLOTS:
    void everyControlHasARoleAndAName_data()
    {
        QTest::addColumn<Reach>("where");
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("role");
        QTest::addColumn<QString>("name");
        const int button = QAccessible::Button, label = QAccessible::StaticText,
                  radio = QAccessible::RadioButton, check = QAccessible::CheckBox,
                  text = QAccessible::EditableText, graphic = QAccessible::Graphic;
        // An expected name starting with "=" is the loaded quiz's: "=A1" is answer A of
        // question 1, "=Q3" question 3.
        const struct
        {
            const char *row;
            Reach where;
            const char *control, *name;
            int role;
        } rows[] = {
            {"title OK", Reach::title, "Command1", "OK", button},
            {"title words", Reach::title, "Label1", "Written by Ruth Penhaligon", label},
            {"title picture", Reach::title, "Picture1",
             "Snowy peaks of the Andes above green valleys, a village and a river", graphic},
            {"menu entry", Reach::mainMenu, "Label2_1", "Living in the Mountains", button},
            {"menu entry not in this edition", Reach::mainMenu, "Label2_0", "Mountain Formation",
             button},
            {"menu heading", Reach::mainMenu, "Label1", "Habitara Demo", label},
            {"sound on", Reach::mainMenu, "Option1", "Sound On", radio},
            {"topic entry", Reach::topicMenu, "label3_4", "Key Facts", button},
            {"topic picture", Reach::topicMenu, "Image1",
             "A llama on a mountain slope, with snowy peaks behind", graphic},
            {"quiz answer", Reach::quizQuestion3, "Option1_2", "=B3", radio},
            {"quiz question", Reach::quizQuestion3, "Label2", "=Q3", label},
            {"quiz next", Reach::quizQuestion3, "Label3_1", "Next Question", button},
            {"quiz previous", Reach::quizQuestion3, "Label3_0", "Previous Question", button},
            {"results score", Reach::results, "Label1", "Good work. You have scored 8 out of 10.",
             label},
            {"results review", Reach::results, "Label3_0", "Check Wrong Answers", button},
            {"review line", Reach::review, "Label2_0", "=R2", label},
            {"guide next", Reach::guidePage2, "Label3_2", "Next Page", button},
            {"wizard title box", Reach::wizard, "Text1", "Worksheet Title", text},
            {"wizard question box", Reach::wizard, "Text2_2", "Question 3", text},
            {"wizard answer box", Reach::wizard, "Text3_9", "Question 3, answer B", text},
            {"wizard tick", Reach::wizard, "Check1_9", "Question 3, answer B is right", check},
            {"wizard save", Reach::wizard, "Label3_1", "Save Worksheet", button},
            {"wizard import", Reach::wizard, "Label3_2", "Import a GIFT or Aiken quiz", button},
            {"catalogue mode", Reach::catalogue, "Check2", "Delete Worksheet", check},
            {"catalogue exit", Reach::catalogue, "Label2_0", "Exit", button},
            {"activity label", Reach::activity, "Label2_2", "Have thick woolly coats.", button},
            {"activity box", Reach::activity, "Label1_2", "the box on the yaks", label},
            {"activity picture", Reach::activity, "Image1_3",
             "Yaks on a high grassy plateau below snowy peaks", graphic},
        };
        for (const auto &r : rows)
            QTest::newRow(r.row) << r.where << QString::fromUtf8(r.control) << r.role
                                 << QString::fromUtf8(r.name);
    }
    void everyControlHasARoleAndAName()
    {
        QFETCH(Reach, where);
        QFETCH(QString, control);
        QFETCH(int, role);
        QFETCH(QString, name);
        Form &form = reach(where);
        settle();
        if (name.startsWith(u'=')) {
            const int q = name.mid(2).toInt();
            const QChar kind = name[1];
            name = kind == u'Q'   ? Module1::question[q]
                   : kind == u'R' ? u" "_s + QString::number(q) + u". "_s + Module1::question[q]
                                  : u"B. "_s + Module1::answerb[q];
        }
        QAccessibleInterface *face = faceOf(form.control(control));
        QVERIFY(face);
        QCOMPARE(int(face->role()), role);
        QCOMPARE(face->text(QAccessible::Name).trimmed(), name.trimmed());
    }

    void everyWindowIsNamed_data()
    {
        QTest::addColumn<Reach>("where");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        const struct
        {
            const char *row;
            Reach where;
            const char *name, *caption;
        } rows[] = {
            {"title", Reach::title, "Habitara: title screen", " "},
            {"exit confirmation", Reach::exitConfirmation, "Habitara: leave the program?", " "},
            {"main menu", Reach::mainMenu, "Habitara: main menu", "Habitara"},
            {"topic menu", Reach::topicMenu, "Living in the Mountains: topic menu", "Habitara"},
            {"quiz", Reach::quizQuestion3, "Living in the Mountains: quiz, question 3 of 10",
             "Habitara"},
            {"results", Reach::results, "Results", "Habitara"},
            {"review", Reach::review, "Living in the Mountains: questions answered wrongly",
             "Habitara"},
            {"key facts", Reach::keyFacts, "Living in the Mountains: key facts", "Habitara"},
            {"notes", Reach::notes, "Living in the Mountains: teacher's notes, page 1 of 2",
             "Habitara"},
            {"guide", Reach::guidePage2, "Teachers' guide, page 2 of 5", "Habitara"},
            {"wizard", Reach::wizard, "Multiple Choice Wizard", "Habitara"},
            {"catalogue", Reach::catalogue, "Worksheet catalogue, page 1", "Habitara"},
            {"activity", Reach::activity, "Living in the Mountains: labelling activity",
             "Habitara"},
        };
        for (const auto &r : rows)
            QTest::newRow(r.row) << r.where << QString::fromUtf8(r.name)
                                 << QString::fromUtf8(r.caption);
    }
    void everyWindowIsNamed()
    {
        QFETCH(Reach, where);
        QFETCH(QString, name);
        QFETCH(QString, caption);
        Form &form = reach(where);
        settle();
        QCOMPARE(QAccessible::queryAccessibleInterface(form.host())->text(QAccessible::Name), name);
        // What the window manager shows stays as designed.
        QCOMPARE(form.caption(), caption);
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
        auto &w = static_cast<wizard &>(reach(Reach::wizard));
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
        reach(Reach::guidePage2);
        accessible::flush();
        const QString page2 = accessible::announced().last();
        QVERIFY2(page2.startsWith(u"Page 2 of 5. "_s) && page2.size() > 14, qPrintable(page2));
        QCOMPARE(page2.mid(13), accessible::pageLines(screen<guide>().Image1.picture()).first());
        QCOMPARE(accessible::windowName(screen<guide>()), u"Teachers' guide, page 2 of 5"_s);
    }

    void aKeyboardDragIsAnnounced()
    {
        auto &a = static_cast<livingmountainslab &>(reach(Reach::activity));
        QTRY_VERIFY(a.host()->isActiveWindow());
        // Everything but "Have thick woolly coats." already placed by mouse.
        for (int i : {0, 1, 3})
            drag(a.Label2[i], cornerOf(a.Label1[i]) +
                                  QPointF(a.Label2[i].width() / 2, a.Label2[i].height() / 2));
        accessible::flush();
        tabTo(a, a.Label2[2]);
        pressKey(a, Qt::Key_Space);
        accessible::flush();
        // Lifted and carried are said as the label's name.
        QCOMPARE(faceOf(a.Label2[2])->text(QAccessible::Name),
                 u"Have thick woolly coats., lifted"_s);
        for (int k = 0; k < 10 && cornerOf(a.Label2[2]) != cornerOf(a.Label1[2]); ++k) {
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

    void boxesAreSaidByWhatIsBesideThem_data()
    {
        QTest::addColumn<const Activity *>("activity");
        QTest::addColumn<int>("box");
        QTest::addColumn<QString>("place");
        QTest::newRow("on a picture") << &mountainsLabelling << 2 << u"the box on the yaks"_s;
        QTest::newRow("on another") << &mountainsLabelling << 3 << u"the box on the goats"_s;
        QTest::newRow("beside a statement")
            << &desertOrdering << 0 << u"the box beside: Nothing grows in the desert."_s;
        QTest::newRow("counted from the top") << &mountainsOrdering << 4 << u"box 5 of 5"_s;
        QTest::newRow("counted in reading order") << &desertLabelling << 2 << u"box 3 of 6"_s;
    }
    void boxesAreSaidByWhatIsBesideThem()
    {
        QFETCH(const Activity *, activity);
        QFETCH(int, box);
        QFETCH(QString, place);
        const std::vector<QString> places = boxPlaces(*activity);
        QCOMPARE(int(places.size()), activity->count());
        QCOMPARE(places[size_t(box)], place);
    }

    void aPageReadsLineByLine()
    {
        auto &viewer = static_cast<teacher &>(reach(Reach::keyFacts));
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
