// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/guard.h"

#include <QString>
#include <QStringList>

#include <array>

/// A teacher's worksheet as the wizard holds it: a title and ten questions of four answers,
/// with the number (1 to 4) of the right answer of each.
struct Worksheet
{
    QString title;
    std::array<QString, 10> questions;
    std::array<std::array<QString, 4>, 10> answers;
    std::array<int, 10> right{};
};

/// A save that was refused for a reason the teacher can put right; what() is their message.
class SaveRefused : public ProgramError
{
public:
    using ProgramError::ProgramError;
};

/// A worksheet whose file was saved but whose title could not be added to the register;
/// what() says why, as a sentence's start ("The disk is full").
class NotListed : public ProgramError
{
public:
    using ProgramError::ProgramError;
};

/// Question q's text and then its four answers (q from 0 to 9).
QStringList questionTexts(const Worksheet &sheet, int q);
/// Where text i of questionTexts(sheet, q) stands, in the teacher's words: "Question 3" for the
/// question, "Question 3, answer B," for an answer.
QString textPlace(int q, qsizetype i);

/// The 72 lines of a worksheet's file, every "," of its texts stored as "&".
QStringList worksheetLines(const Worksheet &sheet);

/// Why a title may not be stored, in the teacher's words, or an empty text when it may. The
/// title must be a file name on any machine, must not stand for the register or a built-in
/// quiz, and must read back from the register as written. A title that differs from a
/// registered one only in letter case would replace that worksheet's file, so it is refused.
QString titleProblem(const QString &title, const QStringList &registered);

/// Why the worksheet cannot be saved now (its title, a character the file cannot hold, a full
/// register), or an empty text. Throws ProgramError when the register cannot be read.
QString saveProblem(const Worksheet &sheet, const QStringList &registered);

/// The note for a teacher whose text holds "&", which reads back as a comma; empty when none.
QString ampersandNote(const Worksheet &sheet);

/// Writes the worksheet's file and adds its title to the register, both under the register's
/// lock and only after every check has passed. Throws SaveRefused when a check fails (another
/// copy of the program may have filled the register meanwhile), ProgramError (FileError when
/// the disk said why) when the lock or the worksheet's file cannot be had, and then every file
/// is as it was; and NotListed when the file was saved but the register could not take its
/// title (a register that cannot be used is never rewritten).
void storeWorksheet(const Worksheet &sheet);
