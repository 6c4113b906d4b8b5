// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <memory>

class QWidget;
class SpeechOutput;

// Reading aloud, for pupils who read slowly: a switch the pupil or teacher turns on and off
// for this run, and one voice that says one thing at a time. What it says is what a screen
// reader hears (accessible names and announcements), so the two never say different things.
namespace readaloud {

/// A voice: says one thing at a time.
class Voice
{
public:
    virtual ~Voice() = default;
    /// Whether the voice can speak at all: an engine with a voice. May start the engine.
    virtual bool available() = 0;
    /// Starts saying text; whatever was being said stops first.
    virtual void say(const QString &text) = 0;
    /// Stops at once; nothing is said afterwards until the next say().
    virtual void stop() = 0;
};

/// The voice in use: the system's speech engine unless a test installed another.
Voice &voice();
/// Installs a voice (tests install a recorder); nullptr returns to the system's engine.
void setVoice(std::unique_ptr<Voice> voice);
/// Starts the system's speech engine once the window has drawn its first frame: the engine
/// brings the sound server's client with it, and the first window should not wait for it.
void startVoiceAfterFirstFrame(QWidget &window);

/// The system's speech engine (the habitara-speech program), started on the first call. The
/// voice in use speaks through it unless a test installed another.
SpeechOutput *systemSpeech();

/// Whether the school's settings turn reading aloud on at start: `on=true` in the group
/// [ReadAloud] of the system-wide settings file, /etc/xdg/Habitara/Habitara.conf (Qt's system
/// scope for the organisation and program Habitara). The file is only ever read.
bool onBySchoolSettings();
/// Turns reading aloud on once the voice has started after the window's first frame (the
/// teacher's default): where no voice is available the message shows over that window.
void setOnAfterFirstFrame(QWidget &window);

/// Whether reading aloud is on.
bool isOn();
/// Turns reading aloud on or off for this run only; it is never saved. Turning it on where no
/// voice is available says "Reading aloud is not available on this computer." the first time
/// and leaves it off; every later try is silent.
void setOn(bool on);
/// F2 and the speaker button: on when off, off when on.
void toggle();

/// Says text when reading aloud is on, cutting off whatever was being said; nothing when off.
void say(const QString &text);
/// Stops whatever is being said (leaving a screen, a key on a page being read).
void stop();

/// Back to the state at start-up: off, the message not yet given (tests).
void reset();

} // namespace readaloud
