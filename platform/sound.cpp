// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sound.h"

#include "platform/firstframe.h"
#include "platform/modules.h"
#include "platform/paths.h"
#include "platform/soundoutput.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibrary>
#include <QtEndian>

#include <set>

namespace {

/// The system's audio output: the sound module, loaded on first need. Only whole PCM WAV files
/// go to it.
class SystemSound : public SoundDevice
{
public:
    void play(const QString &path) override
    {
        const QString file = contentPath(path);
        if (SoundOutput *out = output(); out && ready(file))
            out->play(file);
    }

    void preload(const QString &folder)
    {
        SoundOutput *out = output();
        if (!out)
            return;
        const QDir dir(contentPath(folder));
        const QStringList files =
            dir.entryList({QStringLiteral("*.wav"), QStringLiteral("*.WAV")}, QDir::Files);
        for (const QString &file : files)
            if (ready(dir.filePath(file)))
                out->load(dir.filePath(file));
    }

private:
    SoundOutput *output()
    {
        if (m_tried)
            return m_output;
        m_tried = true;
        const QString path = modulePath(QStringLiteral("habitara-sound.so"));
        if (path.isEmpty())
            return nullptr;
        QLibrary module(path);
        // Effects made by the module live until the program ends: it stays loaded.
        module.setLoadHints(QLibrary::PreventUnloadHint);
        if (auto entry = reinterpret_cast<SoundOutputEntry>(module.resolve(soundOutputEntry)))
            m_output = entry();
        else
            qWarning("Habitara: the sound module %s cannot be loaded: %s", qPrintable(path),
                     qPrintable(module.errorString()));
        return m_output;
    }

    /// Whether the file may go to the output: known good, or checked now. Qt's sound loader
    /// waits for ever for the rest of a file that ends early (an empty one included), and the
    /// program could then never end: such a file stays silent.
    bool ready(const QString &file)
    {
        if (m_playable.count(file))
            return true;
        QFile wav(file);
        if (!QFileInfo(file).isFile() || !wav.open(QIODevice::ReadOnly) ||
            !isPlayableWav(wav.readAll()))
            return false;
        m_playable.insert(file);
        return true;
    }

    bool m_tried = false;
    SoundOutput *m_output = nullptr;
    std::set<QString> m_playable;
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
    systemSound().preload(folder);
}

void preloadSoundsAfterFirstFrame(QWidget &window, const QString &folder)
{
    afterFirstFrame(window, [folder] { preloadSounds(folder); });
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
