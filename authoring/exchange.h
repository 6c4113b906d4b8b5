// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "authoring/worksheetfile.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

class FieldReader;

// Quizzes brought in from and taken out to a school's learning platform, in the GIFT and Aiken
// text formats. What both formats share: the questions a reader finds, the report of those a
// worksheet cannot take, reading a file in any of the encodings teachers' files come in, the
// titles imported worksheets get, and the commands the command line runs.

enum class QuizFormat { Gift, Aiken };

/// A question as a worksheet holds it: the text, four answers and the number (1 to 4) of the
/// right one.
struct QuizQuestion
{
    QString text;
    std::array<QString, 4> answers;
    int right = 0;
    bool operator==(const QuizQuestion &) const = default;
};

/// A question of the file that a worksheet cannot take, and why, in a teacher's words.
struct LeftOut
{
    int number = 0; ///< its place in the file, counted from 1
    QString start;  ///< the first words of its text, or empty
    QString reason;
    /// "Question 4, 'Match the animal…': matching questions cannot be used."
    QString line() const;
};

/// What a reader found in a file.
struct QuizReading
{
    QList<QuizQuestion> usable;
    QList<LeftOut> leftOut;
    int found = 0; ///< every question the file holds, usable or not
};

/// What a reader sees of one question before the worksheet's limits are applied.
struct ParsedQuestion
{
    QString text;
    QStringList answers;
    int rightCount = 0;
    int right = 0;    ///< 1 based, when rightCount is 1
    QString unusable; ///< set when the kind of question or its shape rules it out
};

namespace exchange {

/// The longest texts the wizard's boxes take.
inline constexpr int questionLimit = 60;
inline constexpr int answerLimit = 30;
/// Files larger than this are not quiz files a teacher wrote.
inline constexpr qsizetype largestFile = 16 * 1024 * 1024;

/// Text from a file's bytes: UTF-8 (with or without a byte-order mark), UTF-16 with its mark,
/// or else Windows-1252; line ends become "\n".
QString decodeText(const QByteArray &bytes);
/// Which format the text is in, told from its content.
QuizFormat detectFormat(const QString &text);
QString formatName(QuizFormat format);

/// Judges a parsed question against what a worksheet can hold and files it as usable or
/// left out.
void judge(QuizReading &reading, const ParsedQuestion &question);

/// Reads a text line by line in blocks of one question each, judging each question as its
/// block ends: step(line, block, finish) adds the line to the block, or first calls finish() to
/// end the block; the text's end ends the last one. parse(block) is the block's question, or
/// nothing for a block with no question in it.
template <typename Block, typename Parse, typename Step>
QuizReading readBlocks(const QString &text, Parse parse, Step step)
{
    QuizReading reading;
    Block block;
    const auto finish = [&] {
        if (const std::optional<ParsedQuestion> question = parse(block))
            judge(reading, *question);
        block = Block();
    };
    for (const QString &line : text.split(QLatin1Char('\n')))
        step(line, block, finish);
    finish();
    return reading;
}

/// The first words of a text, cut at a word, for a report.
QString startOf(const QString &text);

/// Reads the text in the format it is in.
QuizReading readQuiz(const QString &text, QuizFormat format);
/// Reads a quiz file, telling its format from its content; throws ProgramError, in a
/// teacher's words, when it cannot be read.
QuizReading readQuizFile(const QString &file, QuizFormat *format);
/// "\"deserts.gift\" (GIFT) holds 23 questions, 20 of them usable in a worksheet."
QString readingSummary(const QString &file, QuizFormat format, const QuizReading &reading);
/// The questions left out, one a line, or an empty text when none was.
QString leftOutReport(const QuizReading &reading);

/// Why this worksheet cannot be exported (the same checks as saving, plus texts a quiz file
/// of another program cannot carry), or an empty text. A worksheet read from its file, or a
/// built-in quiz, has its title checked no more.
QString exportProblem(const Worksheet &sheet, bool checkTitle = true);
/// The worksheet in the format, as UTF-8 text with CR LF line ends.
QByteArray exportText(const Worksheet &sheet, QuizFormat format);
/// The format a chosen file name asks for: GIFT for ".gift", otherwise the one given.
QuizFormat formatForFile(const QString &path, QuizFormat otherwise);

/// A worksheet title from a file's name: characters a title cannot hold become spaces and it
/// is cut at a word to the title box's 25 characters.
QString titleFromFileName(const QString &path);
/// The title of worksheet `part` (counted from 1) of `parts` made from a file: the base
/// alone when there is one part, numbered when there are several, and numbered on (never the
/// same as a registered title, nor one the usual title checks refuse) when taken. Titles in
/// `taken` are avoided too.
QString importTitle(const QString &base, int part, int parts, const QStringList &taken);

/// Builds a worksheet from up to ten questions; missing questions stay empty.
Worksheet worksheetOf(const QString &title, const QList<QuizQuestion> &questions);
/// The worksheet file's texts back as questions.
QList<QuizQuestion> questionsOf(const Worksheet &sheet);

/// Why an exported file may not be written there (into the worksheet folder, or over a
/// folder), or an empty text.
QString exportTargetProblem(const QString &path);
/// Writes a file whole or not at all; throws ProgramError saying why when it cannot.
void writeWholeFile(const QString &path, const QByteArray &bytes);

/// The result of a command-line command: what to print and the exit code.
struct CommandResult
{
    int exitCode = 0;
    QString out;
    QString err;
};

/// habitara --import FILE: worksheets in the worksheet folder, one for every ten usable
/// questions, under the register's lock.
CommandResult importCommand(const QString &file);
/// habitara --export TITLE FILE: a registered worksheet or a built-in quiz in a format.
CommandResult exportCommand(const QString &title, const QString &file, QuizFormat format);
/// The worksheet of a registered title or a built-in quiz, read with the quiz reader.
Worksheet loadWorksheet(const QString &title);
/// Reads a worksheet file's fields into a worksheet; throws ProgramError when a question has
/// no right answer from 1 to 4.
Worksheet readWorksheet(FieldReader &file);

} // namespace exchange
