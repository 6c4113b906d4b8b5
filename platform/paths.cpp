// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/paths.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

QString contentPath(const QString &relativePath)
{
    static const QRegularExpression separators(QStringLiteral("[\\\\/]+"));
    const QStringList parts = relativePath.split(separators, Qt::SkipEmptyParts);
    // An absolute path (the content build writes to one) is matched from the root instead.
    const bool absolute = relativePath.startsWith(QLatin1Char('/'));
    QString path = absolute ? QString() : QDir::currentPath();
    bool matching = true;
    for (const QString &part : parts) {
        const QString exact = path + QLatin1Char('/') + part;
        if (matching && !QFileInfo::exists(exact)) {
            const QStringList entries =
                QDir(path.isEmpty() ? QStringLiteral("/") : path)
                    .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
            auto it = std::find_if(entries.begin(), entries.end(), [&](const QString &e) {
                return e.compare(part, Qt::CaseInsensitive) == 0;
            });
            if (it != entries.end()) {
                path += QLatin1Char('/') + *it;
                continue;
            }
            matching = false;
        }
        path = exact;
    }
    return path;
}
