// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <array>
#include <vector>

// The two topic quizzes as their authors write them, before they become quiz files.
namespace content {

struct QuizQuestion
{
    QString text;
    std::array<QString, 4> answers; ///< A to D
    int right = 0;                  ///< 1 for A to 4 for D
};

struct QuizSource
{
    QString title;
    std::vector<QuizQuestion> questions;
};

/// Reads a quiz source ("Title: ..." then ten blocks of "Q:", "A:" to "D:" and "Right:" lines,
/// blank lines between them). Throws std::runtime_error naming the file and line of the first
/// fault, so that a mistake stops the build.
QuizSource readQuizSource(const QString &path);

/// The source files of the topic quizzes, below the content folder.
QString quizSourcePath(const QString &topic);

} // namespace content
