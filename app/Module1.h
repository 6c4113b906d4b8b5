// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <array>
#include <optional>

class Form;
class FieldReader;

// The state that passes from one screen to another, and the procedures every screen shares.
// A number that has not been set yet is empty: it equals no number, so soundon == 1 is false
// until the main menu first sets it.
namespace Module1 {

extern std::optional<int> soundon;

extern std::array<QString, 11> question;
extern std::array<QString, 11> answera;
extern std::array<QString, 11> answerb;
extern std::array<QString, 11> answerc;
extern std::array<QString, 11> answerd;
extern std::array<QString, 11> correct;
extern QString worktitle;

extern std::optional<int> questnum;
extern std::array<std::optional<int>, 11> marks;
extern std::optional<int> score;
extern std::optional<int> outof;
extern QString quizheading;

extern std::optional<int> numworksheets;
extern std::array<QString, 1001> worksheetnames;
extern QString chosenworksheet;
extern std::optional<int> catpage;

extern std::optional<int> pagenum;
extern std::optional<int> numpages;
extern QString pagename;
extern std::optional<int> logoframe;

/// The standard set-up of a screen: colour, caption, size 12000 x 9000 twips, centred.
void setupform(Form &form);

/// Reads a quiz from an opened quiz file into the quiz state. The quiz in memory changes only
/// when the whole quiz was read: a file that ends early throws and leaves the old quiz.
void loadquest(FieldReader &file);

/// Plays a sound of the wav folder when sound is switched on.
void playsound(const QString &path);

/// Everything back to its state at start-up (tests start each case here).
void resetState();

} // namespace Module1
