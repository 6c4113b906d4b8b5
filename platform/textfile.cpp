// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/textfile.h"

#include "platform/paths.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringEncoder>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool isLineEnd(QChar c)
{
    return c == QLatin1Char('\r') || c == QLatin1Char('\n');
}

/// The failure a test asked for: how many more bytes may be written, and the error then.
qint64 s_faultAfter = -1;
int s_faultError = 0;

QString nameOf(const QString &path)
{
    return QFileInfo(path).fileName();
}

QString folderOf(const QString &path)
{
    return QDir::toNativeSeparators(QFileInfo(path).absolutePath());
}

/// What stands at a path instead of an ordinary file, as the error that refuses it.
FileError notOrdinary(const struct stat &st, const QString &path)
{
    QString what = QStringLiteral("something other than an ordinary file");
    if (S_ISLNK(st.st_mode))
        what = QStringLiteral("a link to another file");
    else if (S_ISDIR(st.st_mode))
        what = QStringLiteral("a folder");
    else if (S_ISFIFO(st.st_mode))
        what = QStringLiteral("a pipe");
    else if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode))
        what = QStringLiteral("a device");
    return FileError(FileError::NotOrdinary,
                     QStringLiteral("\"%1\" is %2, not an ordinary file").arg(nameOf(path), what));
}

/// Closes a descriptor when it goes out of scope.
class Descriptor
{
public:
    explicit Descriptor(int fd = -1) : m_fd(fd) {}
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    int get() const { return m_fd; }
    /// Closes now, reporting the error a close can bring (a delayed write that failed).
    int close()
    {
        const int r = ::close(m_fd);
        m_fd = -1;
        return r;
    }

private:
    int m_fd;
};

/// Writes every byte or returns the errno of the failure.
int writeAll(int fd, const QByteArray &bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        qsizetype chunk = bytes.size() - done;
        if (s_faultAfter >= 0) {
            if (s_faultAfter == 0)
                return s_faultError;
            chunk = std::min<qsizetype>(chunk, s_faultAfter);
        }
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(chunk));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (n == 0)
            return EIO;
        if (s_faultAfter >= 0)
            s_faultAfter -= n;
        done += n;
    }
    return 0;
}

/// The folder of a path, opened for syncing and for working on its entries.
int openFolder(const QString &path)
{
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        throw FileError::fromErrno(errno, path, true);
    return fd;
}

/// Refuses an entry that exists and is not an ordinary file; returns its permissions, or -1
/// when there is no entry.
int checkEntry(int dirfd, const QByteArray &name, const QString &path)
{
    struct stat st;
    if (::fstatat(dirfd, name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        if (errno == ENOENT)
            return -1;
        throw FileError::fromErrno(errno, path, true);
    }
    if (!S_ISREG(st.st_mode))
        throw notOrdinary(st, path);
    return int(st.st_mode & 07777);
}

/// Makes a temporary file in the folder beside `name`, writes the bytes and syncs them. Returns
/// its name; on failure it is gone again and FileError is thrown.
QByteArray writeTemporary(int dirfd, const QByteArray &name, const QByteArray &bytes, int mode,
                          const QString &path)
{
    QByteArray temp;
    int fd = -1;
    for (int attempt = 0; fd < 0; ++attempt) {
        temp = '.' + name + '.' + QByteArray::number(QRandomGenerator::global()->generate(), 36) +
               ".tmp";
        fd = ::openat(dirfd, temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                      0666);
        if (fd < 0 && (errno != EEXIST || attempt > 100))
            throw FileError::fromErrno(errno, path, true);
    }
    Descriptor file(fd);
    int error = 0;
    if (mode >= 0 && ::fchmod(fd, mode_t(mode)) != 0)
        error = errno;
    if (!error)
        error = writeAll(fd, bytes);
    if (!error && ::fsync(fd) != 0)
        error = errno;
    if (!error && file.close() != 0)
        error = errno;
    if (error) {
        ::unlinkat(dirfd, temp.constData(), 0);
        throw FileError::fromErrno(error, path, true);
    }
    return temp;
}

void syncFolder(int dirfd, const QString &path)
{
    // Some file systems cannot sync a folder; the rename stands all the same.
    if (::fsync(dirfd) != 0 && errno != EINVAL)
        qWarning("The folder of %s could not be synced: %s", qPrintable(path),
                 std::strerror(errno));
}

} // namespace

FileError::FileError(Kind kind, const QString &cause) : ProgramError(cause), m_kind(kind) {}

QString FileError::cause() const
{
    return QString::fromStdString(what());
}

