// SPDX-License-Identifier: GPL-3.0-or-later
#include "authoring/register.h"

#include "app/Module1.h"
#include "platform/guard.h"
#include "platform/paths.h"
#include "platform/textfile.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>

namespace {

/// How long a save waits for another copy of the program to finish with the register.
constexpr int lockWaitMs = 10000;
constexpr int lockPollMs = 5;

/// Whether the register holds nothing but blanks and line ends (or nothing at all).
bool isBlank(const QByteArray &bytes)
{
    for (char c : bytes)
        if (c != ' ' && c != '\r' && c != '\n' && c != '\t')
            return false;
    return true;
}

int parseCount(const QString &field)
{
    bool ok = false;
    const int count = field.trimmed().toInt(&ok);
    if (!ok || count < 0 || count > maxWorksheets)
        throw ProgramError(
            QStringLiteral("The list of worksheets starts with \"%1\", not a number of worksheets.")
                .arg(field));
    return count;
}

/// Copies the titles into the shared list as numworksheets and worksheetnames.
void share(const QStringList &titles)
{
    Module1::numworksheets = int(titles.size());
    for (int i = 1; i <= maxWorksheets; ++i)
        Module1::worksheetnames[i] = i <= titles.size() ? titles[i - 1] : QString();
}

} // namespace

QString registerPath()
{
    return QStringLiteral("multiple/track.txt");
}

QString worksheetPath(const QString &title)
{
    return QStringLiteral("multiple/") + title + QStringLiteral(".txt");
}

QStringList parseRegister(FieldReader &reader)
{
    const int count = parseCount(reader.readField());
    QStringList titles;
    titles.reserve(count);
    for (int i = 1; i <= count; ++i)
        titles << reader.readField();
    return titles;
}

QStringList readRegister()
{
    // The register belongs to the worksheet folder alone, never to the content.
    const QString path = writablePath(registerPath());
    if (!QFileInfo::exists(path))
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw ProgramError(QStringLiteral("The list of worksheets could not be opened."));
    const QByteArray bytes = file.readAll();
    if (isBlank(bytes))
        return {};
    FieldReader reader = FieldReader::fromBytes(bytes);
    return parseRegister(reader);
}

QStringList readRegisterLeniently()
{
    QStringList titles;
    try {
        FieldReader reader(writablePath(registerPath()));
        const int count = reader.readField().trimmed().toInt();
        for (int i = 1; i <= count && i <= maxWorksheets; ++i)
            titles << reader.readField();
    } catch (const ProgramError &) {
        // What was read before the damage is listed.
    }
    return titles;
}

void writeRegister(const QStringList &titles)
{
    if (titles.size() > maxWorksheets)
        throw ProgramError(QStringLiteral("The list of worksheets is full."));
    LineWriter writer(registerPath());
    writer.writeLine(QLatin1Char(' ') + QString::number(titles.size()));
    for (const QString &title : titles)
        writer.writeLine(title);
    writer.commit();
}

namespace {

/// How long a copy of the program may take between making its lock file and writing its name
/// into it.
constexpr int ownerlessGraceMs = 2000;

/// Whether a lock file names no owner and is older than the grace time. Such a file was left by a
/// copy of the program that stopped (a power cut, a kill) between making it and writing into it.
bool ownerless(const QString &path)
{
    QLockFile lock(path);
    qint64 pid = 0;
    QString host, app;
    const QFileInfo info(path);
    return info.exists() && !lock.getLockInfo(&pid, &host, &app) &&
           info.lastModified().msecsTo(QDateTime::currentDateTime()) > ownerlessGraceMs;
}

/// Clears what a cut left in the way of the lock file at path. An ownerless lock file is one
/// QLockFile would call stale only after half a minute, and until then no worksheet could be
/// saved. Two copies cleaning up at once agree through a guard lock file (QLockFile's own, used
/// when it removes a lock whose owner has died), so that neither removes a lock the other has
/// just made. A cut while that guard was being made leaves the guard ownerless in turn, and then
/// no stale lock could be removed, whoever owned it: so the guard is cleared first, the same
/// way, and its own guard before it.
void clearAfterCut(const QString &path, int depth = 0)
{
    const QString guardPath = path + QStringLiteral(".rmlock");
    if (depth < 2)
        clearAfterCut(guardPath, depth + 1);
    if (!ownerless(path))
        return;
    QLockFile cleaning(guardPath);
    if (cleaning.tryLock(0) && ownerless(path))
        QFile::remove(path);
}

} // namespace

RegisterLock::RegisterLock() : m_lock(writablePath(registerPath()) + QStringLiteral(".lock"))
{
    // Another copy holds the lock only for the moment of one save, so it is asked for often;
    // QLockFile's own waiting backs off to seconds between tries.
    const QDeadlineTimer deadline(lockWaitMs);
    while (!m_lock.tryLock(0)) {
        if (m_lock.error() != QLockFile::LockFailedError || deadline.hasExpired())
            throw ProgramError(QStringLiteral("The list of worksheets is in use by another copy "
                                              "of the program, or its lock cannot be made."));
        clearAfterCut(m_lock.fileName());
        QThread::msleep(lockPollMs);
    }
}

RegisterLock::~RegisterLock()
{
    m_lock.unlock();
}

void trackworksheetsLocked(const QString &title)
{
    QStringList titles = readRegister();
    share(titles);
    if (titles.contains(title))
        return;
    titles << title;
    writeRegister(titles);
}

void trackworksheets(const QString &title)
{
    RegisterLock lock;
    trackworksheetsLocked(title);
}

void delworksheet()
{
    RegisterLock lock;
    QStringList titles = readRegister();
    share(titles);
    const qsizetype k = titles.lastIndexOf(Module1::chosenworksheet);
    if (k < 0)
        return;
    titles.removeAt(k);
    writeRegister(titles);
    share(titles);
}
