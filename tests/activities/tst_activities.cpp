// SPDX-License-Identifier: GPL-3.0-or-later
// A pupil at the four drag-and-drop activities: opened from the topic menus, played with real
// mouse drags, with clicks alone, with taps on a touch screen and with the keyboard alone,
// scored on the results screen.
#include "activities/livingdesertlab.h"
#include "activities/livingdesertord.h"
#include "activities/livingmountainslab.h"
#include "activities/livingmountainsord.h"
#include "app/Module1.h"
#include "app/intro0.h"
#include "app/livingdesert.h"
#include "app/livingmountains.h"
#include "quiz/Welldone.h"
#include "tests/support/pupil.h"
#include "tests/support/screens.h"
#include "tests/support/testkit.h"

#include <QPointingDevice>
#include <QTest>
#include <QWidget>

using namespace testkit;
using namespace pupil;
using namespace Qt::StringLiterals;

namespace {

const QString clickSound = u"wav\\click.wav"_s;
/// The four activities, by their screens' names.
const char *const names[] = {"mountain animals", "mountain zones", "tent", "desert facts"};
const QStringList thud{u"wav\\thud3.wav"_s};

QPointF cornerOf(const Control &c)
{
    return {c.left(), c.top()};
}

/// Whether the label's centre lies within a pixel of the point: where the pointer let it go.
bool centredNear(const Label &label, QPointF at)
{
    return qAbs(label.left() + label.width() / 2 - at.x()) <= 15 &&
           qAbs(label.top() + label.height() / 2 - at.y()) <= 15;
}

/// Opens an activity through the main menu and its topic's menu.
template <class T> T &open()
{
    constexpr int which = std::is_same_v<T, livingmountainslab>   ? 0
                          : std::is_same_v<T, livingmountainsord> ? 1
                          : std::is_same_v<T, livingdesertlab>    ? 2
                                                                  : 3;
    return static_cast<T &>(screens::open(QString::fromLatin1(names[which])));
}

/// Leaves an activity and its topic for the main menu, and opens another.
template <class T> T &switchTo(DragDrop &from)
{
    click(from.Label3[0]);
    settle();
    click(isLoaded<livingmountains>() ? screen<livingmountains>().label3[2]
                                      : screen<livingdesert>().label3[2]);
    settle();
    return open<T>();
}

/// Presses Check Score and returns the results screen's words; Exit goes back to the activity.
QString scoreOf(DragDrop &a, bool exit = true)
{
    click(a.Label3[2]);
    const QString words = screen<Welldone>().Label1.caption();
    if (exit) {
        click(screen<Welldone>().Label3[1]);
        settle();
    }
    return words;
}

void solve(DragDrop &a)
{
    for (int i = 0; i < a.activity().count(); ++i)
        dragInto(a, i, a.Label1[i]);
}

/// A pupil's tap with one finger on the middle of a control.
void tap(QPointingDevice *finger, const Control &control)
{
    QWidget *w = control.widget();
    const QPoint at = w->mapTo(w->window(), w->rect().center());
    QWindow *window = w->window()->windowHandle();
    QTest::touchEvent(window, finger).press(0, at, window);
    QTest::touchEvent(window, finger).release(0, at, window);
    settle();
}

/// A finger put on one control's middle, slid in a few steps and lifted on another's middle.
void slide(QPointingDevice *finger, const Control &from, const Control &to)
{
    QWindow *window = from.widget()->window()->windowHandle();
    auto middle = [](const Control &c) {
        return c.widget()->mapTo(c.widget()->window(), c.widget()->rect().center());
    };
    const QPoint a = middle(from), b = middle(to);
    QTest::touchEvent(window, finger).press(0, a, window);
    for (int k = 1; k <= 4; ++k)
        QTest::touchEvent(window, finger).move(0, a + (b - a) * k / 4, window);
    QTest::touchEvent(window, finger).release(0, b, window);
    settle();
}

/// The colour of a label lying as usual, or turned round as when it is lifted or picked.
bool turnedRound(const DragDrop &a, int i)
{
    return a.Label2[i].backColor() == a.activity().items[size_t(i)].color &&
           a.Label2[i].foreColor() == QColor(0, 0, 0);
}

} // namespace

