// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/modules.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace {

/// Where the build made a part, when this build made it.
QString builtAt(const QString &fileName)
{
#ifdef HABITARA_SOUND_MODULE
    if (fileName == QLatin1String("habitara-sound.so"))
        return QStringLiteral(HABITARA_SOUND_MODULE);
#endif
#ifdef HABITARA_SPEECH_MODULE
    if (fileName == QLatin1String("habitara-speech"))
        return QStringLiteral(HABITARA_SPEECH_MODULE);
#endif
    Q_UNUSED(fileName);
    return QString();
}

} // namespace

QString modulePath(const QString &fileName)
{
    const QString built = builtAt(fileName);
    QStringList candidates;
    if (QCoreApplication::instance())
        candidates << QCoreApplication::applicationDirPath() +
                          QStringLiteral("/../lib/habitara/plugins/") + fileName;
    if (!built.isEmpty())
        candidates << built;
    for (const QString &candidate : candidates)
        if (QFileInfo::exists(candidate))
            return candidate;
    return QString();
}
