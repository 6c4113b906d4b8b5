// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/pupil.h"

#include "activities/dragdrop.h"
#include "app/Module1.h"
#include "app/intro0.h"
#include "app/livingmountains.h"
#include "quiz/Welldone.h"
#include "quiz/multiple.h"
#include "tests/support/testkit.h"

#include <QTest>

namespace pupil {

multiple &openMountainsQuiz()
{
    screen<intro0>().show();
    testkit::click(screen<intro0>().Label2[1]);
    testkit::click(screen<livingmountains>().label3[0]);
    return screen<multiple>();
}

void answer(multiple &quiz, bool right)
{
    const int c = Module1::correct[*Module1::questnum].toInt();
    testkit::click(quiz.Option1[right ? c : c % 4 + 1]);
    testkit::click(quiz.Label3[1]);
}

void playQuiz(multiple &quiz, const QList<int> &wrong)
{
    for (int q = 1; q <= 10; ++q)
        answer(quiz, !wrong.contains(q));
}

bool resultsSettled(const Welldone &results)
{
    return !results.Timer1.enabled() && !results.Timer2.enabled() && !results.Timer3.enabled();
}

Welldone &playToResults(const QList<int> &wrong)
{
    playQuiz(openMountainsQuiz(), wrong);
    Welldone &results = screen<Welldone>();
    (void)QTest::qWaitFor([&results] { return resultsSettled(results); });
    return results;
}

Welldone &showScore(int score, int outof)
{
    Module1::score = score;
    Module1::outof = outof;
    screen<Welldone>().show();
    return screen<Welldone>();
}

void tabTo(const Form &form, const Control &control)
{
    for (int k = 0; k < 30 && !control.hasFocus(); ++k)
        testkit::pressKey(form, Qt::Key_Tab);
    QVERIFY(control.hasFocus());
}

void dragOnto(DragDrop &activity, int label, QPointF corner)
{
    const Label &l = activity.Label2[label];
    testkit::drag(l, corner + QPointF(l.width() / 2, l.height() / 2));
}

void dragInto(DragDrop &activity, int label, const Control &box)
{
    dragOnto(activity, label, {box.left(), box.top()});
}

bool onBox(const Control &label, const Control &box)
{
    return label.left() == box.left() && label.top() == box.top();
}

} // namespace pupil
