// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

/// The system's audio output, as the sound module gives it. The module links Qt Multimedia,
/// which brings the sound server's client and its codecs with it, so the program loads it only
/// once its first window is on the screen, or when it first plays a sound.
class SoundOutput
{
public:
    virtual ~SoundOutput() = default;
    /// Readies a whole PCM WAV file (an absolute path) so that playing it starts at once.
    virtual void load(const QString &file) = 0;
    /// Starts playing a file: fire and forget.
    virtual void play(const QString &file) = 0;
};

/// The module's one entry point, by this name: `extern "C" SoundOutput *habitara_sound_output()`.
/// It returns the same output at every call, or nullptr.
using SoundOutputEntry = SoundOutput *(*)();
inline constexpr char soundOutputEntry[] = "habitara_sound_output";
