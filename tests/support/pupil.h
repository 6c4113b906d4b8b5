// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>

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

} // namespace pupil
