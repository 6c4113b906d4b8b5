// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/modules.h"

#include <QCoreApplication>
#include <QFileInfo>

QString modulePath(const QString &fileName, const QString &builtAt)
{
    QStringList candidates;
    if (QCoreApplication::instance())
        candidates << QCoreApplication::applicationDirPath() +
                          QStringLiteral("/../lib/habitara/plugins/") + fileName;
    if (!builtAt.isEmpty())
        candidates << builtAt;
    for (const QString &candidate : candidates)
        if (QFileInfo::exists(candidate))
            return candidate;
    return QString();
}
