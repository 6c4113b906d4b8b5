// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/guard.h"

#include <QString>
#include <QStringList>

/// A file that could not be read or written, with what went wrong in words for the person at
/// the screen. what() holds the cause alone ("the disk is full"), so that the caller can say
/// what it was doing.
class FileError : public ProgramError
{
public:
    enum Kind {
        DiskFull,     ///< no room left, or the user's share of the disk used up
        NoPermission, ///< the folder or the file may not be written (or read)
        Missing,      ///< the file or its folder is not there
        NotOrdinary,  ///< a link, a pipe, a device or a folder stands where a file should be
        Damaged,      ///< anything else the disk reported
    };
    FileError(Kind kind, const QString &cause);
    Kind kind() const { return m_kind; }
    /// The cause as a sentence's start: "The disk is full".
    QString cause() const;

    /// The error for errno value `error` while reading or writing `path`.
    static FileError fromErrno(int error, const QString &path, bool writing);

private:
    Kind m_kind;
};

/// Reads the whole of an ordinary file. A pipe is never waited on; a link (when refuseLinks), a
/// pipe, a device or a folder is refused with FileError::NotOrdinary, a missing file with
/// FileError::Missing.
QByteArray readOrdinaryFile(const QString &path, bool refuseLinks = true);

/// Throws FileError::NotOrdinary unless the entry `path` is missing or an ordinary file (a link
/// is not followed, and refused).
void requireMissingOrOrdinary(const QString &path);

/// Replaces the file at `path` whole, or leaves it as it was: the bytes go to a new temporary
/// file in the same folder, every write and the sync are checked, and only then is it renamed
/// over the entry, which must be an ordinary file and not a link; the folder is synced last.
/// Throws FileError; no temporary file is left behind.
void replaceFile(const QString &path, const QByteArray &bytes);

/// Writes a new file at `path` the same careful way, never replacing anything there. Returns
/// false, writing nothing, when the name is taken; throws FileError otherwise.
bool createNewFile(const QString &path, const QByteArray &bytes);

/// Removes the temporary files that careful writes cut short (the power went, the program was
/// killed) left in a folder, once they are older than an hour, so that none is another copy's
/// write in progress. Returns how many went.
int removeLeftTemporaries(const QString &folder);

/// For tests: every careful write fails with errno `error` once `afterBytes` more bytes have
/// been written (0: the first write fails); a negative count stops the failures.
void setWriteFaultForTests(qint64 afterBytes, int error);

/// Reads the fields of a quiz-layout text file (Windows-1252). Leading spaces are skipped; a
/// field that starts with a double quote runs to the next double quote; any other field runs to
/// the next comma or the line end, which is consumed with it. Reading past the end throws.
class FieldReader
{
public:
    /// Opens a content file; throws ProgramError naming the file when it cannot be read. A file
    /// of the worksheet folder must be an ordinary file there, never a link.
    explicit FieldReader(const QString &path);
    static FieldReader fromBytes(const QByteArray &bytes);

    QString readField();
    bool atEnd() const;
    QString path() const { return m_path; }

private:
    FieldReader() = default;
    QString m_path;
    QString m_text;
    qsizetype m_pos = 0;
};

/// Writes a text file in Windows-1252 with CR LF line ends. The file is replaced whole when
/// commit() succeeds, or not at all (see replaceFile). Text that Windows-1252 cannot hold is
/// refused.
class LineWriter
{
public:
    explicit LineWriter(const QString &path);
    /// Throws ProgramError when the line holds a character Windows-1252 lacks.
    void writeLine(const QString &line);
    /// Adds bytes exactly as given (a line kept from the file being replaced).
    void writeBytes(const QByteArray &bytes);
    /// Throws FileError when the file cannot be written; nothing is changed then.
    void commit();

    static bool canEncode(const QString &text);
    static QByteArray encode(const QString &text);
    static QString decode(const QByteArray &bytes);

private:
    QString m_path;
    QByteArray m_bytes;
};
