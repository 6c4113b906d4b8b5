// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <functional>

class QObject;
class Timer;

// What reading aloud says and when, on every screen at once: F2 turns it on and off; the
// control the keyboard focus moves to, or the pointer rests on for half a second, is said by
// the name a screen reader hears; any key stops what is being said, and so does leaving a
// screen. What the screens announce is said by the announcements themselves.
namespace readaloud {

/// Starts following the program's keys, pointer, focus and screens; the first screen does this.
void follow();
/// F2 and the speaker button: reading aloud on when off, off when on, and says so.
void switchOver();
/// Runs changed (in context, while it lives) whenever switchOver() turns reading aloud on or off.
void whenSwitched(QObject *context, std::function<void()> changed);
/// The half-second clock of the pointer's rest; tests drive it by hand.
Timer &restClock();

} // namespace readaloud
