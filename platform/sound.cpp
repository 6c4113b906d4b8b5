// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sound.h"

#include "platform/paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>

#include <map>

namespace {

/// The system's audio output: one cached QSoundEffect a file, so a sound loads once.
class SystemSound : public SoundDevice
{
public:
    void play(const QString &path) override
    {
        if (QSoundEffect *effect = effectFor(contentPath(path)))
            effect->play();
    }

    QSoundEffect *effectFor(const QString &file)
    {
        auto it = m_effects.find(file);
        if (it != m_effects.end())
            return it->second;
        if (!QFileInfo(file).isFile())
            return nullptr;
        auto *effect = new QSoundEffect(QCoreApplication::instance());
        effect->setSource(QUrl::fromLocalFile(file));
        m_effects[file] = effect;
        return effect;
    }

private:
    std::map<QString, QSoundEffect *> m_effects;
};

std::unique_ptr<SoundDevice> &installed()
{
    static std::unique_ptr<SoundDevice> device;
    return device;
}

SystemSound &systemSound()
{
    static SystemSound *device = new SystemSound;
    return *device;
}

} // namespace

SoundDevice &soundDevice()
{
    if (installed())
        return *installed();
    return systemSound();
}

void setSoundDevice(std::unique_ptr<SoundDevice> device)
{
    installed() = std::move(device);
}

void preloadSounds(const QString &folder)
{
    if (installed())
        return;
    const QDir dir(contentPath(folder));
    const QStringList files =
        dir.entryList({QStringLiteral("*.wav"), QStringLiteral("*.WAV")}, QDir::Files);
    for (const QString &file : files)
        systemSound().effectFor(dir.filePath(file));
}