class ActivitiesTest : public ScreenTest
{
    Q_OBJECT

private Q_SLOTS:
    void theTopicMenusOpenTheirActivitiesLaidOut()
    {
        auto &lab = open<livingmountainslab>();
        QVERIFY(lab.visible() && screen<livingmountains>().visible());
        QCOMPARE(Module1::outof, std::optional<int>(4));
        QCOMPARE(rec->sounds().last(), clickSound);
        // The answers moved onto the labels, the boxes empty and clear; the homes took the
        // labels' places and sizes.
        for (int i = 0; i < 4; ++i) {
            const ActivityItem &item = mountainsLabelling.items[size_t(i)];
            QCOMPARE(lab.Label2[i].caption(), QString::fromUtf8(item.text));
            QVERIFY(lab.Label1[i].caption().isEmpty() && !lab.Label1[i].opaque());
            QCOMPARE(cornerOf(lab.Label2[i]), QPointF(item.startLeft, item.startTop));
            QVERIFY(onBox(lab.Label4[i], lab.Label2[i]) && lab.Label4[i].visible() &&
                    !lab.Label4[i].opaque());
            QVERIFY(lab.Label4[i].width() == lab.Label2[i].width() &&
                    lab.Label4[i].height() == lab.Label2[i].height());
            QVERIFY(!lab.Image1[i].picture().isNull());
        }
        QVERIFY(!lab.Label3[2].visible() && lab.Label3[0].visible() && lab.Label3[1].visible());
        // Exit unloads the activity, uncovering the menu, and zeroes the score.
        Module1::score = 3;
        click(lab.Label3[0]);
        settle();
        QVERIFY(!isLoaded<livingmountainslab>() && screen<livingmountains>().visible());
        QCOMPARE(Module1::score, std::optional<int>(0));
        click(screen<livingmountains>().label3[3]);
        auto &desertOrd = switchTo<livingdesertord>(screen<livingmountainsord>());
        QCOMPARE(desertOrd.Label6.caption(), u"Living in the Desert"_s);
        QVERIFY(desertOrd.Label1[11].opaque()); // statements: box entries loading leaves alone
        auto &desertLab = switchTo<livingdesertlab>(desertOrd);
        QCOMPARE(Module1::outof, std::optional<int>(6));
        // The title, a little wide for its box here, stays on one line: nothing shows at its foot.
        const QImage title = desertLab.Label6.widget()->grab().toImage();
        int yellowTop = 0, yellowFoot = 0;
        for (int y = 0; y < title.height(); ++y)
            for (int x = 0; x < title.width(); ++x)
                if (qGreen(title.pixel(x, y)) > 200 && qBlue(title.pixel(x, y)) < 100)
                    ++(y < title.height() - 8 ? yellowTop : yellowFoot);
        QVERIFY(yellowTop > 100 && yellowFoot == 0);
        // The picture lies beneath the lines and the labels: a line shows yellow over it.
        QCOMPARE(pixelAt(desertLab, {9480, 2700}), QColor(255, 255, 0));
    }

    void aLabelFollowsTheLeftButtonOnly()
    {
        Module1::soundon = 1;
        auto &a = open<livingmountainsord>();
        Label &label = a.Label2[0];
        rec->clearSounds();
        // The centre jumps to the pointer and follows it, far outside the label too; let go
        // outside every window it stays there, partly off the screen, silently.
        pressOn(label);
        for (const QPointF at : {QPointF(6000, 3000), QPointF(11500, 600)}) {
            movePointer(a, at);
            QVERIFY(centredNear(label, at));
        }
        releaseAt(a, {11500, 600});
        QVERIFY(centredNear(label, {11500, 600}) && label.left() + label.width() > 12000);
        QVERIFY(rec->sounds().isEmpty());
        // With the right button, or both, held the label stays put; letting go still drops it.
        dragOnto(a, 0, {60, 7440});
        rec->clearSounds();
        pressOn(label, Qt::RightButton);
        movePointer(a, {6000, 1000});
        releaseAt(a, {6000, 1000}, Qt::RightButton);
        QCOMPARE(cornerOf(label), QPointF(60, 7440));
        QCOMPARE(rec->sounds(), thud);
        pressOn(label);
        QTest::mousePress(a.host()->windowHandle(), Qt::RightButton, Qt::NoModifier,
                          label.widget()->geometry().center());
        movePointer(a, {6000, 1000});
        QCOMPARE(cornerOf(label), QPointF(60, 7440));
        releaseAt(a, {6000, 1000}, Qt::RightButton);
        releaseAt(a, {6000, 1000});
        QCOMPARE(cornerOf(label), QPointF(60, 7440));
    }

