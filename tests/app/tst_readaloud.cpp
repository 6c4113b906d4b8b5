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

/// What the voice said last, once the program has caught up.
QString lastSaid(const SpeechRecorder &voice)
{
    settle();
    const QStringList said = voice.said();
    return said.isEmpty() ? QString() : said.last();
}

/// Events since a point of the recording.
QStringList since(const SpeechRecorder &voice, qsizetype from)
{
    settle();
    return voice.events.mid(from);
}

enum class Screen { title, mainMenu, quiz, keyFacts, wizard, activity };

Form &open(Screen where)
{
    screen<intro0>().show();
    switch (where) {
    case Screen::title:
        click(screen<intro0>().Label2[16]);
        return screen<Titlefrm>();
    case Screen::mainMenu:
        return screen<intro0>();
    case Screen::quiz:
        return pupil::openMountainsQuiz();
    case Screen::keyFacts:
        click(screen<intro0>().Label2[1]);
        click(screen<livingmountains>().label3[4]);
        return screen<teacher>();
    case Screen::wizard:
        click(screen<intro0>().Label2[17]);
        return screen<wizard>();
    case Screen::activity:
        click(screen<intro0>().Label2[1]);
        click(screen<livingmountains>().label3[1]);
        return screen<livingmountainslab>();
    }
    return screen<intro0>();
}

} // namespace

class ReadAloudTest : public ScreenTest
{
    Q_OBJECT

private Q_SLOTS:
    void aQuestionIsReadWithItsAnswers()
    {
        SpeechRecorder &voice = listen();
        multiple &quiz = pupil::openMountainsQuiz();
        pupil::answer(quiz, true);
        pupil::answer(quiz, false);
        using namespace Module1;
        QVERIFY(question[3].endsWith(u'?'));
        QCOMPARE(lastSaid(voice), u"Question 3. "_s + question[3] + u" A. "_s + answera[3] +
                                      u". B. "_s + answerb[3] + u". C. "_s + answerc[3] +
                                      u". D. "_s + answerd[3] + u'.');
        // The screen reader still hears the question as before.
        QCOMPARE(accessible::announced().last(), u"Question 3 of 10. "_s + question[3]);
        // Back a question: read again.
        click(quiz.Label3[0]);
        QVERIFY(lastSaid(voice).startsWith(u"Question 2. "_s + question[2]));
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
        moveOverForm(form, QPointF(60, 8900));
        const qsizetype before = voice.events.size();
        moveOver(target);
        // Not at once: only once the pointer has rested there.
        QCOMPARE(since(voice, before), QStringList());
        readaloud::restClock().fire();
        QCOMPARE(since(voice, before), QStringList{u"say: "_s + said});
        // Resting on there longer, or moving within it, says it no more.
        moveOver(target, QPointF(20, 20));
        readaloud::restClock().fire();
        QCOMPARE(since(voice, before).size(), 1);
        // A press before the half second is up, or the bare screen, says nothing.
        moveOverForm(form, QPointF(60, 8900));
        readaloud::restClock().fire();
        moveOver(target);
        pressOn(target);
        releaseAt(form, QPointF(target.left() + 30, target.top() + 30));
        readaloud::restClock().fire();
        QVERIFY(!since(voice, before).mid(1).contains(u"say: "_s + said));
    }

    void theFocusIsReadWhereItMoves()
    {
        SpeechRecorder &voice = listen();
        intro0 &menu = screen<intro0>();
        menu.show();
        settle();
        // The first Tab shows where the focus is, and says it.
        pressKey(menu, Qt::Key_Tab);
        QCOMPARE(lastSaid(voice), u"Sound On"_s);
        pressKey(menu, Qt::Key_Tab);
        QCOMPARE(lastSaid(voice), u"Teachers' Guide"_s);
        // The arrows pass over the entries not in this edition, as Tab does.
        pressKey(menu, Qt::Key_Down);
        QCOMPARE(lastSaid(voice), u"Living in the Mountains"_s);
        pressKey(menu, Qt::Key_Tab, Qt::ShiftModifier);
        QCOMPARE(lastSaid(voice), u"Teachers' Guide"_s);
        // Each key stops what was being said before the new name comes.
        const qsizetype before = voice.events.size();
        pressKey(menu, Qt::Key_Tab);
        QCOMPARE(since(voice, before), (QStringList{u"stop"_s, u"say: Living in the Mountains"_s}));
        // On the quiz the arrows choose an answer, which is said with its letter.
        multiple &quiz = pupil::openMountainsQuiz();
        settle();
        // The first Tab shows the focus on the answers, none chosen yet: all four are said.
        pressKey(quiz, Qt::Key_Tab);
        QCOMPARE(lastSaid(voice), u"A. "_s + Module1::answera[1] + u". B. "_s +
                                      Module1::answerb[1] + u". C. "_s + Module1::answerc[1] +
                                      u". D. "_s + Module1::answerd[1] + u"."_s);
        pressKey(quiz, Qt::Key_Down);
        QVERIFY(quiz.Option1[1].value());
        QCOMPARE(lastSaid(voice), u"A. "_s + Module1::answera[1]);
    }

