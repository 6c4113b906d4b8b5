// SPDX-License-Identifier: GPL-3.0-or-later
// Reading aloud as a pupil hears it: what the recorded voice is asked to say, and when, as the
// pupil clicks, rests the pointer, presses Tab and F2, and moves from screen to screen.
#include "activities/livingmountainslab.h"
#include "app/Module1.h"
#include "app/Titlefrm.h"
#include "app/intro0.h"
#include "app/livingmountains.h"
#include "authoring/wizard.h"
#include "platform/access.h"
#include "platform/reader.h"
#include "platform/timer.h"
#include "quiz/Welldone.h"
#include "quiz/multiple.h"
#include "reading/guide.h"
#include "reading/teacher.h"
#include "tests/support/pupil.h"
#include "tests/support/testkit.h"

#include <QAccessible>
#include <QTest>

using namespace testkit;
using namespace Qt::StringLiterals;

namespace {

/// The recorded voice, installed and switched on (or left off).
SpeechRecorder &listen(bool on = true)
{
    auto recorder = std::make_unique<SpeechRecorder>();
    SpeechRecorder &voice = *recorder;
    readaloud::setVoice(std::move(recorder));
    if (on)
        readaloud::setOn(true);
    return voice;
}

/// Events of the recording from a point on (by default only the last thing said), once the
/// program has caught up.
QStringList since(const SpeechRecorder &voice, qsizetype from)
{
    settle();
    return voice.events.mid(from);
}
QString lastSaid(const SpeechRecorder &voice)
{
    settle();
    return voice.said().value(voice.said().size() - 1);
}

/// A quiz question's four answers as they are said.
QString answers(int q)
{
    using namespace Module1;
    return u"A. "_s + answera[q] + u". B. "_s + answerb[q] + u". C. "_s + answerc[q] + u". D. "_s +
           answerd[q] + u'.';
}

enum class Screen { title, mainMenu, quiz, keyFacts, wizard, activity };

Form &open(Screen where)
{
    intro0 &menu = screen<intro0>();
    menu.show();
    switch (where) {
    case Screen::title:
        click(menu.Label2[16]);
        return screen<Titlefrm>();
    case Screen::mainMenu:
        return menu;
    case Screen::quiz:
        return pupil::openMountainsQuiz();
    case Screen::keyFacts:
        click(menu.Label2[1]);
        click(screen<livingmountains>().label3[4]);
        return screen<teacher>();
    case Screen::wizard:
        click(menu.Label2[17]);
        return screen<wizard>();
    case Screen::activity:
        click(menu.Label2[1]);
        click(screen<livingmountains>().label3[1]);
        return screen<livingmountainslab>();
    }
    return menu;
}

} // namespace

class ReadAloudTest : public ScreenTest
{
    Q_OBJECT

private Q_SLOTS:
    void aQuizPlayedThroughWithAndWithoutReadingAloud()
    {
        // The quiz played twice to full marks, the switch off and on, the score asked for with
        // the keyboard: the same designed sounds, and words only when it is on.
        QStringList heard[2];
        const QStringList fanfares{u"wav\\fanf2.wav"_s, u"wav\\fanf3.wav"_s};
        for (bool on : {false, true}) {
            registry::unloadAll();
            settle();
            Module1::resetState();
            rec->clearSounds();
            SpeechRecorder &voice = listen(on);
            multiple &quiz = pupil::openMountainsQuiz();
            for (int q = 1; q < 10; ++q)
                pupil::answer(quiz, true);
            click(quiz.Option1[Module1::correct[10].toInt()]);
            pupil::tabTo(quiz, quiz.Label3[1]);
            pressKey(quiz, Qt::Key_Return);
            Welldone &results = screen<Welldone>();
            QVERIFY(QTest::qWaitFor([&results] { return pupil::resultsSettled(results); }));
            heard[on] = rec->sounds();
            // The fanfare is drawn at random from its row; everything before it is the same.
            QVERIFY2(!heard[on].isEmpty() && fanfares.contains(heard[on].takeLast()),
                     qPrintable(heard[on].join(u", "_s)));
            // The screen reader hears each question as before.
            QVERIFY(
                accessible::announced().contains(u"Question 3 of 10. "_s + Module1::question[3]));
            if (!on) {
                QCOMPARE(voice.events, QStringList());
                continue;
            }
            // Each question with its four answers; the score, not cut off as the name box
            // takes the focus.
            QVERIFY(results.Text1.hasFocus());
            QVERIFY(Module1::question[3].endsWith(u'?'));
            QVERIFY(voice.said().contains(u"Question 3. "_s + Module1::question[3] + u' ' +
                                          answers(3)));
            QCOMPARE(lastSaid(voice),
                     u"Well Done! Excellent work. You have scored 10 out of 10."_s);
        }
        QVERIFY(heard[0].filter(u"click.wav"_s).size() >= 10);
        QCOMPARE(heard[1], heard[0]);
    }

