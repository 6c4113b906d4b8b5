// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "authoring/exchange.h"

// The GIFT format of learning platforms: questions separated by blank lines, each an optional
// ::name::, an optional [format], the text and its answers in braces ("=" right, "~" wrong).
namespace gift {

/// The questions of a GIFT text, with a report of those a worksheet cannot take.
QuizReading read(const QString &text);
/// The worksheet as GIFT: every question named after the title, every special character
/// escaped, so that read() gives back the same questions.
QString write(const Worksheet &sheet);

} // namespace gift
