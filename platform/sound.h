// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

/// Plays WAV files: fire and forget. A missing or damaged file, or no audio output, is silent.
class SoundDevice
{
public:
    virtual ~SoundDevice() = default;
    virtual void play(const QString &path) = 0;
};

/// The device in use: the system's audio output unless a test installed another.
SoundDevice &soundDevice();
/// Installs a device (tests install a recorder); nullptr returns to the system's output.
void setSoundDevice(std::unique_ptr<SoundDevice> device);
/// Loads every sound of the folder ahead of use, so the first play is not late.
void preloadSounds(const QString &folder);
/// Whether the bytes are a whole PCM WAV file: RIFF WAVE, a format chunk that describes PCM
/// sound, and a data chunk that is all there. Only such a file goes to the audio output.
bool isPlayableWav(const QByteArray &bytes);
