// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/textfile.h"

#include "platform/guard.h"
#include "platform/paths.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

namespace {

QString decode(const QByteArray &bytes)
{
    QStringDecoder decoder("windows-1252");
    QString text = decoder.decode(bytes);
    return text;
}

QByteArray encode(const QString &text)
{
    QStringEncoder encoder("windows-1252");
    return encoder.encode(text);
}

bool isLineEnd(QChar c)
{
    return c == QLatin1Char('\r') || c == QLatin1Char('\n');
}

} // namespace

FieldReader::FieldReader(const QString &path) : m_path(path)
{
    QFile file(contentPath(path));
    if (!file.open(QIODevice::ReadOnly))
        throw ProgramError(QStringLiteral("The file \"%1\" could not be opened.").arg(path));
    m_text = decode(file.readAll());
}

FieldReader FieldReader::fromBytes(const QByteArray &bytes)
{
    FieldReader reader;
    reader.m_text = decode(bytes);
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

void LineWriter::commit()
{
    QSaveFile file(writablePath(m_path));
    if (!file.open(QIODevice::WriteOnly) || file.write(m_bytes) != m_bytes.size() || !file.commit())
        throw ProgramError(QStringLiteral("The file \"%1\" could not be written: %2")
                               .arg(m_path, file.errorString()));
}
