// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLockFile>
#include <QString>
#include <QStringList>

class FieldReader;

// The register of teachers' worksheets, "track.txt" in the worksheet folder: the number of
// titles (written with a leading space), then one title a line, in the order they were added.
// Every change reads and rewrites it whole while holding the register's lock file, so two
// copies of the program saving at once lose nothing.

/// The register's content path, "multiple/track.txt": it is read and written in the worksheet
/// folder only.
QString registerPath();
/// The content path of the worksheet file of a title, "multiple/<title>.txt": written to the
/// worksheet folder, read from there first.
QString worksheetPath(const QString &title);

/// The most titles the register holds.
inline constexpr int maxWorksheets = 1000;

/// The titles of a register's text. Throws ProgramError when the count is not a number from 0
/// to 1000 or the titles end before it.
QStringList parseRegister(FieldReader &reader);
/// The registered titles. A register that is missing or holds nothing at all is empty; one that
/// cannot be read or is damaged throws ProgramError.
QStringList readRegister();
/// As many titles as can be read, for the catalogue: a missing, short or damaged register
/// gives what could be read before the damage, an unread count no titles at all.
QStringList readRegisterLeniently();
/// Replaces the register with these titles, whole or not at all; throws ProgramError.
void writeRegister(const QStringList &titles);

/// Holds the register's lock file while it lives; throws ProgramError when another copy of the
/// program keeps the register locked for longer than a few seconds.
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
