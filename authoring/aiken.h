// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "authoring/exchange.h"

// The Aiken format of learning platforms: a question line, its answers "A." or "A)" one a
// line, then "ANSWER: B".
namespace aiken {

/// The questions of an Aiken text, with a report of those a worksheet cannot take.
QuizReading read(const QString &text);
/// The worksheet as Aiken text, which read() gives back as the same questions.
QString write(const Worksheet &sheet);

} // namespace aiken
