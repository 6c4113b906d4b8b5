// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

/// What the program was asked to do on its command line.
struct CommandLine
{
    /// Set when the program should end at once with this exit code (help, version or an
    /// error), after writing `output` to standard output (code 0) or standard error.
    std::optional<int> exitCode;
    QString output;

    /// The factor that scales the whole design; unset means the largest that fits the screen.
    std::optional<double> scale;
    /// The folder of teachers' worksheets; empty means the default.
    QString worksheets;
    /// Where every print goes as a PDF file instead of the printer; empty means the printer.
    QString printToPdf;
    /// --read-aloud: reading aloud is on at start.
    bool readAloud = false;

    /// --import FILE: make worksheets from a GIFT or Aiken file, with no window.
    QString importFile;
    /// --export TITLE FILE: write a worksheet or built-in quiz as GIFT or Aiken, with no window.
    QString exportTitle;
    QString exportFile;
    /// "gift" or "aiken", for an export file whose name does not end in ".gift".
    QString exportFormat;
    /// Whether the program runs one of these commands instead of opening its window.
    bool runsCommand() const { return !importFile.isEmpty() || !exportTitle.isEmpty(); }
};

/// Reads the arguments (the program's name first). The worksheet folder may also be set by
/// the environment variable HABITARA_WORKSHEETS, which the option overrides.
CommandLine parseCommandLine(const QStringList &arguments, const QString &environmentWorksheets);

/// The largest factor at which an 800 x 600 window and its frame fit in the screen's available
/// area, from 1 to 4.
double fittingScale(int availableWidth, int availableHeight);
