// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <functional>

enum MsgBoxButtons { vbOKOnly = 0, vbOKCancel = 1 };
enum MsgBoxResult { vbOK = 1, vbCancel = 2 };

/// Shows a modal message box with the program's title and waits for the answer.
int MsgBox(const QString &prompt, int buttons = vbOKOnly);
/// The same with a title of its own; an empty title stays empty.
int MsgBox(const QString &prompt, int buttons, const QString &title);

/// Answers message boxes without showing them (tests record every text this way).
using MsgBoxResponder =
    std::function<int(const QString &prompt, int buttons, const QString &title)>;
void setMsgBoxResponder(MsgBoxResponder responder);