    void droppedLabelsSnapIntoBoxesWithAThud()
    {
        Module1::soundon = 1;
        auto &a = open<livingmountainsord>();
        rec->clearSounds();
        dragInto(a, 3, a.Label1[3]);
        QVERIFY(onBox(a.Label2[3], a.Label1[3]));
        QCOMPARE(rec->sounds(), thud);
        // Pressed and let go without a move, it snaps to the same box again, with a thud.
        QCOMPARE(rec->heard(a.Label2[3]), thud);
        QVERIFY(onBox(a.Label2[3], a.Label1[3]));
        // A corner exactly on a window edge is outside the window; half over it is inside.
        const Label &box = a.Label1[0];
        a.Label2[0].setTop(box.top());
        for (const double left : {box.left() + box.width(), box.left() - box.width() / 2}) {
            a.Label2[0].setLeft(left);
            QVERIFY(rec->heard(a.Label2[0]).isEmpty());
            QCOMPARE(a.Label2[0].left(), left);
        }
        // Let go near another label's home, it snaps there.
        dragOnto(a, 0, cornerOf(a.Label4[1]) + QPointF(500, 100));
        QVERIFY(onBox(a.Label2[0], a.Label4[1]));
        QCOMPARE(rec->sounds(), thud);
        // On the bare picture, away from every box, it stays where it was let go.
        rec->clearSounds();
        dragOnto(a, 0, {7000, 700});
        QVERIFY(centredNear(a.Label2[0], QPointF(7000, 700) + QPointF(3885 / 2., 375 / 2.)));
        // Tent labels let go over a line, and true-or-false labels let go on a statement, stay
        // where they were let go.
        auto &tent = switchTo<livingdesertlab>(a);
        const QPointF overLine(tent.Line1[0].x1(), tent.Line1[0].y2() + 300);
        drag(tent.Label2[3], overLine);
        QVERIFY(centredNear(tent.Label2[3], overLine));
        auto &statements = switchTo<livingdesertord>(tent);
        rec->clearSounds();
        const QPointF onStatement = cornerOf(statements.Label1[8]) + QPointF(2000, 180);
        drag(statements.Label2[4], onStatement);
        QVERIFY(centredNear(statements.Label2[4], onStatement));
        QCOMPARE(statements.Label1[8].caption(), u"Some desert people are nomads."_s);
        QVERIFY(rec->sounds().isEmpty());
    }

    void checkScoreComesWhenEveryLabelLiesInABox()
    {
        Module1::soundon = 1;
        auto &a = open<livingdesertlab>();
        for (int i = 0; i < 5; ++i)
            dragInto(a, i, a.Label1[i]);
        QVERIFY(!a.Label3[2].visible());
        // The last label in an occupied box: both count, a box stays empty, and yet.
        dragInto(a, 5, a.Label1[0]);
        QVERIFY(onBox(a.Label2[5], a.Label1[0]) && onBox(a.Label2[0], a.Label1[0]));
        QVERIFY(a.Label3[2].visible());
        dragOnto(a, 5, {6000, 6000}); // dragged back out, it keeps "Check Score"
        QVERIFY(a.Label3[2].visible());
        // "Start Again" zeroes the score, sends every label home and hides "Check Score"; the
        // click comes last.
        Module1::score = 5;
        QCOMPARE(rec->heard(a.Label3[1]), QStringList{clickSound});
        QCOMPARE(Module1::score, std::optional<int>(0));
        QVERIFY(!a.Label3[2].visible());
        for (int i = 0; i < 6; ++i)
            QVERIFY(onBox(a.Label2[i], a.Label4[i]));
        // With the sound off nothing is heard: no thud, no click.
        Module1::soundon = 0;
        rec->clearSounds();
        solve(a);
        QVERIFY(a.Label3[2].visible());
        click(a.Label3[1]);
        click(a.Label3[0]);
        QVERIFY(rec->sounds().isEmpty());
    }

