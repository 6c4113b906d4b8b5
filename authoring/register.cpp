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
#include <QRegularExpression>
#include <QThread>

#include <cerrno>
#include <sys/statvfs.h>

namespace {

/// How long a save waits for another copy of the program to finish with the register.
constexpr int lockWaitMs = 10000;
constexpr int lockPollMs = 5;

const QByteArray byteOrderMark("\xEF\xBB\xBF");

/// A line without its line end (LF, or CR LF).
QByteArray content(QByteArray line)
{
    if (line.endsWith('\n'))
        line.chop(1);
    if (line.endsWith('\r'))
        line.chop(1);
    return line;
}

bool isBlank(const QByteArray &text)
{
    for (char c : text)
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n')
            return false;
    return true;
}

/// A piece of a damaged line, fit to quote in a message.
QString quoted(const QByteArray &bytes)
{
    QString text = LineWriter::decode(bytes.left(40));
    for (QChar &c : text)
        if (c.unicode() < 32 || c.unicode() == 127)
            c = QLatin1Char('?');
    return text + (bytes.size() > 40 ? QStringLiteral("...") : QString());
}

QString worksheetsWord(qsizetype n)
{
    return n == 1 ? QStringLiteral("1 worksheet") : QStringLiteral("%1 worksheets").arg(n);
}

/// Copies the titles into the shared list as numworksheets and worksheetnames.
void share(const QStringList &titles)
{
    const int n = int(std::min<qsizetype>(titles.size(), maxWorksheets));
    Module1::numworksheets = n;
    for (int i = 1; i <= maxWorksheets; ++i)
        Module1::worksheetnames[i] = i <= n ? titles[i - 1] : QString();
}

QByteArray countLine(qsizetype n)
{
    return " " + QByteArray::number(n) + "\r\n";
}

/// The kept lines, each ended, so that a line can follow the last.
QByteArray keptLines(const QList<QByteArray> &lines, qsizetype skip = -1)
{
    QByteArray out;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i == skip)
            continue;
        out += lines[i];
        // The last line may end without a line end, or with a CR alone: it is ended so that it
        // reads back the same.
        if (!lines[i].endsWith('\n'))
            out += lines[i].endsWith('\r') ? "\n" : "\r\n";
    }
    return out;
}

QString lowerFirst(QString text)
{
    if (!text.isEmpty())
        text[0] = text[0].toLower();
    return text;
}

} // namespace

QString registerPath()
{
    return QStringLiteral("multiple/track.txt");
}

QString unsafeTitle(const QString &title)
{
    for (QChar c : title)
        if (c.unicode() < 32 || c.unicode() == 127)
            return QStringLiteral("its title holds a control character");
    if (title.contains(QLatin1Char('/')) || title.contains(QLatin1Char('\\')))
        return QStringLiteral("its title holds \"/\" or \"\\\", which would lead out of the "
                              "worksheet folder");
    if (title == QLatin1String(".."))
        return QStringLiteral("its title is \"..\", which would lead out of the worksheet folder");
    return QString();
}

QString worksheetPath(const QString &title)
{
    if (const QString problem = unsafeTitle(title); !problem.isEmpty())
        throw FileError(
            FileError::NotOrdinary,
            QStringLiteral("The worksheet \"%1\" cannot be opened: %2").arg(title, problem));
    return QStringLiteral("multiple/") + title + QStringLiteral(".txt");
}

QByteArray RegisterFile::withTitle(const QString &title) const
{
    return countLine(titles.size() + 1) + keptLines(lines) + LineWriter::encode(title) + "\r\n";
}

QByteArray RegisterFile::withoutTitle(qsizetype index) const
{
    return countLine(titles.size() - 1) + keptLines(lines, titleLines[index]);
}

RegisterFile parseRegister(const QByteArray &bytes)
{
    RegisterFile r;
    if (const qsizetype nul = bytes.indexOf('\0'); nul >= 0) {
        r.unusable = QStringLiteral("its line %1 holds a NUL character, which a list of "
                                    "worksheets never holds")
                         .arg(bytes.left(nul).count('\n') + 1);
        return r;
    }
    if (isBlank(bytes))
        return r;
    QList<QByteArray> all;
    for (qsizetype start = 0; start < bytes.size();) {
        const qsizetype end = bytes.indexOf('\n', start);
        const qsizetype next = end < 0 ? bytes.size() : end + 1;
        all << bytes.mid(start, next - start);
        start = next;
    }
    QByteArray count = content(all.takeFirst());
    const bool marked = count.startsWith(byteOrderMark);
    if (marked)
        count.remove(0, byteOrderMark.size());
    static const QRegularExpression number(QStringLiteral("^[ \\t]*(-?[0-9]+)[ \\t]*$"));
    const QRegularExpressionMatch m = number.match(QString::fromLatin1(count));
    if (!m.hasMatch()) {
        r.unusable = QStringLiteral("its line 1 holds \"%1\" where the number of worksheets "
                                    "should be")
                         .arg(quoted(count));
        return r;
    }
    r.lines = all;
    for (qsizetype i = 0; i < r.lines.size(); ++i) {
        const QByteArray line = content(r.lines[i]);
        if (isBlank(line))
            continue;
        r.titles << LineWriter::decode(line);
        r.titleLines << int(i);
    }
    bool ok = false;
    const qlonglong declared = m.captured(1).toLongLong(&ok);
    QStringList problems;
    if (marked)
        problems << QStringLiteral("its line 1 begins with a byte-order mark, put there by "
                                   "another program");
    if (!ok || declared != r.titles.size())
        problems << QStringLiteral("its line 1 says it lists %1, but it lists %2")
                        .arg(ok ? worksheetsWord(declared) : m.captured(1),
                             worksheetsWord(r.titles.size()));
    r.damage = problems.join(QStringLiteral(", and "));
    return r;
}

