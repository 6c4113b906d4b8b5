// SPDX-License-Identifier: GPL-3.0-or-later
#include "authoring/exchange.h"

#include "app/Module1.h"
#include "authoring/aiken.h"
#include "authoring/gift.h"
#include "authoring/register.h"
#include "platform/paths.h"
#include "platform/textfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>

#include <algorithm>

namespace {

QString letter(int a)
{
    return QString(QChar(char16_t(u'A' + a)));
}

/// Why a text cannot go into a worksheet box, or an empty text.
QString textProblem(const QString &text, const QString &what, int limit)
{
    if (text.isEmpty())
        return what + QStringLiteral(" is empty");
    for (QChar c : text) {
        if (c.unicode() < 32)
            return what + QStringLiteral(" holds a control character, which a worksheet cannot "
                                         "store");
    }
    if (text.size() > limit)
        return what + QStringLiteral(" is %1 characters long, and the wizard takes at most %2")
                          .arg(text.size())
                          .arg(limit);
    if (!LineWriter::canEncode(text)) {
        // Name the first character that cannot be stored.
        for (qsizetype i = 0; i < text.size(); ++i) {
            const qsizetype n = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
            const QString c = text.mid(i, n);
            if (!LineWriter::canEncode(c))
                return what +
                       QStringLiteral(" holds \"%1\", which a worksheet cannot store").arg(c);
            i += n - 1;
        }
        return what + QStringLiteral(" holds a character a worksheet cannot store");
    }
    if (text.startsWith(QLatin1Char('"')))
        return what + QStringLiteral(" starts with a double quote (\"), which a worksheet "
                                     "cannot keep at the start");
    return QString();
}

QString cutAtWord(const QString &text, int limit)
{
    if (text.size() <= limit)
        return text;
    const qsizetype space = text.left(limit + 1).lastIndexOf(QLatin1Char(' '));
    QString cut = space > 0 ? text.left(space) : text.left(limit);
    while (cut.endsWith(QLatin1Char(' ')) || cut.endsWith(QLatin1Char('.')))
        cut.chop(1);
    return cut;
}

bool takenTitle(const QString &title, const QStringList &taken)
{
    for (const QString &t : taken)
        if (t.compare(title, Qt::CaseInsensitive) == 0)
            return true;
    // A file of that name may be left from a worksheet taken off the list: it is kept too.
    return QFileInfo::exists(writablePath(worksheetPath(title)));
}

QString quoted(const QString &text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

/// A built-in quiz's file in the content folder, or an empty text when there is none.
QString builtInQuizPath(const QString &title)
{
    const QString path = contentPath(contentFolder() + QStringLiteral("/multiple/") + title +
                                     QStringLiteral(".txt"));
    return QFileInfo(path).isFile() ? path : QString();
}

} // namespace

QString LeftOut::line() const
{
    QString where = QStringLiteral("Question ") + QString::number(number);
    if (!start.isEmpty())
        where += QStringLiteral(", '") + start + QLatin1Char('\'');
    return where + QStringLiteral(": ") + reason + QLatin1Char('.');
}

namespace exchange {

QString decodeText(const QByteArray &bytes)
{
    QString text;
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        text = QString::fromUtf8(bytes.mid(3));
    } else if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        QStringDecoder utf16(bytes.startsWith("\xFF\xFE") ? QStringConverter::Utf16LE
                                                          : QStringConverter::Utf16BE);
        text = utf16.decode(bytes.mid(2));
    } else {
        QStringDecoder utf8(QStringConverter::Utf8);
        text = utf8.decode(bytes);
        if (utf8.hasError()) {
            QStringDecoder windows("windows-1252");
            text = windows.decode(bytes);
        }
    }
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

QuizFormat detectFormat(const QString &text)
{
    static const QRegularExpression answerLine(QStringLiteral("^[ \\t]*ANSWER[ \\t]*:"),
                                               QRegularExpression::CaseInsensitiveOption |
                                                   QRegularExpression::MultilineOption);
    qsizetype braces = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('\\'))
            ++i;
        else if (text[i] == QLatin1Char('{'))
            ++braces;
    }
    qsizetype answers = 0;
    for (auto it = answerLine.globalMatch(text); it.hasNext(); it.next())
        ++answers;
    return answers > braces ? QuizFormat::Aiken : QuizFormat::Gift;
}