    void theButtonsLightUnderThePointer()
    {
        auto &a = open<livingmountainslab>();
        QVERIFY(a.Label3[0].opaque() && a.Label3[1].opaque());
        moveOverForm(a, {11000, 300});
        QVERIFY(!a.Label3[0].opaque() && !a.Label3[1].opaque());
        moveOver(a.Label3[1]);
        QVERIFY(a.Label3[1].opaque() && !a.Label3[0].opaque());
        QCOMPARE(pixelAt(a, {3500, 8000}), QColor(0, 0, 0));
    }

    void scoresReachTheResultsScreenInWords()
    {
        Module1::soundon = 1;
        Module1::quizheading = u"A teacher's worksheet"_s;
        auto &zones = open<livingmountainsord>();
        solve(zones);
        rec->clearSounds();
        QCOMPARE(scoreOf(zones, false), u"Excellent work. You have scored 5 out of 5."_s);
        Welldone &results = screen<Welldone>();
        QVERIFY(results.visible() && results.Text1.visible() && !results.Label6.visible());
        QCOMPARE(Module1::score, std::optional<int>(5));
        QCOMPARE(results.Label3[0].caption(), u"Print Certificate"_s);
        QTRY_VERIFY(resultsSettled(results));
        QCOMPARE(rec->sounds(), QStringList{clickSound}); // five is too few for a fanfare
        // The certificate names the activity's topic, not an earlier quiz.
        QCOMPARE(rec->said(results.Label3[0]), QStringList{u"Your certificate is now printing."_s});
        QVERIFY(std::any_of(rec->printed.begin(), rec->printed.end(), [](const PrintOp &op) {
            return op.text == u"Living in the Mountains"_s;
        }));
        // Back on the activity the labels lie where they were; two zones swapped is two short.
        click(results.Label3[1]);
        settle();
        QVERIFY(zones.visible() && onBox(zones.Label2[2], zones.Label1[2]));
        dragInto(zones, 4, zones.Label4[4]);
        dragInto(zones, 2, zones.Label1[4]);
        dragInto(zones, 4, zones.Label1[2]);
        QCOMPARE(scoreOf(zones, false), u"Good work. You have scored 3 out of 5."_s);
        QVERIFY(screen<Welldone>().Label6.visible() && !screen<Welldone>().Label3[0].visible() &&
                !screen<Welldone>().Label5.visible());
        QCOMPARE(screen<Welldone>().Label6.caption(), u"Read the Key Facts and try again."_s);
        click(screen<Welldone>().Label3[1]);
        settle();
        // The true-or-false labels, every one in the wrong group: 0 of 8, fewer than that.
        auto &facts = switchTo<livingdesertord>(zones);
        for (int i = 0; i < 8; ++i)
            dragInto(facts, i, facts.Label1[(i + 4) % 8]);
        QCOMPARE(scoreOf(facts), u"You have scored 0 out of 8."_s);
        // Any order within each group: full marks, and the fanfare of eight.
        click(facts.Label3[1]);
        for (int i = 0; i < 8; ++i)
            dragInto(facts, i, facts.Label1[(i < 4 ? 3 - i : 11 - i)]);
        rec->clearSounds();
        QCOMPARE(scoreOf(facts, false), u"Excellent work. You have scored 8 out of 8."_s);
        QTRY_VERIFY(resultsSettled(screen<Welldone>()));
        QStringList fanfare = rec->sounds();
        fanfare.removeAll(clickSound);
        QVERIFY(fanfare.size() == 1 &&
                QStringList({u"wav\\flute.wav"_s, u"wav\\gong.wav"_s, u"wav\\clap2.wav"_s})
                    .contains(fanfare[0]));
        click(screen<Welldone>().Label3[1]);
        settle();
        // Llama and yak labels exchanged: 2 of 4, one short of "Good work".
        auto &animals = switchTo<livingmountainslab>(facts);
        solve(animals);
        dragInto(animals, 2, animals.Label4[2]);
        dragInto(animals, 0, animals.Label1[2]);
        dragInto(animals, 2, animals.Label1[0]);
        QCOMPARE(scoreOf(animals), u"Good work. You have scored 2 out of 4."_s);
    }

