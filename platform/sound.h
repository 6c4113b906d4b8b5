// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

class QWidget;

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
/// Loads the system's audio output and every sound of the folder ahead of use, so the first
/// play is not late. Without it the first play loads what it needs on the spot.
void preloadSounds(const QString &folder);
/// Preloads the sounds of the folder once the window has drawn its first frame: the audio
/// output brings many libraries with it, and the first window should not wait for them.
void preloadSoundsAfterFirstFrame(QWidget &window, const QString &folder);
/// Whether the bytes are a whole PCM WAV file: RIFF WAVE, a format chunk that describes PCM
/// sound, and a data chunk that is all there. Only such a file goes to the audio output.
bool isPlayableWav(const QByteArray &bytes);