    void thePointerRestingOnAControlIsRead_data()
    {
        QTest::addColumn<Screen>("where");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("said");
        QTest::newRow("a menu entry")
            << Screen::mainMenu << u"Label2_1"_s << u"Living in the Mountains"_s;
        QTest::newRow("an entry not in this edition")
            << Screen::mainMenu << u"Label2_0"_s << u"Mountain Formation"_s;
        QTest::newRow("a picture") << Screen::mainMenu << u"Image1"_s << u"=picture"_s;
        QTest::newRow("an answer") << Screen::quiz << u"Option1_2"_s << u"=B1"_s;
        QTest::newRow("a label to place")
            << Screen::activity << u"Label2_2"_s << u"Have thick woolly coats."_s;
    }
    void thePointerRestingOnAControlIsRead()
    {
        QFETCH(Screen, where);
        QFETCH(QString, control);
        QFETCH(QString, said);
        SpeechRecorder &voice = listen();
        Timer::setDrivenByHand(true);
        Form &form = open(where);
        settle();
        if (said == u"=B1"_s)
            said = u"B. "_s + Module1::answerb[1];
        if (said == u"=picture"_s)
            said = accessible::describePicture(u"Images\\andesmd.jpg"_s);
        QVERIFY(said.size() > 5);
        const Control &target = form.control(control);
        const auto bare = [&] { moveOverForm(form, QPointF(60, 8900)); };
        bare();
        const qsizetype before = voice.events.size();
        moveOver(target);
        // Not at once: only once the pointer has rested there.
        QCOMPARE(since(voice, before), QStringList());
        readaloud::restClock().fire();
        QCOMPARE(since(voice, before), QStringList{u"say: "_s + said});
        // Resting on there longer, or moving within it, says it no more.
        moveOver(target, QPointF(20, 20));
        readaloud::restClock().fire();
        // A press before the half second is up, or the bare screen, says nothing.
        bare();
        readaloud::restClock().fire();
        moveOver(target);
        pressOn(target);
        releaseAt(form, QPointF(target.left() + 30, target.top() + 30));
        readaloud::restClock().fire();
        QCOMPARE(since(voice, before).count(u"say: "_s + said), 1);
    }

    void theFocusIsReadWhereItMoves()
    {
        SpeechRecorder &voice = listen();
        intro0 &menu = static_cast<intro0 &>(open(Screen::mainMenu));
        settle();
        // The first Tab shows where the focus is, and says it; each key stops what was being
        // said before the new name comes; the arrows pass over the entries not in this edition.
        const QList<std::pair<QKeyCombination, QString>> walk{
            {Qt::Key_Tab, u"Sound On"_s},
            {Qt::Key_Tab, u"Teachers' Guide"_s},
            {Qt::Key_Down, u"Living in the Mountains"_s},
            {Qt::ShiftModifier | Qt::Key_Tab, u"Teachers' Guide"_s},
            {Qt::Key_Tab, u"Living in the Mountains"_s}};
        for (const auto &[key, name] : walk) {
            const qsizetype before = voice.events.size();
            pressKey(menu, key.key(), key.keyboardModifiers());
            QCOMPARE(since(voice, before), (QStringList{u"stop"_s, u"say: "_s + name}));
        }
        // On the quiz the first Tab shows the focus on the answers, none chosen yet: all four
        // are said; the arrows choose an answer, which is said with its letter.
        multiple &quiz = pupil::openMountainsQuiz();
        settle();
        pressKey(quiz, Qt::Key_Tab);
        QCOMPARE(lastSaid(voice), answers(1));
        pressKey(quiz, Qt::Key_Down);
        QVERIFY(quiz.Option1[1].value());
        QCOMPARE(lastSaid(voice), u"A. "_s + Module1::answera[1]);
        // Leaving the screen stops it.
        const qsizetype before = voice.events.size();
        click(quiz.Label3[2]);
        QCOMPARE(since(voice, before), QStringList{u"stop"_s});
    }

