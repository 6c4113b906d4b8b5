// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QPointF>

class Control;
class DragDrop;
class Form;
class multiple;
class Welldone;

// What a pupil does again and again in the tests, done with real clicks.
namespace pupil {

/// From the main menu, through "Living in the Mountains", to its quiz.
multiple &openMountainsQuiz();
/// Picks the right answer of the question on show, or a wrong one, and moves on.
void answer(multiple &quiz, bool right);
/// Answers all ten questions, wrongly those listed, and so reaches the results.
void playQuiz(multiple &quiz, const QList<int> &wrong = {});
/// Whether the results screen's picture, focus and fanfare have all come.
bool resultsSettled(const Welldone &results);
/// Plays the Mountains quiz from the main menu to its results, wrongly at the questions listed,
/// and waits for the results screen to settle.
Welldone &playToResults(const QList<int> &wrong = {});
/// The results screen shown for a score out of a total, as an activity shows it.
Welldone &showScore(int score, int outof);

/// Presses Tab until the control has the focus (at most 30 times), and checks that it has.
void tabTo(const Form &form, const Control &control);
/// Drags an activity's label i so that it is let go over the given corner, as a pupil aims at
/// a box.
void dragOnto(DragDrop &activity, int label, QPointF corner);
/// Drags an activity's label i onto the box, aiming at its corner.
void dragInto(DragDrop &activity, int label, const Control &box);
/// Whether the label lies exactly on the box (their corners meet).
bool onBox(const Control &label, const Control &box);

} // namespace pupil
