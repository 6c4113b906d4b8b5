// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QLockFile>
#include <QString>
#include <QStringList>

// The register of teachers' worksheets, "track.txt" in the worksheet folder: the number of
// titles (written with a leading space), then one title a line, in the order they were added.
// A change rewrites the count and adds or removes the one title's line, keeping every other line
// byte for byte, while holding the register's lock file, so two copies of the program saving at
// once lose nothing.

/// The register's content path, "multiple/track.txt": it is read and written in the worksheet
/// folder only.
QString registerPath();
/// The content path of the worksheet file of a title, "multiple/<title>.txt": written to the
/// worksheet folder, read from there first. Throws FileError for a title that would name a file
/// outside the folder (see unsafeTitle).
QString worksheetPath(const QString &title);
/// Why a title cannot name a file of the worksheet folder (a path separator, a ".." part or a
/// control character), in the teacher's words; empty when it can.
QString unsafeTitle(const QString &title);

/// The most titles the register holds.
inline constexpr int maxWorksheets = 1000;

/// The register as it stands on disk.
struct RegisterFile
{
    QList<QByteArray> lines; ///< every later line, its line end included, byte for byte
    QStringList titles;      ///< the titles listed: every later line that is not blank
    QList<int> titleLines;   ///< for each title, its index in lines
    /// What is wrong with it that the next change mends (a count that disagrees with the list,
    /// a byte-order mark), as a sentence; empty when nothing is.
    QString damage;
    /// Why it cannot be changed at all (it cannot be read, or is not a register); empty when it
    /// can. Such a register is never rewritten.
    QString unusable;

    /// The bytes of this register with the title added at its end.
    QByteArray withTitle(const QString &title) const;
    /// The bytes of this register without the title of titles[index].
    QByteArray withoutTitle(qsizetype index) const;
};

/// Makes sense of a register's bytes.
RegisterFile parseRegister(const QByteArray &bytes);
/// Reads the register of the worksheet folder; a missing one is empty. Never throws: what is
/// wrong is in damage and unusable.
RegisterFile loadRegister();
/// The registered titles; throws ProgramError, saying why, when the register cannot be used.
QStringList readRegister();
/// Replaces the register with these titles, whole or not at all; throws ProgramError.
void writeRegister(const QStringList &titles);

/// Holds the register's lock file while it lives; throws ProgramError when another copy of the
/// program keeps the register locked for longer than a few seconds, and FileError when the lock
/// cannot be made (a full disk, a read-only folder, something not a file in its place).
class RegisterLock
{
public:
    RegisterLock();
    ~RegisterLock();
    RegisterLock(const RegisterLock &) = delete;
    RegisterLock &operator=(const RegisterLock &) = delete;

private:
    QLockFile m_lock;
};

/// Adds the title to the register unless it is there already, under the lock; refreshes
/// numworksheets and worksheetnames with the register as read. Throws ProgramError.
void trackworksheets(const QString &title);
/// The same, for a caller that holds the lock already.
void trackworksheetsLocked(const QString &title);
/// Removes chosenworksheet (its last entry, compared exactly) from the register, under the
/// lock, and leaves numworksheets and worksheetnames matching the rewritten register. A title
/// that is not registered changes nothing. The worksheet file stays. Throws ProgramError.
void delworksheet();
