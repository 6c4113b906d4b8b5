// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <stdexcept>

class QString;

/// An error the program raises itself; its text is shown to the user where it is not trapped.
class ProgramError : public std::runtime_error
{
public:
    explicit ProgramError(const QString &message);
};

/// Runs an event handler. An error that escapes it becomes a message box and the program goes
/// on; once the program has ended no handler runs at all.
void guard(const std::function<void()> &handler);

/// Closes every screen at once; no handler of any screen runs afterwards.
void endProgram();
bool programEnded();
/// Lets handlers run again after endProgram (tests start each case with a live program).
void restartProgram();