    void theKeyboardAlonePlaysAnActivity()
    {
        Module1::soundon = 1;
        auto &a = open<livingmountainslab>();
        QTRY_VERIFY(a.host()->isActiveWindow());
        tabTo(a, a.Label2[3]);
        // Space lifts the label, its colours turned round; the arrows carry it to the nearest
        // box that way (the yaks' and the bears' boxes lie along the bottom row, the goats'
        // box up from the bears', the llamas' to its left); Home and End to the first and last
        // target box in reading order; Escape puts it back silently.
        rec->clearSounds();
        const QColor yellow(255, 255, 0);
        pressKey(a, Qt::Key_Space);
        QVERIFY(a.lifted() == 3 && a.Label2[3].backColor() == yellow);
        const std::pair<Qt::Key, const Label *> moves[] = {
            {Qt::Key_Right, &a.Label1[2]}, {Qt::Key_Right, &a.Label1[1]},
            {Qt::Key_Up, &a.Label1[3]},    {Qt::Key_Up, &a.Label1[3]},
            {Qt::Key_Left, &a.Label1[0]},  {Qt::Key_End, &a.Label1[1]},
            {Qt::Key_Home, &a.Label1[3]}};
        for (const auto &[key, box] : moves) {
            pressKey(a, key);
            QVERIFY(onBox(a.Label2[3], *box));
        }
        pressKey(a, Qt::Key_Escape);
        QVERIFY(a.lifted() == -1 && onBox(a.Label2[3], a.Label4[3]));
        QCOMPARE(a.Label2[3].backColor(), QColor(0, 0, 0));
        QVERIFY(rec->sounds().isEmpty());
        // Lifted again, Tab carries it too, and Enter drops it with a thud.
        pressKey(a, Qt::Key_Return);
        pressKey(a, Qt::Key_Tab);
        QVERIFY(onBox(a.Label2[3], a.Label1[3]));
        pressKey(a, Qt::Key_Return);
        QVERIFY(a.lifted() == -1 && onBox(a.Label2[3], a.Label1[3]));
        QCOMPARE(a.Label2[3].foreColor(), yellow);
        QCOMPARE(rec->sounds(), thud);
        // The other three, each carried to its box: focus stays on the carried label.
        for (int label : {0, 2, 1}) {
            QVERIFY(!a.Label3[2].visible());
            tabTo(a, a.Label2[label]);
            pressKey(a, Qt::Key_Space);
            for (int k = 0; k < 8 && !onBox(a.Label2[label], a.Label1[label]); ++k)
                pressKey(a, Qt::Key_Tab);
            pressKey(a, Qt::Key_Space);
            QVERIFY(onBox(a.Label2[label], a.Label1[label]));
        }
        // Check Score pressed with the keyboard, "Start Again" by Enter.
        tabTo(a, a.Label3[2]);
        pressKey(a, Qt::Key_Space);
        QCOMPARE(screen<Welldone>().Label1.caption(),
                 u"Excellent work. You have scored 4 out of 4."_s);
        click(screen<Welldone>().Label3[1]);
        settle();
        QTRY_VERIFY(a.host()->isActiveWindow());
        tabTo(a, a.Label3[1]);
        pressKey(a, Qt::Key_Enter);
        QVERIFY(onBox(a.Label2[1], a.Label4[1]) && !a.Label3[2].visible());
    }

