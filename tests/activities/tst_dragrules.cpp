// SPDX-License-Identifier: GPL-3.0-or-later
// The drag rules over the tables of all four activities, without a window.
#include "activities/dragdrop.h"
#include "activities/livingdesertlab.h"
#include "activities/livingdesertord.h"
#include "activities/livingmountainslab.h"
#include "activities/livingmountainsord.h"

#include <QTest>

#include <cmath>

using namespace dragdrop;

namespace {

const Activity *const activities[] = {&mountainsOrdering, &desertOrdering, &mountainsLabelling,
                                      &desertLabelling};

} // namespace

class DragRulesTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void captureWindowsAreStrictAndApart_data()
    {
        QTest::addColumn<int>("which");
        for (size_t k = 0; k < std::size(activities); ++k)
            QTest::newRow(activities[k]->screenName) << int(k);
    }

    void captureWindowsAreStrictAndApart()
    {
        QFETCH(int, which);
        const Activity &a = *activities[which];
        std::vector<Box> boxes = a.targets();
        for (const ActivityItem &item : a.items)
            boxes.push_back({item.startLeft, item.startTop, a.itemWidth, a.itemHeight});
        for (const Box &b : boxes) {
            // The edges, computed in single precision, are outside; a hair inside is in.
            const float left = b.left - b.width / 2, right = b.left + b.width;
            const float top = b.top - b.height / 2, bottom = b.top + b.height;
            for (const Pos edge : {Pos{left, b.top}, Pos{right, b.top}, Pos{b.left, top},
                                   Pos{b.left, bottom}, Pos{right - 1, bottom + 1}})
                QVERIFY(!captures(b, edge));
            for (const Pos in :
                 {Pos{std::nextafter(left, b.left), b.top},
                  Pos{std::nextafter(right, b.left), b.top},
                  Pos{b.left, std::nextafter(top, b.top)},
                  Pos{b.left, std::nextafter(bottom, b.top)}, Pos{right - 1, bottom - 1}})
                QVERIFY(captures(b, in));
            // No other box's corner, home or target, lies in this box's window.
            int inside = 0;
            for (const Box &other : boxes)
                inside += captures(b, other.corner()) ? 1 : 0;
            QCOMPARE(inside, 1);
        }
    }

    void trueAndFalseScoreByGroupAndTheRestByIndex()
    {
        const std::vector<Box> boxes = desertOrdering.targets();
        std::vector<Pos> labels;
        for (const Box &box : boxes)
            labels.push_back(box.corner());
        // Two "True" labels stacked in one "True" box both count by group; by index only one.
        labels[5] = labels[4];
        QCOMPARE(scoreByGroup(labels, boxes), 8);
        QCOMPARE(scoreByIndex(labels, boxes), 7);
        QCOMPARE(score(Scoring::byGroup, labels, boxes), 8);
        labels[0] = labels[4];
        QCOMPARE(scoreByGroup(labels, boxes), 7);
        QCOMPARE(placedPairs(labels, boxes), 8);
        // A label half a twip off its box is not placed.
        labels[1] = {boxes[1].left + 0.5f, boxes[1].top};
        QCOMPARE(placedPairs(labels, boxes), 7);
        QVERIFY(!complete(labels, boxes));
    }

    void theKeyboardReachesEveryBox_data() { captureWindowsAreStrictAndApart_data(); }
    void theKeyboardReachesEveryBox()
    {
        QFETCH(int, which);
        const Activity &a = *activities[which];
        const std::vector<Box> targets = a.targets();
        std::vector<Box> homes;
        for (const ActivityItem &item : a.items)
            homes.push_back({item.startLeft, item.startTop, a.itemWidth, a.itemHeight});
        const std::vector<Box> stops = stopsInReadingOrder(targets, homes);
        const int n = int(stops.size());
        QCOMPARE(n, 2 * a.count());
        for (int k = 1; k < n; ++k) // in reading order: down the screen, along each row
            QVERIFY(stops[k - 1].top < stops[k].top ||
                    (stops[k - 1].top == stops[k].top && stops[k - 1].left < stops[k].left));
        auto isTarget = [&](int k) {
            return std::any_of(targets.begin(), targets.end(), [&](const Box &b) {
                return b.corner() == stops[size_t(k)].corner();
            });
        };
        for (int s = 0; s < n; ++s) {
            const Pos at = stops[size_t(s)].corner();
            // Tab and Shift+Tab go round every stop, each undoing the other.
            QCOMPARE(carryTo(stops, targets, s, at, Carry::next), (s + 1) % n);
            QCOMPARE(carryTo(stops, targets, s, at, Carry::previous), (s + n - 1) % n);
            // An arrow goes that way, or nowhere.
            const int left = carryTo(stops, targets, s, at, Carry::left);
            const int up = carryTo(stops, targets, s, at, Carry::up);
            QVERIFY(left == s || stops[size_t(left)].left < at.left);
            QVERIFY(up == s || stops[size_t(up)].top < at.top);
        }
        // From every stop, every target box can be reached with the arrows, Home and End alone.
        for (int from = 0; from < n; ++from) {
            std::vector<bool> seen(size_t(n), false);
            std::vector<int> todo{from};
            seen[size_t(from)] = true;
            while (!todo.empty()) {
                const int s = todo.back();
                todo.pop_back();
                for (Carry c : {Carry::left, Carry::right, Carry::up, Carry::down, Carry::firstBox,
                                Carry::lastBox}) {
                    const int t = carryTo(stops, targets, s, stops[size_t(s)].corner(), c);
                    QVERIFY(t >= 0 && t < n);
                    if (!seen[size_t(t)]) {
                        seen[size_t(t)] = true;
                        todo.push_back(t);
                    }
                }
            }
            for (int k = 0; k < n; ++k)
                QVERIFY2(!isTarget(k) || seen[size_t(k)], "a box the arrows cannot reach");
        }
        // Home and End: the first and the last target box in reading order.
        const int first = carryTo(stops, targets, -1, {0, 0}, Carry::firstBox);
        const int last = carryTo(stops, targets, -1, {0, 0}, Carry::lastBox);
        QVERIFY(isTarget(first) && isTarget(last));
        for (int k = 0; k < n; ++k)
            QVERIFY(!isTarget(k) || (first <= k && k <= last));
    }
};

QTEST_GUILESS_MAIN(DragRulesTest)
#include "tst_dragrules.moc"