RegisterFile loadRegister()
{
    const QString path = writablePath(registerPath());
    try {
        requireMissingOrOrdinary(path);
        if (!QFileInfo::exists(path))
            return {};
        return parseRegister(readOrdinaryFile(path));
    } catch (const FileError &e) {
        RegisterFile r;
        r.unusable = lowerFirst(e.cause());
        return r;
    }
}

QStringList readRegister()
{
    const RegisterFile r = loadRegister();
    if (!r.unusable.isEmpty())
        throw ProgramError(QStringLiteral("The list of worksheets cannot be used: ") + r.unusable +
                           QLatin1Char('.'));
    return r.titles;
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

/// The lock files are read while waiting: a pipe or a link in their place is refused, never
/// read or waited on.
void requireOrdinaryLocks(const QString &path)
{
    QString p = path;
    for (int depth = 0; depth <= 3; ++depth, p += QStringLiteral(".rmlock"))
        requireMissingOrOrdinary(p);
}

/// Why the lock file could not be made, when QLockFile does not say.
FileError lockError(const QLockFile &lock, int error)
{
    const QString path = lock.fileName();
    if (lock.error() == QLockFile::PermissionError)
        return FileError::fromErrno(EACCES, path, true);
    if (error == ENOSPC || error == EDQUOT || error == EROFS || error == EACCES)
        return FileError::fromErrno(error, path, true);
    struct statvfs fs;
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    if (::statvfs(folder.constData(), &fs) == 0 && fs.f_bavail == 0)
        return FileError::fromErrno(ENOSPC, path, true);
    if (!QFileInfo(QFileInfo(path).absolutePath()).isDir())
        return FileError::fromErrno(ENOENT, path, true);
    return FileError(
        FileError::Damaged,
        QStringLiteral("The lock file \"%1\" could not be made").arg(QFileInfo(path).fileName()));
}

} // namespace

RegisterLock::RegisterLock() : m_lock(writablePath(registerPath()) + QStringLiteral(".lock"))
{
    // Another copy holds the lock only for the moment of one save, so it is asked for often;
    // QLockFile's own waiting backs off to seconds between tries.
    const QDeadlineTimer deadline(lockWaitMs);
    for (;;) {
        requireOrdinaryLocks(m_lock.fileName());
        errno = 0;
        if (m_lock.tryLock(0))
            break;
        const int error = errno;
        if (m_lock.error() != QLockFile::LockFailedError)
            throw lockError(m_lock, error);
        if (deadline.hasExpired())
            throw ProgramError(QStringLiteral("The list of worksheets is in use by another copy "
                                              "of the program"));
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
    const RegisterFile r = loadRegister();
    if (!r.unusable.isEmpty())
        throw ProgramError(QStringLiteral("The list of worksheets cannot be used: ") + r.unusable);
    share(r.titles);
    if (r.titles.contains(title))
        return;
    if (r.titles.size() >= maxWorksheets)
        throw ProgramError(QStringLiteral("The list of worksheets is full"));
    LineWriter writer(registerPath());
    writer.writeBytes(r.withTitle(title));
    writer.commit();
}

void trackworksheets(const QString &title)
{
    RegisterLock lock;
    trackworksheetsLocked(title);
}

void delworksheet()
{
    RegisterLock lock;
    const RegisterFile r = loadRegister();
    if (!r.unusable.isEmpty())
        throw ProgramError(QStringLiteral("The list of worksheets cannot be used: ") + r.unusable);
    share(r.titles);
    const qsizetype k = r.titles.lastIndexOf(Module1::chosenworksheet);
    if (k < 0)
        return;
    LineWriter writer(registerPath());
    writer.writeBytes(r.withoutTitle(k));
    writer.commit();
    QStringList titles = r.titles;
    titles.removeAt(k);
    share(titles);
}