    void theScoreIsRead()
    {
        SpeechRecorder &voice = listen();
        pupil::playToResults({2, 5});
        QCOMPARE(lastSaid(voice), u"Well Done! Good work. You have scored 8 out of 10."_s);
    }

    void theScoreIsNotCutOffWhenTheNameBoxTakesTheFocus()
    {
        // Full marks, the last answer given and the score asked for with the keyboard.
        SpeechRecorder &voice = listen();
        multiple &quiz = pupil::openMountainsQuiz();
        for (int q = 1; q < 10; ++q)
            pupil::answer(quiz, true);
        click(quiz.Option1[Module1::correct[10].toInt()]);
        for (int k = 0; k < 10 && !quiz.Label3[1].hasFocus(); ++k)
            pressKey(quiz, Qt::Key_Tab);
        QVERIFY(quiz.Label3[1].hasFocus());
        pressKey(quiz, Qt::Key_Return);
        Welldone &results = screen<Welldone>();
        QVERIFY(QTest::qWaitFor([&results] { return pupil::resultsSettled(results); }));
        QVERIFY(results.Text1.hasFocus());
        const QString said = lastSaid(voice);
        QVERIFY2(said.contains(u"10 out of 10."_s), qPrintable(said));
        QCOMPARE(said, accessible::announced().last());
    }

    void whatIsAnnouncedIsSaid()
    {
        // A label lifted, carried and put down with the keys: what the screen reader hears,
        // the pupil hears.
        SpeechRecorder &voice = listen();
        auto &activity = static_cast<livingmountainslab &>(open(Screen::activity));
        settle();
        const Label &label = activity.Label2[2];
        for (int k = 0; k < 30 && !label.hasFocus(); ++k)
            pressKey(activity, Qt::Key_Tab);
        QVERIFY(label.hasFocus());
        pressKey(activity, Qt::Key_Space);
        QCOMPARE(lastSaid(voice), u"Have thick woolly coats., lifted"_s);
        pressKey(activity, Qt::Key_Home);
        QVERIFY(lastSaid(voice).startsWith(u"Have thick woolly coats., lifted, over the box"_s));
        pressKey(activity, Qt::Key_Space);
        QVERIFY(lastSaid(voice).startsWith(u"Have thick woolly coats., placed in the box"_s));
        QCOMPARE(lastSaid(voice), accessible::announced().last());
    }

