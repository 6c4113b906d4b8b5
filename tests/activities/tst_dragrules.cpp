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
};

QTEST_GUILESS_MAIN(DragRulesTest)
#include "tst_dragrules.moc"