FileError FileError::fromErrno(int error, const QString &path, bool writing)
{
    switch (error) {
    case ENOSPC:
    case EDQUOT:
        return FileError(DiskFull, QStringLiteral("The disk is full"));
    case EROFS:
        return FileError(NoPermission,
                         QStringLiteral("The disk holding the folder \"%1\" can only be read")
                             .arg(folderOf(path)));
    case EACCES:
    case EPERM:
        return FileError(NoPermission,
                         writing ? QStringLiteral("You may not change files in the folder \"%1\"")
                                       .arg(folderOf(path))
                                 : QStringLiteral("You may not read \"%1\"").arg(nameOf(path)));
    case ENOENT:
    case ENOTDIR:
        return FileError(Missing, writing
                                      ? QStringLiteral("The folder \"%1\" is not there any "
                                                       "more")
                                            .arg(folderOf(path))
                                      : QStringLiteral("\"%1\" is not there").arg(nameOf(path)));
    case ELOOP:
    case EMLINK:
        return FileError(NotOrdinary,
                         QStringLiteral("\"%1\" is a link to another file, not an ordinary file")
                             .arg(nameOf(path)));
    case ENXIO:
    case ENODEV:
    case EISDIR:
        return FileError(NotOrdinary,
                         QStringLiteral("\"%1\" is not an ordinary file").arg(nameOf(path)));
    default:
        return FileError(Damaged,
                         QStringLiteral("The disk reported an error with \"%1\" (%2)")
                             .arg(nameOf(path), QString::fromLocal8Bit(std::strerror(error))));
    }
}

QByteArray readOrdinaryFile(const QString &path, bool refuseLinks)
{
    const QByteArray native = QFile::encodeName(path);
    struct stat st;
    // Only an ordinary file is opened at all, so that a pipe or a device is never touched.
    if ((refuseLinks ? ::lstat(native.constData(), &st) : ::stat(native.constData(), &st)) != 0)
        throw FileError::fromErrno(errno, path, false);
    if (!S_ISREG(st.st_mode))
        throw notOrdinary(st, path);
    const int fd = ::open(native.constData(),
                          O_RDONLY | O_NONBLOCK | O_CLOEXEC | (refuseLinks ? O_NOFOLLOW : 0));
    if (fd < 0)
        throw FileError::fromErrno(errno, path, false);
    Descriptor file(fd);
    // It may have been swapped for something else between the look and the opening.
    if (::fstat(fd, &st) != 0)
        throw FileError::fromErrno(errno, path, false);
    if (!S_ISREG(st.st_mode))
        throw notOrdinary(st, path);
    QByteArray bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw FileError::fromErrno(errno, path, false);
        }
        if (n == 0)
            break;
        bytes.append(buffer, n);
    }
    return bytes;
}

void requireMissingOrOrdinary(const QString &path)
{
    struct stat st;
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0) {
        if (errno == ENOENT)
            return;
        throw FileError::fromErrno(errno, path, false);
    }
    if (!S_ISREG(st.st_mode))
        throw notOrdinary(st, path);
}

void replaceFile(const QString &path, const QByteArray &bytes)
{
    Descriptor folder(openFolder(path));
    const QByteArray name = QFile::encodeName(QFileInfo(path).fileName());
    const int mode = checkEntry(folder.get(), name, path);
    const QByteArray temp = writeTemporary(folder.get(), name, bytes, mode, path);
    try {
        // Looked at again just before: something may have been put there meanwhile.
        checkEntry(folder.get(), name, path);
    } catch (const FileError &) {
        ::unlinkat(folder.get(), temp.constData(), 0);
        throw;
    }
    if (::renameat(folder.get(), temp.constData(), folder.get(), name.constData()) != 0) {
        const int error = errno;
        ::unlinkat(folder.get(), temp.constData(), 0);
        throw FileError::fromErrno(error, path, true);
    }
    syncFolder(folder.get(), path);
}