    void theMouseTakesOverFromALiftedLabel_data()
    {
        QTest::addColumn<int>("button");
        // A press on the lifted label itself, or on Start Again or Check Score.
        QTest::newRow("drag the lifted label") << -1;
        QTest::newRow("Start Again") << 1;
        QTest::newRow("Check Score") << 2;
    }
    void theMouseTakesOverFromALiftedLabel()
    {
        QFETCH(int, button);
        auto &a = open<livingmountainslab>();
        solve(a);
        QVERIFY(a.Label3[2].visible());
        tabTo(a, a.Label2[3]);
        pressKey(a, Qt::Key_Space);
        pressKey(a, Qt::Key_Down);
        QVERIFY(a.lifted() == 3 && !onBox(a.Label2[3], a.Label1[3]));
        if (button < 0) {
            // Put down where it was lifted, then dragged as ever: into the bears' box.
            dragInto(a, 3, a.Label1[1]);
            QVERIFY(onBox(a.Label2[3], a.Label1[1]));
        } else {
            click(a.Label3[button]);
            settle();
            if (button == 2) {
                // Scored where it was lifted, not where the keyboard was carrying it.
                QCOMPARE(screen<Welldone>().Label1.caption(),
                         u"Excellent work. You have scored 4 out of 4."_s);
                click(screen<Welldone>().Label3[1]);
                settle();
            } else {
                QVERIFY(onBox(a.Label2[3], a.Label4[3]));
            }
        }
        QCOMPARE(a.lifted(), -1);
        QVERIFY(a.Label2[3].backColor() == QColor(0, 0, 0) && !a.Label2[3].showsFocusMark());
        // Every label drags with the mouse again.
        dragInto(a, 0, a.Label4[0]);
        QVERIFY(onBox(a.Label2[0], a.Label4[0]));
    }

    void everyActivityByClicksAlone_data()
    {
        QTest::addColumn<int>("which");
        QTest::addColumn<bool>("touch");
        for (int which = 0; which < 4; ++which) {
            QTest::newRow(names[which]) << which << false;
            QTest::newRow(qPrintable(QString::fromUtf8(names[which]) + u", tapped"_s))
                << which << true;
        }
    }
    void everyActivityByClicksAlone()
    {
        QFETCH(int, which);
        QFETCH(bool, touch);
        Module1::soundon = 1;
        // One touch screen for the whole run: Qt keeps every device it is told of until the end.
        static QPointingDevice *const screen = QTest::createTouchDevice();
        QPointingDevice *finger = touch ? screen : nullptr;
        auto press = [&](const Control &c) { touch ? tap(finger, c) : click(c); };
        auto &a = static_cast<DragDrop &>(screens::open(QString::fromLatin1(names[which])));
        const int n = a.activity().count();
        for (int i = 0; i < n; ++i) {
            // A click on the label: it snaps where it lies (its home), with the thud, and is
            // picked, its colours turned round; a click on its box drops it there.
            rec->clearSounds();
            press(a.Label2[i]);
            QCOMPARE(a.picked(), i);
            QVERIFY(turnedRound(a, i) && onBox(a.Label2[i], a.Label4[i]));
            QCOMPARE(rec->sounds(), thud);
            QVERIFY(!a.Label3[2].visible());
            rec->clearSounds();
            press(a.Label1[i]);
            QVERIFY(a.picked() == -1 && !turnedRound(a, i));
            QVERIFY(onBox(a.Label2[i], a.Label1[i]));
            QCOMPARE(rec->sounds(), thud);
        }
        QVERIFY(a.Label3[2].visible());
        const QString full = u"Excellent work. You have scored %1 out of %1."_s.arg(n);
        QCOMPARE(scoreOf(a), full);
        // The designed drag scores as before, with a finger too.
        click(a.Label3[1]);
        if (touch) {
            for (int i = 0; i < n; ++i)
                slide(finger, a.Label2[i], a.Label1[i]);
            QCOMPARE(a.picked(), -1);
            QCOMPARE(scoreOf(a), full);
            click(a.Label3[1]);
        }
        solve(a);
        QCOMPARE(a.picked(), -1);
        QCOMPARE(scoreOf(a), full);
        // Picked and dropped on its own home box, a label goes back there.
        press(a.Label2[0]);
        press(a.Label4[0]);
        QVERIFY(onBox(a.Label2[0], a.Label4[0]) && a.picked() == -1);
    }

