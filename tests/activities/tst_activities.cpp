// SPDX-License-Identifier: GPL-3.0-or-later
// A pupil at the four drag-and-drop activities: opened from the topic menus, played with real
// mouse drags and with the keyboard alone, scored on the results screen.
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
#include "tests/support/testkit.h"

#include <QTest>
#include <QWidget>

using namespace testkit;

namespace {

const QString clickSound = QStringLiteral("wav\\click.wav");
const QStringList thud{QStringLiteral("wav\\thud3.wav")};

QPointF cornerOf(const Control &c)
{
    return {c.left(), c.top()};
}

/// Drags answer label i so that it is let go over the given corner, as a pupil aims at a box.
void dragOnto(DragDrop &a, int i, QPointF corner)
{
    const Label &label = a.Label2[i];
    drag(label, corner + QPointF(label.width() / 2, label.height() / 2));
}

void dragInto(DragDrop &a, int label, const Control &box)
{
    dragOnto(a, label, cornerOf(box));
}

/// Whether the label's centre lies within a pixel of the point: where the pointer let it go.
bool centredNear(const Label &label, QPointF at)
{
    return qAbs(label.left() + label.width() / 2 - at.x()) <= 15 &&
           qAbs(label.top() + label.height() / 2 - at.y()) <= 15;
}

bool onBox(const Label &label, const Control &box)
{
    return label.left() == box.left() && label.top() == box.top();
}

/// Opens an activity through the main menu and its topic's menu.
template <class T> T &open()
{
    constexpr bool mountains =
        std::is_same_v<T, livingmountainslab> || std::is_same_v<T, livingmountainsord>;
    constexpr bool labelling =
        std::is_same_v<T, livingmountainslab> || std::is_same_v<T, livingdesertlab>;
    screen<intro0>().show();
    click(screen<intro0>().Label2[mountains ? 1 : 5]);
    if (mountains)
        click(screen<livingmountains>().label3[labelling ? 1 : 3]);
    else
        click(screen<livingdesert>().label3[labelling ? 1 : 3]);
    return screen<T>();
}

/// Leaves an activity and its topic for the main menu, and opens another.
template <class T> T &switchTo(DragDrop &from)
{
    click(from.Label3[0]);
    settle();
    if (isLoaded<livingmountains>())
        click(screen<livingmountains>().label3[2]);
    if (isLoaded<livingdesert>())
        click(screen<livingdesert>().label3[2]);
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

/// Presses Tab until the control has the focus (at most once round every stop).
void tabTo(const Form &form, const Control &control)
{
    for (int k = 0; k < 12 && !control.hasFocus(); ++k)
        pressKey(form, Qt::Key_Tab);
    QVERIFY(control.hasFocus());
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
        QCOMPARE(lab.Label6.caption(), QStringLiteral("Living in the Mountains"));
        QCOMPARE(Module1::outof, std::optional<int>(4));
        QCOMPARE(rec->sounds().last(), clickSound);

        // Loading moved the answers onto the labels and left the boxes empty and clear; the
        // home boxes took the labels' places and sizes.
        const char *animals[] = {"Images\\llamamd.jpg", "Images\\goatsm.jpg", "Images\\bearssm.jpg",
                                 "Images\\yakssm.jpg"};
        for (int i = 0; i < 4; ++i) {
            const ActivityItem &item = mountainsLabelling.items[size_t(i)];
            QCOMPARE(lab.Label2[i].caption(), QString::fromUtf8(item.text));
            QVERIFY(lab.Label1[i].caption().isEmpty() && !lab.Label1[i].opaque());
            QCOMPARE(cornerOf(lab.Label2[i]), QPointF(item.startLeft, item.startTop));
            QCOMPARE(cornerOf(lab.Label4[i]), QPointF(item.startLeft, item.startTop));
            QCOMPARE(lab.Label4[i].width(), lab.Label2[i].width());
            QCOMPARE(lab.Label4[i].height(), lab.Label2[i].height());
            QVERIFY(lab.Label4[i].visible() && !lab.Label4[i].opaque());
            QCOMPARE(lab.Image1[i].picture().source(), QString::fromLatin1(animals[i]));
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
        QCOMPARE(screen<livingmountainsord>().Label6.caption(),
                 QStringLiteral("Living in the Mountains"));
        QCOMPARE(Module1::outof, std::optional<int>(5));
        auto &desertOrd = switchTo<livingdesertord>(screen<livingmountainsord>());
        QCOMPARE(desertOrd.Label6.caption(), QStringLiteral("Living in the Desert"));
        QCOMPARE(Module1::outof, std::optional<int>(8));
        // The statements are further entries of the box array that loading leaves alone.
        QCOMPARE(desertOrd.Label1[11].caption(),
                 QStringLiteral("Millions of people live in or on the edges of the world\u2019s "
                                "deserts."));
        QVERIFY(desertOrd.Label1[11].opaque());

        auto &desertLab = switchTo<livingdesertlab>(desertOrd);
        QCOMPARE(Module1::outof, std::optional<int>(6));
        // The topic title, a little wide for its box here, stays whole on one line: nothing
        // of a second line shows at the foot of the box.
        QCOMPARE(desertLab.Label6.caption(), QStringLiteral("Living in the Desert"));
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

        // The centre jumps to the pointer and follows it, also far outside the label.
        pressOn(label);
        movePointer(a, {6000, 3000});
        QVERIFY(centredNear(label, {6000, 3000}));
        movePointer(a, {11500, 600});
        QVERIFY(centredNear(label, {11500, 600}));
        // Released outside every window it stays where it was let go, partly off the screen.
        releaseAt(a, {11500, 600});
        QVERIFY(centredNear(label, {11500, 600}) && label.left() + label.width() > 12000);
        QVERIFY(rec->sounds().isEmpty());

        // With the right button, or both buttons, held the label stays put; letting go of a
        // button still drops it.
        dragOnto(a, 0, {60, 7440});
        QCOMPARE(cornerOf(label), QPointF(60, 7440));
        rec->clearSounds();
        pressOn(label, Qt::RightButton);
        movePointer(a, {6000, 1000});
        QCOMPARE(cornerOf(label), QPointF(60, 7440));
        releaseAt(a, {6000, 1000}, Qt::RightButton);
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
        a.Label2[0].setLeft(box.left() + box.width());
        a.Label2[0].setTop(box.top());
        QVERIFY(rec->heard(a.Label2[0]).isEmpty());
        QCOMPARE(a.Label2[0].left(), box.left() + box.width());
        a.Label2[0].setLeft(box.left() - box.width() / 2);
        QVERIFY(rec->heard(a.Label2[0]).isEmpty());
        QCOMPARE(a.Label2[0].left(), box.left() - box.width() / 2);

        // Let go near another label's home, it snaps there.
        dragOnto(a, 0, cornerOf(a.Label4[1]) + QPointF(500, 100));
        QVERIFY(onBox(a.Label2[0], a.Label4[1]));
        QCOMPARE(rec->sounds(), thud);

        // On the bare picture, away from every box, it stays where it was let go.
        rec->clearSounds();
        dragOnto(a, 0, {7000, 700});
        QVERIFY(centredNear(a.Label2[0], QPointF(7000, 700) + QPointF(3885 / 2., 375 / 2.)));
        QVERIFY(rec->sounds().isEmpty());

        // Tent labels let go over a line stay where they were let go.
        auto &tent = switchTo<livingdesertlab>(a);
        rec->clearSounds();
        const QPointF overLine(tent.Line1[0].x1(), tent.Line1[0].y2() + 300);
        drag(tent.Label2[3], overLine);
        QVERIFY(centredNear(tent.Label2[3], overLine) && rec->sounds().isEmpty());

        // A true-or-false label let go on a statement is not in a box.
        auto &statements = switchTo<livingdesertord>(tent);
        rec->clearSounds();
        const QPointF onStatement = cornerOf(statements.Label1[8]) + QPointF(2000, 180);
        drag(statements.Label2[4], onStatement);
        QVERIFY(centredNear(statements.Label2[4], onStatement));
        QCOMPARE(statements.Label1[8].caption(), QStringLiteral("Most desert people are nomads."));
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
        // Dragging a label back out keeps "Check Score".
        dragOnto(a, 5, {6000, 6000});
        QVERIFY(a.Label3[2].visible());

        // Every button zeroes the score, "Start Again" sends every label home and hides
        // "Check Score"; the click comes last.
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
        Module1::quizheading = QStringLiteral("A teacher's worksheet");
        auto &zones = open<livingmountainsord>();
        solve(zones);
        rec->clearSounds();
        QCOMPARE(scoreOf(zones, false),
                 QStringLiteral("Excellent work. You have scored 5 out of 5."));
        Welldone &results = screen<Welldone>();
        QVERIFY(results.visible() && results.Label3[0].visible() && results.Text1.visible());
        QCOMPARE(Module1::score, std::optional<int>(5));
        QCOMPARE(results.Label3[0].caption(), QStringLiteral("Print Certificate"));
        QVERIFY(!results.Label6.visible());
        QTRY_VERIFY(pupil::resultsSettled(results));
        QCOMPARE(rec->sounds(), QStringList{clickSound}); // five is too few for a fanfare
        // The certificate names the activity's topic, not an earlier quiz.
        QCOMPARE(rec->said(results.Label3[0]),
                 QStringList{QStringLiteral("Your certificate is now printing.")});
        QVERIFY(std::any_of(rec->printed.begin(), rec->printed.end(), [](const PrintOp &op) {
            return op.text == QStringLiteral("Living in the Mountains");
        }));

        // Back on the activity the labels lie where they were; two zones swapped is two short.
        click(results.Label3[1]);
        settle();
        QVERIFY(zones.visible() && onBox(zones.Label2[2], zones.Label1[2]));
        dragInto(zones, 4, zones.Label4[4]);
        dragInto(zones, 2, zones.Label1[4]);
        dragInto(zones, 4, zones.Label1[2]);
        QCOMPARE(scoreOf(zones, false), QStringLiteral("Good work. You have scored 3 out of 5."));
        QCOMPARE(Module1::score, std::optional<int>(3));
        QVERIFY(screen<Welldone>().Label6.visible() && !screen<Welldone>().Label3[0].visible() &&
                !screen<Welldone>().Label5.visible());
        QCOMPARE(screen<Welldone>().Label6.caption(),
                 QStringLiteral("Read the Key Facts and try again."));
        click(screen<Welldone>().Label3[1]);
        settle();

        // The true-or-false labels, every one in the wrong group: 0 of 8, fewer than that.
        auto &facts = switchTo<livingdesertord>(zones);
        for (int i = 0; i < 8; ++i)
            dragInto(facts, i, facts.Label1[(i + 4) % 8]);
        QCOMPARE(scoreOf(facts), QStringLiteral("You have scored 0 out of 8."));
        // Any order within each group: full marks, and the fanfare of eight.
        click(facts.Label3[1]);
        for (int i = 0; i < 8; ++i)
            dragInto(facts, i, facts.Label1[(i < 4 ? 3 - i : 11 - i)]);
        rec->clearSounds();
        QCOMPARE(scoreOf(facts, false),
                 QStringLiteral("Excellent work. You have scored 8 out of 8."));
        QTRY_VERIFY(pupil::resultsSettled(screen<Welldone>()));
        QStringList fanfare = rec->sounds();
        fanfare.removeAll(clickSound);
        QVERIFY(fanfare.size() == 1 &&
                QStringList({QStringLiteral("wav\\flute.wav"), QStringLiteral("wav\\gong.wav"),
                             QStringLiteral("wav\\clap2.wav")})
                    .contains(fanfare[0]));
        click(screen<Welldone>().Label3[1]);
        settle();

        // Llama and yak labels exchanged: 2 of 4, one short of "Good work".
        auto &animals = switchTo<livingmountainslab>(facts);
        solve(animals);
        dragInto(animals, 2, animals.Label4[2]);
        dragInto(animals, 0, animals.Label1[2]);
        dragInto(animals, 2, animals.Label1[0]);
        QCOMPARE(scoreOf(animals), QStringLiteral("Good work. You have scored 2 out of 4."));
    }

    void theKeyboardAlonePlaysAnActivity()
    {
        Module1::soundon = 1;
        auto &a = open<livingmountainslab>();
        QTRY_VERIFY(a.host()->isActiveWindow());
        // Nothing shows a focus mark until the keyboard is used.
        for (int i = 0; i < 4; ++i)
            QVERIFY(!a.Label2[i].showsFocusMark());

        // Tab visits the labels from the top of their column down (0, 2, 1, 3), then "Start
        // Again" and "Exit" ("Check Score" is hidden); Shift+Tab goes back.
        const QImage before = grab(a);
        pressKey(a, Qt::Key_Tab);
        QVERIFY(a.Label2[0].showsFocusMark() && grab(a) != before);
        for (const Label *c : {&a.Label2[2], &a.Label2[1], &a.Label2[3], &a.Label3[1]}) {
            pressKey(a, Qt::Key_Tab);
            QVERIFY(c->hasFocus() && c->showsFocusMark());
        }
        pressKey(a, Qt::Key_Tab);
        QVERIFY(a.Label3[0].hasFocus());
        pressKey(a, Qt::Key_Tab, Qt::ShiftModifier);
        pressKey(a, Qt::Key_Tab, Qt::ShiftModifier);
        QVERIFY(a.Label2[3].hasFocus());

        // Space lifts the label: its colours turn round. The arrow keys carry it over the
        // boxes and homes in reading order: box 3 (top 2295) comes first.
        rec->clearSounds();
        const QColor yellow(255, 255, 0);
        pressKey(a, Qt::Key_Space);
        QCOMPARE(a.lifted(), 3);
        QCOMPARE(a.Label2[3].backColor(), yellow);
        const std::pair<Qt::Key, const Label *> moves[] = {{Qt::Key_Right, &a.Label1[3]},
                                                           {Qt::Key_Down, &a.Label1[0]},
                                                           {Qt::Key_Up, &a.Label1[3]}};
        for (const auto &[key, box] : moves) {
            pressKey(a, key);
            QVERIFY(onBox(a.Label2[3], *box));
        }
        // Escape puts it back where it was lifted, silently.
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
                pressKey(a, Qt::Key_Right);
            pressKey(a, Qt::Key_Space);
            QVERIFY(onBox(a.Label2[label], a.Label1[label]));
        }
        QVERIFY(a.Label3[2].visible());

        // Check Score pressed with the keyboard, "Start Again" by Enter.
        tabTo(a, a.Label3[2]);
        pressKey(a, Qt::Key_Space);
        QCOMPARE(screen<Welldone>().Label1.caption(),
                 QStringLiteral("Excellent work. You have scored 4 out of 4."));
        click(screen<Welldone>().Label3[1]);
        settle();
        QTRY_VERIFY(a.host()->isActiveWindow());
        tabTo(a, a.Label3[1]);
        pressKey(a, Qt::Key_Enter);
        QVERIFY(onBox(a.Label2[1], a.Label4[1]) && !a.Label3[2].visible());
    }

    void missingPicturesLeaveAPlayableActivity()
    {
        content->remove(QStringLiteral("images/yakssm.jpg"));
        content->write(QStringLiteral("images/mountain2.jpg"), QByteArray("not a picture"));
        auto &animals = open<livingmountainslab>();
        QVERIFY(animals.Image1[3].picture().isNull() && !animals.Image1[0].picture().isNull());
        QCOMPARE(cornerOf(animals.Image1[3]), QPointF(3360, 4440));
        solve(animals);
        QCOMPARE(scoreOf(animals), QStringLiteral("Excellent work. You have scored 4 out of 4."));
        click(animals.Label3[0]);
        settle();

        click(screen<livingmountains>().label3[3]);
        auto &zones = screen<livingmountainsord>();
        QVERIFY(zones.Image1[0].picture().isNull());
        QCOMPARE(pixelAt(zones, {2000, 3000}), QColor(0, 78, 152));
        solve(zones);
        QCOMPARE(scoreOf(zones), QStringLiteral("Excellent work. You have scored 5 out of 5."));
        QVERIFY(rec->messages.isEmpty());
    }
};

QTEST_MAIN(ActivitiesTest)
#include "tst_activities.moc"