bool createNewFile(const QString &path, const QByteArray &bytes)
{
    Descriptor folder(openFolder(path));
    const QByteArray name = QFile::encodeName(QFileInfo(path).fileName());
    struct stat st;
    if (::fstatat(folder.get(), name.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0)
        return false;
    const QByteArray temp = writeTemporary(folder.get(), name, bytes, -1, path);
    // A hard link never replaces an entry: the name taken meanwhile is left alone.
    int error = 0;
    if (::linkat(folder.get(), temp.constData(), folder.get(), name.constData(), 0) != 0)
        error = errno;
    ::unlinkat(folder.get(), temp.constData(), 0);
    if (error == EEXIST)
        return false;
    if (error)
        throw FileError::fromErrno(error, path, true);
    syncFolder(folder.get(), path);
    return true;
}

int removeLeftTemporaries(const QString &folder)
{
    // The names writeTemporary gives: "." + name + "." + random + ".tmp".
    static const QRegularExpression temporary(QStringLiteral("^\\..+\\.[0-9a-z]+\\.tmp$"));
    const QDateTime hourAgo = QDateTime::currentDateTime().addSecs(-3600);
    int removed = 0;
    const QFileInfoList entries =
        QDir(folder).entryInfoList(QDir::Files | QDir::Hidden | QDir::NoSymLinks);
    for (const QFileInfo &entry : entries)
        if (temporary.match(entry.fileName()).hasMatch() && entry.lastModified() < hourAgo &&
            QFile::remove(entry.filePath()))
            ++removed;
    return removed;
}

void setWriteFaultForTests(qint64 afterBytes, int error)
{
    s_faultAfter = afterBytes;
    s_faultError = error;
}

QString LineWriter::decode(const QByteArray &bytes)
{
    QStringDecoder decoder("windows-1252");
    QString text = decoder.decode(bytes);
    return text;
}

QByteArray LineWriter::encode(const QString &text)
{
    QStringEncoder encoder("windows-1252");
    return encoder.encode(text);
}

FieldReader::FieldReader(const QString &path) : m_path(path)
{
    const QString resolved = contentPath(path);
    try {
        m_text = LineWriter::decode(readOrdinaryFile(resolved, inWorksheetFolder(resolved)));
    } catch (const FileError &e) {
        throw FileError(
            e.kind(),
            QStringLiteral("The file \"%1\" could not be opened: %2").arg(path, e.cause()));
    }
}

FieldReader FieldReader::fromBytes(const QByteArray &bytes)
{
    FieldReader reader;
    reader.m_text = LineWriter::decode(bytes);
    return reader;
}

bool FieldReader::atEnd() const
{
    return m_pos >= m_text.size();
}

QString FieldReader::readField()
{
    if (atEnd())
        throw ProgramError(m_path.isEmpty()
                               ? QStringLiteral("The file ends too soon.")
                               : QStringLiteral("The file \"%1\" ends too soon.").arg(m_path));
    const qsizetype n = m_text.size();
    while (m_pos < n && m_text[m_pos] == QLatin1Char(' '))
        ++m_pos;

    QString field;
    if (m_pos < n && m_text[m_pos] == QLatin1Char('"')) {
        const qsizetype close = m_text.indexOf(QLatin1Char('"'), m_pos + 1);
        const qsizetype end = close < 0 ? n : close;
        field = m_text.mid(m_pos + 1, end - m_pos - 1);
        m_pos = close < 0 ? n : close + 1;
        // Anything between the closing quote and the delimiter is dropped.
        while (m_pos < n && m_text[m_pos] != QLatin1Char(',') && !isLineEnd(m_text[m_pos]))
            ++m_pos;
    } else {
        const qsizetype start = m_pos;
        while (m_pos < n && m_text[m_pos] != QLatin1Char(',') && !isLineEnd(m_text[m_pos]))
            ++m_pos;
        field = m_text.mid(start, m_pos - start);
        // Trailing spaces of an unquoted field do not belong to it.
        qsizetype keep = field.size();
        while (keep > 0 && field[keep - 1] == QLatin1Char(' '))
            --keep;
        field.truncate(keep);
    }

    if (m_pos < n) {
        if (m_text[m_pos] == QLatin1Char(',')) {
            ++m_pos;
        } else if (m_text[m_pos] == QLatin1Char('\r')) {
            ++m_pos;
            if (m_pos < n && m_text[m_pos] == QLatin1Char('\n'))
                ++m_pos;
        } else if (m_text[m_pos] == QLatin1Char('\n')) {
            ++m_pos;
        }
    }
    return field;
}

LineWriter::LineWriter(const QString &path) : m_path(path) {}

bool LineWriter::canEncode(const QString &text)
{
    return decode(encode(text)) == text;
}

void LineWriter::writeLine(const QString &line)
{
    if (!canEncode(line))
        throw ProgramError(
            QStringLiteral("\"%1\" holds a character that cannot be saved in this file.")
                .arg(line));
    m_bytes += encode(line);
    m_bytes += "\r\n";
}

void LineWriter::writeBytes(const QByteArray &bytes)
{
    m_bytes += bytes;
}

void LineWriter::commit()
{
    replaceFile(writablePath(m_path), m_bytes);
}
