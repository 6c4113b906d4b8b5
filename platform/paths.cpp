// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/paths.h"

#include "platform/guard.h"
#include "platform/textfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryFile>

#include <algorithm>

namespace {

QString s_contentFolder;
QString s_worksheetFolder;

QStringList split(const QString &path)
{
    static const QRegularExpression separators(QStringLiteral("[\\\\/]+"));
    return path.split(separators, Qt::SkipEmptyParts);
}

/// Joins parts to a folder, matching each part's letter case to what is on disk while it can.
QString resolve(QString path, const QStringList &parts)
{
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

bool belowWorksheets(const QStringList &parts)
{
    return parts.size() > 1 &&
           parts.first().compare(QLatin1String("multiple"), Qt::CaseInsensitive) == 0;
}

QString root()
{
    return s_contentFolder.isEmpty() ? QDir::currentPath() : s_contentFolder;
}

} // namespace

QString contentPath(const QString &relativePath)
{
    const QStringList parts = split(relativePath);
    if (relativePath.startsWith(QLatin1Char('/')))
        return resolve(QString(), parts);
    if (belowWorksheets(parts) && !s_worksheetFolder.isEmpty()) {
        const QString own = resolve(s_worksheetFolder, parts.mid(1));
        if (QFileInfo::exists(own))
            return own;
    }
    return resolve(root(), parts);
}

QString writablePath(const QString &relativePath)
{
    const QStringList parts = split(relativePath);
    if (belowWorksheets(parts) && !relativePath.startsWith(QLatin1Char('/')))
        return resolve(worksheetFolder(), parts.mid(1));
    return contentPath(relativePath);
}

void setContentFolder(const QString &folder)
{
    s_contentFolder = folder.isEmpty() ? QString() : QDir(folder).absolutePath();
}

QString contentFolder()
{
    return root();
}

QString installedContentFolder(const QString &programFolder)
{
    const QDir share(programFolder + QStringLiteral("/../share/habitara"));
    if (QFileInfo(programFolder).fileName() == QLatin1String("bin") &&
        QFileInfo::exists(share.filePath(QStringLiteral("images"))))
        return share.canonicalPath();
    return QString();
}

void setWorksheetFolder(const QString &folder)
{
    s_worksheetFolder = folder.isEmpty() ? QString() : QDir(folder).absolutePath();
}

QString worksheetFolder()
{
    if (!s_worksheetFolder.isEmpty())
        return s_worksheetFolder;
    return resolve(root(), {QStringLiteral("multiple")});
}

bool inWorksheetFolder(const QString &path)
{
    return QDir::cleanPath(QFileInfo(path).absolutePath()) ==
           QDir::cleanPath(QDir(worksheetFolder()).absolutePath());
}

void prepareWorksheetFolder()
{
    const QString folder = worksheetFolder();
    const QFileInfo info(folder);
    if (info.exists() && !info.isDir())
        throw ProgramError(QStringLiteral("\"%1\" is a file, not a folder.").arg(folder));
    if (!info.exists() && !QDir().mkpath(folder))
        throw ProgramError(QStringLiteral("The folder \"%1\" could not be made.").arg(folder));
    QTemporaryFile probe(folder + QStringLiteral("/.habitara-XXXXXX"));
    if (!probe.open())
        throw ProgramError(QStringLiteral("The folder \"%1\" cannot be written to.").arg(folder));
    probe.remove();
    removeLeftTemporaries(folder);
    const QString registerPath = resolve(folder, {QStringLiteral("track.txt")});
    try {
        createNewFile(registerPath, " 0\r\n");
    } catch (const FileError &e) {
        throw ProgramError(QStringLiteral("The register \"%1\" could not be written: %2.")
                               .arg(registerPath, e.cause()));
    }
}
