// SPDX-License-Identifier: GPL-3.0-or-later
// bench_keys: how many key presses a pupil without a mouse needs. Plays the mountains quiz to
// full marks and each activity to Check Score with real key presses, counting them. Each
// activity is played twice: carrying every label through the boxes in turn (Tab), and by the
// shortest way the arrows, Home, End, Tab and Shift+Tab allow.
#include "activities/livingdesertlab.h"
#include "activities/livingdesertord.h"
#include "activities/livingmountainslab.h"
#include "activities/livingmountainsord.h"
#include "app/Module1.h"
#include "bench/benchkit.h"
#include "platform/keyboard.h"
#include "platform/textfile.h"
#include "quiz/Welldone.h"
#include "quiz/multiple.h"

#include <QDir>
#include <QTest>
#include <QWidget>

#include <cstdio>
#include <deque>
#include <map>

namespace {

int presses = 0;

void press(Form &form, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    ++presses;
    QTest::keyClick(form.host()->windowHandle(), key, modifiers);
}

/// Presses Tab until the control has the focus; false when it never comes.
bool tabTo(Form &form, const Control &control)
{
    for (int k = 0; k < 40 && !control.hasFocus(); ++k)
        press(form, Qt::Key_Tab);
    return control.hasFocus();
}

/// The quiz from its first question to the results, every answer right.
int playQuiz()
{
    FieldReader file(QStringLiteral("multiple\\Living in the Mountains.txt"));
    Module1::loadquest(file);
    keyboard::setInUse(false);
    multiple &quiz = screen<multiple>();
    quiz.show();
    QCoreApplication::processEvents();
    presses = 0;
    for (int q = 1; q <= 10; ++q) {
        const int right = Module1::correct[q].toInt();
        for (int k = 0; k < right; ++k)
            press(quiz, Qt::Key_Down);
        if (!quiz.Option1[right].value() || !tabTo(quiz, quiz.Label3[1]))
            return -1;
        press(quiz, Qt::Key_Return);
    }
    const bool done = isLoaded<Welldone>() && Module1::score == 10;
    registry::unloadAll();
    QCoreApplication::processEvents();
    return done ? presses : -1;
}

struct Move
{
    dragdrop::Carry carry;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
};

const Move inTurn[] = {{dragdrop::Carry::next, Qt::Key_Tab},
                       {dragdrop::Carry::previous, Qt::Key_Tab, Qt::ShiftModifier}};
const Move everyWay[] = {{dragdrop::Carry::next, Qt::Key_Tab},
                         {dragdrop::Carry::previous, Qt::Key_Tab, Qt::ShiftModifier},
                         {dragdrop::Carry::left, Qt::Key_Left},
                         {dragdrop::Carry::right, Qt::Key_Right},
                         {dragdrop::Carry::up, Qt::Key_Up},
                         {dragdrop::Carry::down, Qt::Key_Down},
                         {dragdrop::Carry::firstBox, Qt::Key_Home},
                         {dragdrop::Carry::lastBox, Qt::Key_End}};

/// The fewest moves that carry a label from one stop to another.
std::vector<Move> shortestWay(std::span<const dragdrop::Box> stops,
                              std::span<const dragdrop::Box> targets, int from, int to,
                              std::span<const Move> moves)
{
    std::map<int, std::pair<int, Move>> cameFrom;
    std::deque<int> queue{from};
    cameFrom[from] = {-1, moves[0]};
    while (!queue.empty() && !cameFrom.count(to)) {
        const int s = queue.front();
        queue.pop_front();
        for (const Move &m : moves) {
            const int next =
                dragdrop::carryTo(stops, targets, s, stops[size_t(s)].corner(), m.carry);
            if (!cameFrom.count(next)) {
                cameFrom[next] = {s, m};
                queue.push_back(next);
            }
        }
    }
    std::vector<Move> way;
    for (int s = to; cameFrom.count(s) && s != from; s = cameFrom[s].first)
        way.insert(way.begin(), cameFrom[s].second);
    return way;
}

int stopAt(std::span<const dragdrop::Box> stops, dragdrop::Pos at)
{
    for (size_t k = 0; k < stops.size(); ++k)
        if (stops[k].corner() == at)
            return int(k);
    return -1;
}

/// Every label into its box and Check Score pressed, with the keyboard alone.
template <class T> int playActivity(std::span<const Move> moves)
{
    keyboard::setInUse(false);
    T &a = screen<T>();
    a.show();
    QCoreApplication::processEvents();
    presses = 0;
    const std::vector<dragdrop::Box> targets = a.targetBoxes();
    std::vector<dragdrop::Box> homes;
    for (int i = 0; i < a.activity().count(); ++i)
        homes.push_back(
            {a.Label4[i].left(), a.Label4[i].top(), a.Label4[i].width(), a.Label4[i].height()});
    const std::vector<dragdrop::Box> stops = dragdrop::stopsInReadingOrder(targets, homes);
    // The labels in the order Tab reaches them: from where they start, in reading order.
    std::vector<int> order;
    for (int i = 0; i < a.activity().count(); ++i)
        order.push_back(i);
    std::stable_sort(order.begin(), order.end(), [&](int x, int y) {
        const ActivityItem &p = a.activity().items[size_t(x)], &q = a.activity().items[size_t(y)];
        return p.startTop != q.startTop ? p.startTop < q.startTop : p.startLeft < q.startLeft;
    });
    for (int i : order) {
        if (!tabTo(a, a.Label2[i]))
            return -1;
        press(a, Qt::Key_Space);
        const int from = stopAt(stops, {a.Label2[i].left(), a.Label2[i].top()});
        for (const Move &m :
             shortestWay(stops, targets, from, stopAt(stops, targets[size_t(i)].corner()), moves))
            press(a, m.key, m.modifiers);
        press(a, Qt::Key_Space);
    }
    const bool done = tabTo(a, a.Label3[2]) && (press(a, Qt::Key_Return), true) &&
                      isLoaded<Welldone>() && Module1::score == Module1::outof;
    registry::unloadAll();
    QCoreApplication::processEvents();
    return done ? presses : -1;
}

template <class T> bool report(const char *name, int *longest)
{
    const int turn = playActivity<T>(inTurn);
    const int best = playActivity<T>(everyWay);
    std::printf("%-22s %3d keys through every box in turn, %3d by row and column\n", name, turn,
                best);
    *longest = std::max(*longest, best);
    return turn > 0 && best > 0;
}

} // namespace

int main(int argc, char **argv)
{
    benchkit::Application app(argc, argv);
    QDir::setCurrent(QStringLiteral(HABITARA_RUN_DIR));
    Module1::soundon = 0;
    const int quiz = playQuiz();
    std::printf("%-22s %3d keys for ten questions, every answer right\n", "mountains quiz", quiz);
    int longest = 0;
    bool ok = quiz > 0;
    ok = report<livingmountainslab>("mountains labelling", &longest) && ok;
    ok = report<livingmountainsord>("mountains ordering", &longest) && ok;
    ok = report<livingdesertlab>("desert labelling", &longest) && ok;
    ok = report<livingdesertord>("desert true or false", &longest) && ok;
    std::printf("%-22s %3d keys\n", "longest activity", longest);
    return ok ? 0 : 1;
}