QString formatName(QuizFormat format)
{
    return format == QuizFormat::Gift ? QStringLiteral("GIFT") : QStringLiteral("Aiken");
}

QString startOf(const QString &text)
{
    constexpr int shown = 24;
    if (text.size() <= shown)
        return text;
    return cutAtWord(text, shown) + QStringLiteral("…");
}

void judge(QuizReading &reading, const ParsedQuestion &q)
{
    ++reading.found;
    QString reason = q.unusable;
    if (reason.isEmpty() && q.answers.size() != 4)
        reason = QStringLiteral("it has %1 answer%2, a worksheet needs 4")
                     .arg(q.answers.size())
                     .arg(q.answers.size() == 1 ? QString() : QStringLiteral("s"));
    if (reason.isEmpty() && q.rightCount == 0)
        reason = QStringLiteral("no answer is marked right");
    if (reason.isEmpty() && q.rightCount > 1)
        reason = QStringLiteral("more than one answer is marked right");
    if (reason.isEmpty() && q.text.isEmpty())
        reason = QStringLiteral("it has no question text");
    if (reason.isEmpty())
        reason = textProblem(q.text, QStringLiteral("the question"), questionLimit);
    for (int a = 0; a < 4 && reason.isEmpty() && a < q.answers.size(); ++a)
        reason = textProblem(q.answers[a], QStringLiteral("answer ") + letter(a), answerLimit);
    if (!reason.isEmpty()) {
        reading.leftOut << LeftOut{reading.found, startOf(q.text), reason};
        return;
    }
    QuizQuestion usable{q.text, {}, q.right};
    for (int a = 0; a < 4; ++a)
        usable.answers[a] = q.answers[a];
    reading.usable << usable;
}

QuizReading readQuiz(const QString &text, QuizFormat format)
{
    return format == QuizFormat::Gift ? gift::read(text) : aiken::read(text);
}

QString exportProblem(const Worksheet &sheet, bool checkTitle)
{
    Worksheet probe = sheet;
    if (!checkTitle)
        probe.title = QStringLiteral("Worksheet");
    if (const QString problem = saveProblem(probe, {}); !problem.isEmpty())
        return problem;
    for (int q = 0; q < 10; ++q) {
        const QStringList texts = questionTexts(sheet, q);
        for (qsizetype i = 0; i < texts.size(); ++i) {
            if (!texts[i].trimmed().isEmpty())
                continue;
            return textPlace(q, i) +
                   QStringLiteral(" holds only spaces, which a quiz file cannot carry. Please "
                                  "write it and try again.");
        }
        if (sheet.right[q] < 1 || sheet.right[q] > 4)
            return QStringLiteral("You have not ticked the correct answer for Question %1")
                .arg(q + 1);
    }
    return QString();
}

QByteArray exportText(const Worksheet &sheet, QuizFormat format)
{
    QString text = format == QuizFormat::Gift ? gift::write(sheet) : aiken::write(sheet);
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return text.toUtf8();
}

QuizFormat formatForFile(const QString &path, QuizFormat otherwise)
{
    return QFileInfo(path).suffix().compare(QLatin1String("gift"), Qt::CaseInsensitive) == 0
               ? QuizFormat::Gift
               : otherwise;
}

QString titleFromFileName(const QString &path)
{
    QString name = QFileInfo(path).completeBaseName();
    for (QChar &c : name) {
        if (c.unicode() < 32 || QStringLiteral("\\/:*?\"<>|,&_").contains(c) ||
            !LineWriter::canEncode(QString(c)))
            c = QLatin1Char(' ');
    }
    name = name.simplified();
    while (name.endsWith(QLatin1Char('.')) || name.endsWith(QLatin1Char(' ')))
        name.chop(1);
    name = cutAtWord(name, 25);
    return name.isEmpty() ? QStringLiteral("Imported quiz") : name;
}

QString importTitle(const QString &base, int part, int parts, const QStringList &taken)
{
    if (parts == 1 && titleProblem(base, {}).isEmpty() && !takenTitle(base, taken))
        return base;
    for (int n = parts == 1 ? 2 : part; n < part + 100000; ++n) {
        const QString suffix = QLatin1Char(' ') + QString::number(n);
        QString title = cutAtWord(base, 25 - int(suffix.size())) + suffix;
        if (titleProblem(title, {}).isEmpty() && !takenTitle(title, taken))
            return title;
    }
    throw ProgramError(QStringLiteral("No free title was found for the imported worksheet."));
}

