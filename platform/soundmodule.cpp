// SPDX-License-Identifier: GPL-3.0-or-later
// The sound module: the system's audio output through QSoundEffect, loaded by the program
// after its first frame (platform/sound.cpp).
#include "platform/soundoutput.h"

#include <QAudioDevice>
#include <QCoreApplication>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

#include <cstdio>
#include <map>

namespace {

/// One cached QSoundEffect a file, so a sound loads once. Without an audio device nothing is
/// loaded or played, and the console says so once.
class EffectOutput : public SoundOutput
{
public:
    EffectOutput() : m_device(!QMediaDevices::audioOutputs().isEmpty())
    {
        if (!m_device)
            std::fputs("Habitara: No audio device; the program plays no sounds.\n", stderr);
    }

    void load(const QString &file) override { effectFor(file); }

    void play(const QString &file) override
    {
        if (QSoundEffect *effect = effectFor(file))
            effect->play();
    }

private:
    QSoundEffect *effectFor(const QString &file)
    {
        if (!m_device)
            return nullptr;
        auto it = m_effects.find(file);
        if (it != m_effects.end())
            return it->second;
        auto *effect = new QSoundEffect(QCoreApplication::instance());
        effect->setSource(QUrl::fromLocalFile(file));
        m_effects[file] = effect;
        return effect;
    }

    bool m_device;
    std::map<QString, QSoundEffect *> m_effects;
};

} // namespace

extern "C" Q_DECL_EXPORT SoundOutput *habitara_sound_output()
{
    static EffectOutput *output = new EffectOutput;
    return output;
}
