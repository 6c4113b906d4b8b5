// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

/// Reads the fields of a quiz-layout text file (Windows-1252). Leading spaces are skipped; a
/// field that starts with a double quote runs to the next double quote; any other field runs to
/// the next comma or the line end, which is consumed with it. Reading past the end throws.
class FieldReader
{
public:
    /// Opens a content file; throws ProgramError naming the file when it cannot be read.
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
/// commit() succeeds, or not at all. Text that Windows-1252 cannot hold is refused.
class LineWriter
{
public:
    explicit LineWriter(const QString &path);
    /// Throws ProgramError when the line holds a character Windows-1252 lacks.
    void writeLine(const QString &line);
    /// Throws ProgramError when the file cannot be written.
    void commit();

    static bool canEncode(const QString &text);

private:
    QString m_path;
    QByteArray m_bytes;
};
