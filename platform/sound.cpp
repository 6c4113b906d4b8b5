// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sound.h"

#include "platform/paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>
#include <QtEndian>

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
        // Qt's sound loader waits for ever for the rest of a file that ends early (an empty
        // one included), and the program could then never end: such a file stays silent.
        QFile wav(file);
        if (!wav.open(QIODevice::ReadOnly) || !isPlayableWav(wav.readAll()))
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

bool isPlayableWav(const QByteArray &bytes)
{
    const auto u16 = [&](qsizetype at) {
        return qFromLittleEndian<quint16>(bytes.constData() + at);
    };
    const auto u32 = [&](qsizetype at) {
        return qFromLittleEndian<quint32>(bytes.constData() + at);
    };
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE")
        return false;
    bool format = false;
    qsizetype at = 12;
    while (at + 8 <= bytes.size()) {
        const QByteArray id = bytes.mid(at, 4);
        const qint64 size = u32(at + 4);
        const qsizetype body = at + 8;
        if (size > bytes.size() - body)
            return false;
        if (id == "fmt ") {
            if (size < 16)
                return false;
            const quint16 tag = u16(body), channels = u16(body + 2), bits = u16(body + 14);
            const quint32 rate = u32(body + 4);
            format = (tag == 1 || tag == 0xFFFE) && channels > 0 && rate > 0 &&
                     (bits == 8 || bits == 16 || bits == 24 || bits == 32);
            if (!format)
                return false;
        } else if (id == "data") {
            return format && size > 0;
        }
        at = body + size + (size & 1);
    }
    return false;
}
