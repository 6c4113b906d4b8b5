// SPDX-License-Identifier: GPL-3.0-or-later
// Each activity's answer key, kept here as the activity was designed and typed apart from the
// activity tables: a pupil who puts every answer where this key says scores full marks, so two
// answers swapped in a table, a box moved or a statement put on another row fails here.
#include "activities/livingdesertlab.h"
#include "activities/livingdesertord.h"
#include "activities/livingmountainslab.h"
#include "activities/livingmountainsord.h"
#include "app/intro0.h"
#include "app/livingdesert.h"
#include "app/livingmountains.h"
#include "quiz/Welldone.h"
#include "tests/support/testkit.h"

#include <QTest>

#include <set>
#include <vector>

using namespace testkit;

namespace {

/// An answer and the corner of the box it belongs in, in twips.
struct Answer
{
    const char *text;
    float left, top;
};

/// A statement beside the true-or-false boxes and the top of the row it stands on.
struct Statement
{
    const char *text;
    float top;
};

struct AnswerKey
{
    const char *name;
    bool mountains;
    bool labelling;
    const char *instruction;
    std::vector<Answer> answers;
    std::vector<Statement> statements = {};
};

const std::vector<AnswerKey> keys = {
    {"mountains ordering",
     true,
     false,
     "Imagine that you are making a journey up a mountain. What would you see as you climbed "
     "the mountain?",
     {
         {"Permanent snow and ice.", 4320, 1875},
         {"Bare rocks, lichens and mosses.", 4320, 4440},
         {"Thin grass and small flowering plants.", 4320, 5400},
         {"Bare rock, no plants.", 4320, 3480},
         {"Grass and coniferous trees.", 4320, 6300},
     }},
    {"mountains labelling",
     true,
     true,
     "Match the animals with their adaptations for survival in the mountains.",
     {
         {"Have large heart and lungs to cope with thin atmosphere.", 2250, 3555}, // llamas
         {"Hibernate in the winter when there is no food.", 8550, 7065},           // bears
         {"Have thick woolly coats.", 4170, 7050},                                 // yaks
         {"Can live on poor grasses and are agile on steep slopes.", 6990, 2295},  // goats
     }},
    {"desert ordering",
     false,
     false,
     "Are these statements about life in the desert true or false?",
     {
         {"False", 9360, 2640},
         {"False", 9360, 4440},
         {"False", 9360, 5040},
         {"False", 9360, 3240},
         {"True", 9360, 6240},
         {"True", 9360, 3840},
         {"True", 9360, 2040},
         {"True", 9360, 5640},
     },
     {
         {"People and animals have to adapt to survive in hot desert conditions.", 2040},
         {"Nothing grows in the desert.", 2640},
         {"No one lives in deserts.", 3240},
         {"Millions of people live in or on the edges of the world\u2019s deserts.", 3840},
         {"Bedouins who live in the desert are very unfriendly people.", 4440},
         {"All desert people live in the same place all their life.", 5040},
         {"An oasis is a place in the desert where water can be found.", 5640},
         {"Some desert people are nomads.", 6240},
     }},
    {"desert labelling",
     false,
     true,
     "Bedouins live in the deserts of North Africa and the Middle East. Label this picture of a "
     "Bedouin tent.",
     {
         {"The men's section of the tent.", 3960, 1020},
         {"The owner of the tent's rifle.", 3480, 5520},
         {"The family section of the tent.", 6480, 1020},
         {"Tent pole supporting the roof.", 1320, 5520},
         {"The kitchen", 8520, 1020},
         {"Bedouin tent - made from goat hair.", 960, 1020},
     }},
};

/// Opens an activity as a pupil does: the topic on the main menu, then the activity.
DragDrop &open(const AnswerKey &key)
{
    screen<intro0>().show();
    click(screen<intro0>().Label2[key.mountains ? 1 : 5]);
    const int entry = key.labelling ? 1 : 3;
    click(key.mountains ? screen<livingmountains>().label3[entry]
                        : screen<livingdesert>().label3[entry]);
    if (key.mountains)
        return key.labelling ? static_cast<DragDrop &>(screen<livingmountainslab>())
                             : static_cast<DragDrop &>(screen<livingmountainsord>());
    return key.labelling ? static_cast<DragDrop &>(screen<livingdesertlab>())
                         : static_cast<DragDrop &>(screen<livingdesertord>());
}

} // namespace

class AnswerKeysTest : public ScreenTest
{
    Q_OBJECT

private Q_SLOTS:
    void everyAnswerInItsBoxScoresFullMarks_data()
    {
        QTest::addColumn<int>("key");
        for (size_t k = 0; k < keys.size(); ++k)
            QTest::newRow(keys[k].name) << int(k);
    }

    void everyAnswerInItsBoxScoresFullMarks()
    {
        QFETCH(int, key);
        const AnswerKey &k = keys[size_t(key)];
        DragDrop &a = open(k);
        QVERIFY(a.visible());
        QCOMPARE(a.Label7.caption(), QString::fromUtf8(k.instruction));

        // Each statement stands on its row, beside its box.
        for (const Statement &s : k.statements) {
            bool found = false;
            a.Label1.forEach([&](int, const Label &label) {
                found = found || (label.caption() == QString::fromUtf8(s.text) &&
                                  label.left() == 1200 && label.top() == s.top);
            });
            QVERIFY2(found, s.text);
        }

        // Every answer label, found by its words, is dragged onto the box at its corner.
        QCOMPARE(int(k.answers.size()), a.activity().count());
        std::set<int> used;
        for (const Answer &answer : k.answers) {
            int label = -1;
            a.Label2.forEach([&](int i, const Label &l) {
                if (label < 0 && !used.count(i) && l.caption() == QString::fromUtf8(answer.text))
                    label = i;
            });
            QVERIFY2(label >= 0, answer.text);
            used.insert(label);
            bool box = false;
            a.Label1.forEach([&](int, const Label &l) {
                box = box || (l.left() == answer.left && l.top() == answer.top &&
                              l.width() == a.Label2[label].width());
            });
            QVERIFY2(box, qPrintable(QStringLiteral("no box at %1, %2 for \"%3\"")
                                         .arg(answer.left)
                                         .arg(answer.top)
                                         .arg(QString::fromUtf8(answer.text))));
            Label &l = a.Label2[label];
            drag(l, QPointF(answer.left + l.width() / 2, answer.top + l.height() / 2));
            QCOMPARE(QPointF(l.left(), l.top()), QPointF(answer.left, answer.top));
        }

        QVERIFY(a.Label3[2].visible());
        click(a.Label3[2]);
        const int n = int(k.answers.size());
        QCOMPARE(screen<Welldone>().Label1.caption(),
                 QStringLiteral("Excellent work. You have scored %1 out of %1.").arg(n));
    }
};

QTEST_MAIN(AnswerKeysTest)
#include "tst_answer_keys.moc"
