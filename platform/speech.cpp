// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/speech.h"

#include "platform/msgbox.h"

#include <QCoreApplication>
#include <QTimer>

namespace readaloud {
namespace {

/// The system's speech engine. Until an engine is found there is no voice.
class SystemVoice : public Voice
{
public:
    bool available() override { return false; }
    void say(const QString &) override {}
    void stop() override {}
};

struct State
{
    std::unique_ptr<Voice> installed;
    bool on = false;
    bool toldUnavailable = false;
};

State &state()
{
    static State s;
    return s;
}

SystemVoice &systemVoice()
{
    static SystemVoice *voice = new SystemVoice;
    return *voice;
}

} // namespace

Voice &voice()
{
    if (state().installed)
        return *state().installed;
    return systemVoice();
}

void setVoice(std::unique_ptr<Voice> voice)
{
    state().installed = std::move(voice);
}

void startVoiceAfterFirstFrame(QWidget &)
{
    QTimer::singleShot(0, QCoreApplication::instance(), [] { voice().available(); });
}

bool isOn()
{
    return state().on;
}

void setOn(bool on)
{
    State &s = state();
    if (!on) {
        s.on = false;
        voice().stop();
        return;
    }
    if (s.on)
        return;
    if (!voice().available()) {
        if (!s.toldUnavailable) {
            s.toldUnavailable = true;
            MsgBox(QStringLiteral("Reading aloud is not available on this computer."));
        }
        return;
    }
    s.on = true;
}

void toggle()
{
    setOn(!isOn());
}

void say(const QString &text)
{
    if (state().on && !text.trimmed().isEmpty())
        voice().say(text);
}

void stop()
{
    if (state().on)
        voice().stop();
}

void reset()
{
    State &s = state();
    if (s.on)
        voice().stop();
    s.on = false;
    s.toldUnavailable = false;
}

} // namespace readaloud
