// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

class QWidget;

/// Runs work once the window has drawn its first frame, one turn of the event loop later, so
/// that the frame is on the screen before the work starts. A window already on the screen
/// gets the work on the next turn. What the title screen does not need (the audio output, the
/// speech engine) is started this way, so the first window never waits for it.
void afterFirstFrame(QWidget &window, std::function<void()> work);
