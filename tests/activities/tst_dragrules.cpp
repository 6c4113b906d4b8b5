// SPDX-License-Identifier: GPL-3.0-or-later
// The rules of the drag-and-drop activities over the tables of all four screens, without a
// window: capture windows, landing, completion and both ways of scoring.
#include "activities/dragdrop.h"
#include "activities/livingdesertlab.h"
#include "activities/livingdesertord.h"
#include "activities/livingmountainslab.h"
#include "activities/livingmountainsord.h"

#include <QTest>

#include <algorithm>
#include <cmath>

using namespace dragdrop;

namespace {

const Activity *const activities[] = {&mountainsOrdering, &desertOrdering, &mountainsLabelling,
                                      &desertLabelling};

std::vector<Box> homesOf(const Activity &a)
{
    std::vector<Box> homes;
    for (const ActivityItem &item : a.items)
        homes.push_back({item.startLeft, item.startTop, a.itemWidth, a.itemHeight});
    return homes;
}

/// Every label on its own box.
std::vector<Pos> solved(const Activity &a)
{
    std::vector<Pos> labels;
    for (const Box &box : a.targets())
        labels.push_back(box.corner());
    return labels;
}

void addActivityRows(bool byIndexOnly = false)
{
    QTest::addColumn<int>("which");
    for (size_t k = 0; k < std::size(activities); ++k)
        if (!byIndexOnly || activities[k]->scoring == Scoring::byIndex)
            QTest::newRow(activities[k]->screenName) << int(k);
}

} // namespace

class DragRulesTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void captureWindowsAreStrictAndApart_data() { addActivityRows(); }
    void captureWindowsAreStrictAndApart()
    {
        QFETCH(int, which);
        const Activity &a = *activities[which];
        std::vector<Box> boxes = a.targets();
        const std::vector<Box> homes = homesOf(a);
        boxes.insert(boxes.end(), homes.begin(), homes.end());
        for (const Box &b : boxes) {
            QVERIFY(captures(b, b.corner()));
            // The edges of the window, computed in single precision, are outside it.
            const float leftEdge = b.left - b.width / 2, rightEdge = b.left + b.width;
            const float topEdge = b.top - b.height / 2, bottomEdge = b.top + b.height;
            QVERIFY(!captures(b, {leftEdge, b.top}));
            QVERIFY(!captures(b, {rightEdge, b.top}));
            QVERIFY(!captures(b, {b.left, topEdge}));
            QVERIFY(!captures(b, {b.left, bottomEdge}));
            QVERIFY(captures(b, {std::nextafter(leftEdge, b.left), b.top}));
            QVERIFY(captures(b, {std::nextafter(rightEdge, b.left), b.top}));
            QVERIFY(captures(b, {b.left, std::nextafter(topEdge, b.top)}));
            QVERIFY(captures(b, {b.left, std::nextafter(bottomEdge, b.top)}));
            QVERIFY(captures(b, {rightEdge - 1, bottomEdge - 1}));
            QVERIFY(!captures(b, {rightEdge - 1, bottomEdge + 1}));
            // No other box's corner lies inside this box's window.
            int inside = 0;
            for (const Box &other : boxes)
                inside += captures(b, other.corner()) ? 1 : 0;
            QCOMPARE(inside, 1);
        }
    }

    void releasedLabelsLandInTheirWindows_data() { addActivityRows(); }
    void releasedLabelsLandInTheirWindows()
    {
        QFETCH(int, which);
        const Activity &a = *activities[which];
        const std::vector<Box> targets = a.targets();
        const std::vector<Box> homes = homesOf(a);
        for (size_t i = 0; i < targets.size(); ++i) {
            const Box &b = targets[i];
            const Landing near = land({b.left + b.width / 3, b.top - b.height / 3}, targets, homes);
            QVERIFY(near.at == b.corner());
            QCOMPARE(near.snaps, 1);
            // Released on its own home box (press and release without a move) it snaps there.
            const Landing home = land(homes[i].corner(), targets, homes);
            QVERIFY(home.at == homes[i].corner());
            QCOMPARE(home.snaps, 1);
        }
        // Far from every box it stays where it was released, also off the screen.
        for (const Pos away : {Pos{-5000.5f, -3000.25f}, Pos{11000, 200}, Pos{20000, 9000}}) {
            const Landing none = land(away, targets, homes);
            QVERIFY(none.at == away);
            QCOMPARE(none.snaps, 0);
        }
    }

    void completionCountsEveryLabelOnSomeBox_data() { addActivityRows(); }
    void completionCountsEveryLabelOnSomeBox()
    {
        QFETCH(int, which);
        const Activity &a = *activities[which];
        const std::vector<Box> targets = a.targets();
        std::vector<Pos> labels = solved(a);
        QVERIFY(complete(labels, targets));
        QCOMPARE(score(a.scoring, labels, targets), a.count());

        // Two labels in one box: both count, though a box is empty.
        labels[1] = labels[0];
        QCOMPARE(placedPairs(labels, targets), a.count());
        QVERIFY(complete(labels, targets));

        // One label a hair off its box is not placed.
        labels[1] = {targets[1].left + 0.5f, targets[1].top};
        QCOMPARE(placedPairs(labels, targets), a.count() - 1);
        QVERIFY(!complete(labels, targets));

        // At the start nothing is placed.
        std::vector<Pos> start;
        for (const Box &h : homesOf(a))
            start.push_back(h.corner());
        QCOMPARE(placedPairs(start, targets), 0);
        QCOMPARE(score(a.scoring, start, targets), 0);
    }

    void scoringByIndexLosesTwoForEverySwap_data() { addActivityRows(true); }
    void scoringByIndexLosesTwoForEverySwap()
    {
        QFETCH(int, which);
        const Activity &a = *activities[which];
        const std::vector<Box> targets = a.targets();
        for (int x = 0; x < a.count(); ++x) {
            for (int y = x + 1; y < a.count(); ++y) {
                std::vector<Pos> labels = solved(a);
                std::swap(labels[size_t(x)], labels[size_t(y)]);
                QCOMPARE(scoreByIndex(labels, targets), a.count() - 2);
                QVERIFY(complete(labels, targets));
            }
        }
    }

    void trueAndFalseScoreByGroup()
    {
        const std::vector<Box> boxes = desertOrdering.targets();
        QCOMPARE(desertOrdering.scoring, Scoring::byGroup);
        // Any order within each group scores 8.
        std::array<int, 4> f{0, 1, 2, 3}, t{4, 5, 6, 7};
        int orders = 0;
        do {
            do {
                std::vector<Pos> labels(8);
                for (int k = 0; k < 4; ++k) {
                    labels[size_t(f[size_t(k)])] = boxes[size_t(k)].corner();
                    labels[size_t(t[size_t(k)])] = boxes[size_t(k + 4)].corner();
                }
                QCOMPARE(scoreByGroup(labels, boxes), 8);
                ++orders;
            } while (std::next_permutation(t.begin(), t.end()));
        } while (std::next_permutation(f.begin(), f.end()));
        QCOMPARE(orders, 24 * 24);

        // Every label in a box of the wrong group: 0 of 8, yet every label lies in a box.
        std::vector<Pos> wrong(8);
        for (int k = 0; k < 8; ++k)
            wrong[size_t(k)] = boxes[size_t((k + 4) % 8)].corner();
        QCOMPARE(scoreByGroup(wrong, boxes), 0);
        QVERIFY(complete(wrong, boxes));

        // Two "True" labels stacked in one "True" box both count; by index only one would.
        std::vector<Pos> stacked = solved(desertOrdering);
        stacked[5] = stacked[4];
        QCOMPARE(scoreByGroup(stacked, boxes), 8);
        QCOMPARE(scoreByIndex(stacked, boxes), 7);
        stacked[0] = stacked[4];
        QCOMPARE(scoreByGroup(stacked, boxes), 7);
    }
};

QTEST_GUILESS_MAIN(DragRulesTest)
#include "tst_dragrules.moc"
