// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <functional>

/// The system's speech engine as the program sees it: the habitara-speech program, started
/// after the first frame, or when reading aloud is first switched on.
class SpeechOutput
{
public:
    /// Failed: the last utterance failed (the next may yet succeed), or the engine is gone.
    enum class State { Ready, Speaking, Failed };

    virtual ~SpeechOutput() = default;
    /// Whether it can speak: an engine with a voice and a sound output to speak into, still
    /// running. Waits for the engine's answer when it has not given it yet.
    virtual bool available() = 0;
    /// Stops whatever is being said, then starts saying text: one utterance at a time.
    virtual void say(const QString &text) = 0;
    /// Stops at once.
    virtual void stop() = 0;
    virtual State state() const = 0;
    /// Called at every change of state.
    virtual void setStateListener(std::function<void(State)> listener) = 0;
};