    void pagesAreReadWholeAndStopped()
    {
        SpeechRecorder &voice = listen();
        teacher &facts = static_cast<teacher &>(open(Screen::keyFacts));
        const QStringList lines = accessible::pageLines(facts.Image1.picture());
        QVERIFY(lines.size() > 3);
        // The key facts are one page, with no counter: the page alone, every line in order,
        // the headings and the picture's labels said as sentences of their own.
        const QString said = lastSaid(voice);
        QVERIFY2(said.startsWith(u"Living in the Mountains. snow line. tree line. Higher means "
                                 u"colder. The higher you climb, the colder it gets. The air is "
                                 u"thinner, so each breath holds less oxygen. Low down grow"_s),
                 qPrintable(said));
        qsizetype at = 0;
        for (const QString &line : lines) {
            at = said.indexOf(line, at);
            QVERIFY2(at >= 0, qPrintable(line));
        }
        // A key stops it, and so does leaving the screen.
        qsizetype before = voice.events.size();
        pressKey(facts, Qt::Key_Space);
        click(facts.Label3[1]);
        QCOMPARE(since(voice, before), (QStringList{u"stop"_s, u"stop"_s}));

        // The guide's pages, turned mid-sentence with the mouse (the new page replaces the old at
        // once) and with a key (which stops the old page first).
        screen<intro0>().show();
        click(screen<intro0>().Label2[20]);
        guide &pages = screen<guide>();
        QVERIFY(lastSaid(voice).startsWith(u"Page 1 of 5. "_s +
                                           accessible::pageLines(pages.Image1.picture()).first()));
        for (int page : {2, 3}) {
            before = voice.events.size();
            if (page == 2)
                click(pages.Label3[2]);
            else
                pressKey(pages, Qt::Key_PageDown);
            const QStringList text = accessible::pageLines(pages.Image1.picture());
            QStringList turned = since(voice, before);
            if (page == 3)
                QCOMPARE(turned.takeFirst(), u"stop"_s);
            QCOMPARE(turned.size(), 1);
            QVERIFY(turned.first().startsWith(u"say: Page %1 of 5. "_s.arg(page) + text.first()));
            QVERIFY(turned.first().endsWith(text.last()));
        }
    }

    void f2SwitchesOnEveryScreen_data()
    {
        QTest::addColumn<Screen>("where");
        QTest::newRow("title") << Screen::title;
        QTest::newRow("main menu") << Screen::mainMenu;
        QTest::newRow("quiz") << Screen::quiz;
        QTest::newRow("key facts") << Screen::keyFacts;
        QTest::newRow("wizard") << Screen::wizard;
        QTest::newRow("activity") << Screen::activity;
    }
    void f2SwitchesOnEveryScreen()
    {
        QFETCH(Screen, where);
        SpeechRecorder &voice = listen(false);
        Form &form = open(where);
        settle();
        QVERIFY(form.visible());
        for (bool on : {true, false}) {
            const qsizetype before = voice.events.size();
            pressKey(form, Qt::Key_F2);
            QCOMPARE(readaloud::isOn(), on);
            const QString told = on ? u"Reading aloud on."_s : u"Reading aloud off."_s;
            QCOMPARE(accessible::announced().last(), told);
            QCOMPARE(since(voice, before), QStringList{on ? u"say: "_s + told : u"stop"_s});
        }
        QVERIFY(form.visible());
    }

    void theSpeakerButton()
    {
        SpeechRecorder &voice = listen(false);
        intro0 &menu = static_cast<intro0 &>(open(Screen::mainMenu));
        settle();
        // It stands clear of every designed control, with room for the focus ring round it.
        const QRect speaker = menu.Speaker.widget()->geometry().adjusted(-4, -4, 4, 4);
        QVERIFY(menu.host()->rect().contains(speaker));
        int others = 0;
        for (QWidget *w : menu.host()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
            if (w == menu.Speaker.widget() || !w->isVisible() || w->objectName() == u"focusMark"_s)
                continue;
            ++others;
            QVERIFY2(!w->geometry().intersects(speaker), qPrintable(w->objectName()));
        }
        QVERIFY(others > 20);
        // Clicked: the designed click, and the switch, its name and its look change.
        QAccessibleInterface *face = QAccessible::queryAccessibleInterface(menu.Speaker.widget());
        QCOMPARE(face->text(QAccessible::Name), u"Read aloud, off"_s);
        const QImage off = menu.Speaker.widget()->grab().toImage();
        QCOMPARE(rec->heard(menu.Speaker), QStringList{u"wav\\click.wav"_s});
        QVERIFY(readaloud::isOn());
        QCOMPARE(lastSaid(voice), u"Reading aloud on."_s);
        QCOMPARE(face->text(QAccessible::Name), u"Read aloud, on"_s);
        const QImage on = menu.Speaker.widget()->grab().toImage();
        QVERIFY(on != off);
        // By keyboard: the last stop of the menu, after Exit; Space presses it.
        pupil::tabTo(menu, menu.Label2[16]);
        pressKey(menu, Qt::Key_Tab);
        QVERIFY(menu.Speaker.hasFocus());
        QCOMPARE(lastSaid(voice), u"Read aloud, on"_s);
        pressKey(menu, Qt::Key_Space);
        QVERIFY(!readaloud::isOn());
        QCOMPARE(face->text(QAccessible::Name), u"Read aloud, off"_s);
        QCOMPARE(menu.Speaker.widget()->grab().toImage(), off);
        // F2 changes the button's look as well.
        pressKey(menu, Qt::Key_F2);
        QCOMPARE(menu.Speaker.widget()->grab().toImage(), on);
        pressKey(menu, Qt::Key_Tab);
        QVERIFY(menu.Option1.hasFocus());
    }
};

QTEST_MAIN(ReadAloudTest)
#include "tst_readaloud.moc"