Worksheet worksheetOf(const QString &title, const QList<QuizQuestion> &questions)
{
    Worksheet sheet;
    sheet.title = title;
    for (int q = 0; q < 10 && q < questions.size(); ++q) {
        sheet.questions[q] = questions[q].text;
        for (int a = 0; a < 4; ++a)
            sheet.answers[q][a] = questions[q].answers[a];
        sheet.right[q] = questions[q].right;
    }
    return sheet;
}

QList<QuizQuestion> questionsOf(const Worksheet &sheet)
{
    QList<QuizQuestion> questions;
    for (int q = 0; q < 10; ++q) {
        QuizQuestion question{sheet.questions[q], {}, sheet.right[q]};
        for (int a = 0; a < 4; ++a)
            question.answers[a] = sheet.answers[q][a];
        questions << question;
    }
    return questions;
}

void writeWholeFile(const QString &path, const QByteArray &bytes)
{
    // The same careful write as the worksheets': never through a link, never half a file.
    try {
        replaceFile(path, bytes);
    } catch (const FileError &e) {
        throw ProgramError(e.cause() + QLatin1Char('.'));
    }
}

Worksheet loadWorksheet(const QString &title)
{
    const QString notFound =
        QStringLiteral("There is no worksheet or built-in quiz called %1.").arg(quoted(title));
    if (title.isEmpty() || title.contains(QLatin1Char('/')) || title.contains(QLatin1Char('\\')))
        throw ProgramError(notFound);
    QString path;
    if (readRegister().contains(title))
        path = worksheetPath(title);
    else if (path = builtInQuizPath(title); path.isEmpty())
        throw ProgramError(notFound);
    FieldReader file(path);
    return readWorksheet(file);
}

Worksheet readWorksheet(FieldReader &file)
{
    Module1::loadquest(file);
    using namespace Module1;
    Worksheet sheet;
    sheet.title = worktitle;
    for (int q = 0; q < 10; ++q) {
        sheet.questions[q] = question[q + 1];
        sheet.answers[q] = {answera[q + 1], answerb[q + 1], answerc[q + 1], answerd[q + 1]};
        bool ok = false;
        sheet.right[q] = correct[q + 1].trimmed().toInt(&ok);
        if (!ok || sheet.right[q] < 1 || sheet.right[q] > 4)
            throw ProgramError(QStringLiteral("The worksheet %1 seems to be corrupted: question "
                                              "%2 has no right answer from 1 to 4.")
                                   .arg(quoted(sheet.title))
                                   .arg(q + 1));
    }
    return sheet;
}

QString exportTargetProblem(const QString &path)
{
    const QFileInfo target(path);
    const QString folder = QFileInfo(target.absolutePath()).canonicalFilePath();
    if (!folder.isEmpty() &&
        (folder == QFileInfo(worksheetFolder()).canonicalFilePath() ||
         folder == QFileInfo(contentFolder() + QStringLiteral("/multiple")).canonicalFilePath()))
        return QStringLiteral("The exported file cannot go into the worksheet folder, where it "
                              "could replace a worksheet. Please choose another folder.");
    if (target.isDir())
        return QStringLiteral("%1 is a folder. Please choose a file name.").arg(quoted(path));
    return QString();
}

CommandResult exportCommand(const QString &title, const QString &file, QuizFormat format)
{
    CommandResult result;
    const QString path = QFileInfo(file).absoluteFilePath();
    if (const QString problem = exportTargetProblem(path); !problem.isEmpty()) {
        result.exitCode = 1;
        result.err = problem + QLatin1Char('\n');
        return result;
    }
    try {
        const Worksheet sheet = loadWorksheet(title);
        if (const QString problem = exportProblem(sheet, false); !problem.isEmpty())
            throw ProgramError(problem);
        const QuizFormat chosen = formatForFile(path, format);
        writeWholeFile(path, exportText(sheet, chosen));
        result.out = QStringLiteral("%1 was written as %2 to %3\n")
                         .arg(quoted(title), formatName(chosen), path);
    } catch (const ProgramError &e) {
        result.exitCode = 1;
        result.err = QString::fromUtf8(e.what()) + QLatin1Char('\n');
    }
    return result;
}