    void aPageIsReadWholeAndAKeyStopsIt()
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
        const qsizetype before = voice.events.size();
        pressKey(facts, Qt::Key_Space);
        QCOMPARE(since(voice, before), QStringList{u"stop"_s});
    }

    void aPageTurnedMidSentenceIsReadAfresh()
    {
        SpeechRecorder &voice = listen();
        screen<intro0>().show();
        click(screen<intro0>().Label2[20]);
        guide &pages = screen<guide>();
        QVERIFY(lastSaid(voice).startsWith(u"Page 1 of 5. "_s +
                                           accessible::pageLines(pages.Image1.picture()).first()));
        // Turned with the mouse: the new page replaces the old at once.
        qsizetype before = voice.events.size();
        click(pages.Label3[2]);
        const QStringList page2 = accessible::pageLines(pages.Image1.picture());
        const QStringList turned = since(voice, before);
        QCOMPARE(turned.size(), 1);
        QVERIFY(turned.first().startsWith(u"say: Page 2 of 5. "_s + page2.first()));
        QVERIFY(turned.first().endsWith(page2.last()));
        // Turned with a key: the key stops the old page, then the new one is read.
        before = voice.events.size();
        pressKey(pages, Qt::Key_PageDown);
        const QStringList page3 = accessible::pageLines(pages.Image1.picture());
        QVERIFY(page3 != page2);
        const QStringList keyed = since(voice, before);
        QCOMPARE(keyed.size(), 2);
        QCOMPARE(keyed.first(), u"stop"_s);
        QVERIFY(keyed.last().startsWith(u"say: Page 3 of 5. "_s + page3.first()));
        QVERIFY(keyed.last().endsWith(page3.last()));
    }

    void leavingAScreenStopsSpeech_data()
    {
        QTest::addColumn<Screen>("where");
        QTest::addColumn<QString>("exit");
        QTest::newRow("key facts") << Screen::keyFacts << u"Label3_1"_s;
        QTest::newRow("quiz") << Screen::quiz << u"Label3_2"_s;
    }
    void leavingAScreenStopsSpeech()
    {
        QFETCH(Screen, where);
        QFETCH(QString, exit);
        SpeechRecorder &voice = listen();
        Form &form = open(where);
        QVERIFY(!lastSaid(voice).isEmpty());
        const qsizetype before = voice.events.size();
        click(form.control(exit));
        QVERIFY(!form.visible());
        QCOMPARE(since(voice, before), QStringList{u"stop"_s});
    }

    void switchedOffNothingIsSaid()
    {
        SpeechRecorder &voice = listen(false);
        Timer::setDrivenByHand(true);
        multiple &quiz = pupil::openMountainsQuiz();
        settle();
        moveOver(quiz.Option1[2]);
        readaloud::restClock().fire();
        pressKey(quiz, Qt::Key_Tab);
        pressKey(quiz, Qt::Key_Tab);
        pressKey(quiz, Qt::Key_Down);
        click(quiz.Label3[2]);
        open(Screen::keyFacts);
        settle();
        QCOMPARE(voice.events, QStringList());
        // The screen reader hears what it always heard.
        QCOMPARE(accessible::announced().last(), u"Question 1 of 10. "_s + Module1::question[1]);
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
        pressKey(form, Qt::Key_F2);
        QVERIFY(readaloud::isOn());
        QCOMPARE(lastSaid(voice), u"Reading aloud on."_s);
        QCOMPARE(accessible::announced().last(), u"Reading aloud on."_s);
        const qsizetype before = voice.events.size();
        pressKey(form, Qt::Key_F2);
        QVERIFY(!readaloud::isOn());
        QCOMPARE(accessible::announced().last(), u"Reading aloud off."_s);
        QCOMPARE(since(voice, before), QStringList{u"stop"_s});
        QVERIFY(form.visible());
    }

    void theSpeakerButtonSwitchesByMouseAndByKeyboard()
    {
        SpeechRecorder &voice = listen(false);
        intro0 &menu = screen<intro0>();
        menu.show();
        settle();
        QAccessibleInterface *face = QAccessible::queryAccessibleInterface(menu.Speaker.widget());
        QCOMPARE(face->role(), QAccessible::Button);
        QCOMPARE(face->text(QAccessible::Name), u"Read aloud, off"_s);
        const QImage off = menu.Speaker.widget()->grab().toImage();
        QCOMPARE(rec->heard(menu.Speaker), QStringList{u"wav\\click.wav"_s});
        QVERIFY(readaloud::isOn());
        QCOMPARE(lastSaid(voice), u"Reading aloud on."_s);
        QCOMPARE(face->text(QAccessible::Name), u"Read aloud, on"_s);
        const QImage on = menu.Speaker.widget()->grab().toImage();
        QVERIFY(on != off);
        // By keyboard: the last stop of the menu, after Exit; Space presses it.
        for (int k = 0; k < 30 && !menu.Label2[16].hasFocus(); ++k)
            pressKey(menu, Qt::Key_Tab);
        QVERIFY(menu.Label2[16].hasFocus());
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

    void theSpeakerCoversNoDesignedControl()
    {
        intro0 &menu = screen<intro0>();
        menu.show();
        settle();
        // With room for the focus ring round it.
        const QRect speaker = menu.Speaker.widget()->geometry().adjusted(-4, -4, 4, 4);
        QVERIFY(menu.host()->rect().contains(speaker));
        const auto widgets = menu.host()->findChildren<QWidget *>();
        int others = 0;
        for (QWidget *w : widgets) {
            if (w == menu.Speaker.widget() || !w->isVisible() ||
                w->objectName() == u"focusMark"_s || w->parentWidget() != menu.host())
                continue;
            ++others;
            QVERIFY2(!w->geometry().intersects(speaker), qPrintable(w->objectName()));
        }
        QVERIFY(others > 20);
    }

    void theDesignedSoundsPlayAsBefore()
    {
        // The quiz played twice to 9 out of 10, without reading aloud and with it.
        QStringList heard[2];
        const QStringList fanfares{u"wav\\crowd.wav"_s, u"wav\\cheer2.wav"_s, u"wav\\klaxon.wav"_s};
        for (bool on : {false, true}) {
            registry::unloadAll();
            settle();
            Module1::resetState();
            rec->clearSounds();
            listen(on);
            QVERIFY(pupil::resultsSettled(pupil::playToResults({3})));
            heard[on] = rec->sounds();
            QVERIFY2(!heard[on].isEmpty() && fanfares.contains(heard[on].last()),
                     qPrintable(heard[on].join(u", "_s)));
            // The fanfare is drawn at random from its row; everything before it is the same.
            heard[on].removeLast();
        }
        QVERIFY(heard[0].filter(u"click.wav"_s).size() >= 10);
        QCOMPARE(heard[1], heard[0]);
    }
};

QTEST_MAIN(ReadAloudTest)
#include "tst_readaloud.moc"
