// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class Form;

// Every screen of the program, by a name the tests' tables use, each reached as a pupil or a
// teacher reaches it with the mouse.
namespace screens {

/// From a fresh start to the named screen, settled, with no key pressed on the way. The names:
/// "title", "exit confirmation", "main menu", "topic menu" (the mountains'), "quiz", "quiz,
/// question 2" (the first left unanswered), "results, full marks", "results, one wrong"
/// (question 2), "review" (of those results), "teacher's notes", "key facts", "guide",
/// "acknowledgments", "catalogue" (three worksheets), "catalogue, two pages" (thirty),
/// "wizard", and the four activities: "mountain animals", "mountain zones" (the mountains'
/// labelling and ordering), "tent" and "desert facts" (the desert's). Any other name ends the
/// test run.
Form &open(const QString &name);

} // namespace screens