QString readingSummary(const QString &file, QuizFormat format, const QuizReading &reading)
{
    return QStringLiteral("%1 (%2) holds %3 question%4, %5 of them usable in a worksheet.\n")
        .arg(quoted(QFileInfo(file).fileName()), formatName(format))
        .arg(reading.found)
        .arg(reading.found == 1 ? QString() : QStringLiteral("s"))
        .arg(reading.usable.size());
}

QString leftOutReport(const QuizReading &reading)
{
    if (reading.leftOut.isEmpty())
        return QString();
    QString out =
        QStringLiteral("%1 question%2 left out:\n")
            .arg(reading.leftOut.size())
            .arg(reading.leftOut.size() == 1 ? QStringLiteral(" was") : QStringLiteral("s were"));
    for (const LeftOut &l : reading.leftOut)
        out += QStringLiteral("  ") + l.line() + QLatin1Char('\n');
    return out;
}

QuizReading readQuizFile(const QString &file, QuizFormat *format)
{
    QFile in(file);
    if (QFileInfo(file).isDir() || !in.open(QIODevice::ReadOnly))
        throw ProgramError(QStringLiteral("The file %1 could not be read.").arg(quoted(file)));
    if (in.size() > largestFile)
        throw ProgramError(
            QStringLiteral("The file %1 is too large to be a quiz.").arg(quoted(file)));
    const QByteArray bytes = in.read(largestFile + 1);
    if (in.error() != QFileDevice::NoError)
        throw ProgramError(QStringLiteral("The file %1 could not be read.").arg(quoted(file)));
    // Only UTF-16 text holds zero bytes; anything else that does is a picture or a program.
    if (bytes.contains('\0') && !bytes.startsWith("\xFF\xFE") && !bytes.startsWith("\xFE\xFF"))
        throw ProgramError(QStringLiteral("The file %1 is not a text file, so it cannot hold GIFT "
                                          "or Aiken questions.")
                               .arg(quoted(QFileInfo(file).fileName())));
    const QString text = decodeText(bytes);
    *format = detectFormat(text);
    return readQuiz(text, *format);
}

CommandResult importCommand(const QString &file)
{
    CommandResult result;
    QuizFormat format = QuizFormat::Gift;
    QuizReading reading;
    try {
        reading = readQuizFile(file, &format);
    } catch (const ProgramError &e) {
        result.exitCode = 1;
        result.err = QString::fromUtf8(e.what()) + QLatin1Char('\n');
        return result;
    }
    result.out = readingSummary(file, format, reading) + leftOutReport(reading);
    const int parts = int(reading.usable.size() / 10);
    const int spare = int(reading.usable.size() % 10);
    QStringList made;
    try {
        RegisterLock lock;
        QStringList taken = readRegister();
        const QString base = titleFromFileName(file);
        for (int part = 1; part <= parts; ++part) {
            const Worksheet sheet = worksheetOf(importTitle(base, part, parts, taken),
                                                reading.usable.mid(qsizetype(part - 1) * 10, 10));
            if (const QString problem = saveProblem(sheet, taken); !problem.isEmpty())
                throw ProgramError(problem);
            LineWriter writer(worksheetPath(sheet.title));
            for (const QString &line : worksheetLines(sheet))
                writer.writeLine(line);
            writer.commit();
            trackworksheetsLocked(sheet.title);
            taken << sheet.title;
            made << quoted(sheet.title);
            if (const QString note = ampersandNote(sheet); !note.isEmpty())
                result.out += QStringLiteral("In %1, %2\n")
                                  .arg(quoted(sheet.title), note.section(QLatin1Char('\n'), 0, 0));
        }
    } catch (const ProgramError &e) {
        result.err = QString::fromUtf8(e.what()) + QLatin1Char('\n');
    }
    if (spare > 0)
        result.out += QStringLiteral("%1 usable question%2 left over: a worksheet needs ten.\n")
                          .arg(spare)
                          .arg(spare == 1 ? QStringLiteral(" was") : QStringLiteral("s were"));
    if (made.isEmpty()) {
        result.exitCode = 1;
        result.err += QStringLiteral("No worksheet was made.\n");
    } else {
        result.out += QStringLiteral("Made %1 worksheet%2: %3\n")
                          .arg(made.size())
                          .arg(made.size() == 1 ? QString() : QStringLiteral("s"))
                          .arg(made.join(QStringLiteral(", ")));
    }
    return result;
}

} // namespace exchange