    void aPickEndsWithNothingMoved_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Escape") << u"Escape"_s;
        QTest::newRow("the same label again") << u"same"_s;
        QTest::newRow("the bare screen") << u"bare"_s;
        QTest::newRow("a picture's caption") << u"caption"_s;
        QTest::newRow("another label") << u"other"_s;
        QTest::newRow("a drag of another label") << u"drag other"_s;
        QTest::newRow("a drag of the picked label") << u"drag same"_s;
    }
    void aPickEndsWithNothingMoved()
    {
        QFETCH(QString, how);
        Module1::soundon = 1;
        auto &a = open<livingmountainslab>();
        dragInto(a, 3, a.Label1[1]);
        click(a.Label2[3]);
        QVERIFY(a.picked() == 3 && turnedRound(a, 3));
        rec->clearSounds();
        if (how == u"Escape"_s)
            pressKey(a, Qt::Key_Escape);
        else if (how == u"same"_s)
            click(a.Label2[3]);
        else if (how == u"bare"_s)
            QTest::mouseClick(a.host()->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                              a.host()->rect().topRight() + QPoint(-20, 20));
        else if (how == u"caption"_s)
            click(a.control(u"Label5_0"_s));
        else if (how == u"other"_s)
            click(a.Label2[0]);
        else if (how == u"drag other"_s)
            dragInto(a, 0, a.Label1[0]);
        else
            dragInto(a, 3, a.Label1[3]);
        const bool other = how.contains(u"other"_s), dragged = how == u"drag same"_s;
        // The picked label lies where it lay (or where it was dragged), its colours as ever;
        // a click on another label picks that one instead.
        QVERIFY(onBox(a.Label2[3], dragged ? a.Label1[3] : a.Label1[1]) && !turnedRound(a, 3));
        QCOMPARE(a.picked(), how == u"other"_s ? 0 : -1);
        if (!other && !dragged)
            QVERIFY(rec->sounds().isEmpty());
        // With nothing picked a box takes no click: nothing moves.
        if (a.picked() >= 0)
            pressKey(a, Qt::Key_Escape);
        QCOMPARE(a.picked(), -1);
        rec->clearSounds();
        click(a.Label1[2]);
        click(a.Label4[3]); // the picked label's own home, empty
        QVERIFY(rec->sounds().isEmpty() && a.picked() == -1);
        QVERIFY(onBox(a.Label2[3], dragged ? a.Label1[3] : a.Label1[1]));
        QVERIFY(onBox(a.Label2[2], a.Label4[2]));
        QVERIFY(onBox(a.Label2[0], how == u"drag other"_s ? a.Label1[0] : a.Label4[0]));
    }

    void carryingBackFromTheFirstStop_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("shift");
        QTest::addColumn<QString>("lands");
        // The goats' box is the first stop in reading order (the topmost). Nothing lies above
        // it; to its left the llamas' box; before it, round from the end, the last home.
        QTest::newRow("Up") << int(Qt::Key_Up) << 0 << u"Label1_3"_s;
        QTest::newRow("Left") << int(Qt::Key_Left) << 0 << u"Label1_0"_s;
        QTest::newRow("Shift+Tab") << int(Qt::Key_Tab) << 1 << u"Label4_3"_s;
        QTest::newRow("Shift+Tab twice") << int(Qt::Key_Tab) << 2 << u"Label1_1"_s;
    }
    void carryingBackFromTheFirstStop()
    {
        QFETCH(int, key);
        QFETCH(int, shift);
        QFETCH(QString, lands);
        auto &a = open<livingmountainslab>();
        dragInto(a, 3, a.Label1[3]);
        tabTo(a, a.Label2[3]);
        pressKey(a, Qt::Key_Space);
        for (int k = 0; k < std::max(shift, 1); ++k)
            pressKey(a, Qt::Key(key), shift ? Qt::ShiftModifier : Qt::NoModifier);
        QVERIFY(onBox(a.Label2[3], a.control(lands)));
        pressKey(a, Qt::Key_Space);
        QCOMPARE(a.lifted(), -1);
        QVERIFY(onBox(a.Label2[3], a.control(lands)));
    }
};

QTEST_MAIN(ActivitiesTest)
#include "tst_activities.moc"
