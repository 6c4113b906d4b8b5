// SPDX-License-Identifier: GPL-3.0-or-later
#include "authoring/worksheetfile.h"

#include "authoring/register.h"
#include "platform/textfile.h"

namespace {

/// The quizzes that come with the program; a worksheet may not take their names.
const QStringList builtInQuizzes{QStringLiteral("Living in the Mountains"),
                                 QStringLiteral("Living in the Desert")};

/// Names Windows keeps for devices: no file may be called so, whatever its extension.
const QStringList deviceNames{
    QStringLiteral("CON"),  QStringLiteral("PRN"),  QStringLiteral("AUX"),  QStringLiteral("NUL"),
    QStringLiteral("COM1"), QStringLiteral("COM2"), QStringLiteral("COM3"), QStringLiteral("COM4"),
    QStringLiteral("COM5"), QStringLiteral("COM6"), QStringLiteral("COM7"), QStringLiteral("COM8"),
    QStringLiteral("COM9"), QStringLiteral("LPT1"), QStringLiteral("LPT2"), QStringLiteral("LPT3"),
    QStringLiteral("LPT4"), QStringLiteral("LPT5"), QStringLiteral("LPT6"), QStringLiteral("LPT7"),
    QStringLiteral("LPT8"), QStringLiteral("LPT9")};

QString stored(QString text)
{
    return text.replace(QLatin1Char(','), QLatin1Char('&'));
}

const QString pleaseChange = QStringLiteral(" Please change the title and save again.");

QString questionName(int q)
{
    return QStringLiteral("Question ") + QString::number(q + 1);
}

} // namespace

QStringList questionTexts(const Worksheet &sheet, int q)
{
    QStringList texts{sheet.questions[q]};
    for (const QString &answer : sheet.answers[q])
        texts << answer;
    return texts;
}

QString textPlace(int q, qsizetype i)
{
    if (i == 0)
        return questionName(q);
    return questionName(q) + QStringLiteral(", answer ") + QChar(char16_t(u'A' + (i - 1))) +
           QStringLiteral(",");
}

QStringList worksheetLines(const Worksheet &sheet)
{
    QStringList lines{stored(sheet.title), QStringLiteral(" ")};
    for (int q = 0; q < 10; ++q) {
        lines << stored(sheet.questions[q]);
        for (const QString &answer : sheet.answers[q])
            lines << stored(answer);
        lines << QString::number(sheet.right[q]) << QStringLiteral(" ");
    }
    return lines;
}

QString titleProblem(const QString &title, const QStringList &registered)
{
    if (title.isEmpty())
        return QStringLiteral("You have not chosen a title for your worksheet");
    for (QChar c : title) {
        if (c.unicode() < 32 || c.unicode() == 127)
            return QStringLiteral("A worksheet title cannot contain a tab or another control "
                                  "character.") +
                   pleaseChange;
    }
    if (title.contains(QLatin1Char(',')))
        return QStringLiteral("A worksheet title cannot contain a comma.") + pleaseChange;
    if (title.contains(QLatin1Char('&')))
        return QStringLiteral("A worksheet title cannot contain \"&\", because it would come back "
                              "as a comma.") +
               pleaseChange;
    if (title.contains(QLatin1Char('"')))
        return QStringLiteral("A worksheet title cannot contain a double quote (\").") +
               pleaseChange;
    for (QChar c : QStringLiteral("\\/:*?<>|")) {
        if (title.contains(c))
            return QStringLiteral("A worksheet title cannot contain \"%1\", because file names "
                                  "cannot hold it.")
                       .arg(c) +
                   pleaseChange;
    }
    if (title.startsWith(QLatin1Char(' ')) || title.endsWith(QLatin1Char(' ')))
        return QStringLiteral("A worksheet title cannot begin or end with a space.") + pleaseChange;
    if (title.endsWith(QLatin1Char('.')))
        return QStringLiteral("A worksheet title cannot end with a full stop.") + pleaseChange;
    if (!LineWriter::canEncode(title))
        return QStringLiteral("The title holds a character that cannot be saved in a worksheet.") +
               pleaseChange;
    const QString base = title.section(QLatin1Char('.'), 0, 0).trimmed();
    if (deviceNames.contains(base, Qt::CaseInsensitive))
        return QStringLiteral("\"%1\" cannot be used as a worksheet title, because Windows keeps "
                              "that name for itself.")
                   .arg(title) +
               pleaseChange;
    if (title.compare(QStringLiteral("track"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("\"%1\" cannot be used as a worksheet title, because the program "
                              "keeps its list of worksheets under that name.")
                   .arg(title) +
               pleaseChange;
    for (const QString &quiz : builtInQuizzes) {
        if (title.compare(quiz, Qt::CaseInsensitive) == 0)
            return QStringLiteral("\"%1\" cannot be used as a worksheet title, because it is the "
                                  "name of one of the program's own quizzes.")
                       .arg(title) +
                   pleaseChange;
    }
    if (!registered.contains(title)) {
        for (const QString &other : registered) {
            if (other.compare(title, Qt::CaseInsensitive) == 0)
                return QStringLiteral("There is already a worksheet called \"%1\". To replace "
                                      "it, use exactly that title; otherwise choose a different "
                                      "title.")
                    .arg(other);
        }
    }
    return QString();
}

QString saveProblem(const Worksheet &sheet, const QStringList &registered)
{
    if (const QString problem = titleProblem(sheet.title, registered); !problem.isEmpty())
        return problem;
    for (int q = 0; q < 10; ++q) {
        const QStringList texts = questionTexts(sheet, q);
        for (qsizetype i = 0; i < texts.size(); ++i) {
            const QString where = textPlace(q, i);
            if (!LineWriter::canEncode(texts[i]))
                return where + QStringLiteral(" holds a character that cannot be saved in a "
                                              "worksheet. Please change it and save again.");
            // The quiz format reads a text that starts with a double quote (after any spaces)
            // as a quoted field, which loses the quote and cuts the text at the next one.
            const QString text = texts[i];
            qsizetype k = 0;
            while (k < text.size() && text[k] == QLatin1Char(' '))
                ++k;
            if (k < text.size() && text[k] == QLatin1Char('"'))
                return where + QStringLiteral(" begins with a double quote (\"), which a "
                                              "worksheet cannot keep there. Please change it and "
                                              "save again.");
        }
    }
    if (!registered.contains(sheet.title) && registered.size() >= maxWorksheets)
        return QStringLiteral("The catalogue already holds %1 worksheets, as many as it can. "
                              "Please delete a worksheet you no longer need, then save again.")
            .arg(maxWorksheets);
    return QString();
}

QString ampersandNote(const Worksheet &sheet)
{
    QStringList places;
    for (int q = 0; q < 10; ++q) {
        bool found = sheet.questions[q].contains(QLatin1Char('&'));
        for (const QString &answer : sheet.answers[q])
            found = found || answer.contains(QLatin1Char('&'));
        if (found)
            places << QString::number(q + 1);
    }
    if (places.isEmpty())
        return QString();
    const QString where = places.size() == 1
                              ? QStringLiteral("Question ") + places[0]
                              : QStringLiteral("Questions ") +
                                    places.mid(0, places.size() - 1).join(QStringLiteral(", ")) +
                                    QStringLiteral(" and ") + places.last();
    return where + QStringLiteral(" contain") +
           (places.size() == 1 ? QStringLiteral("s") : QString()) +
           QStringLiteral(" \"&\", which will show as a comma when the worksheet is opened.\n\n"
                          "Click OK to save it like that, or Cancel to change it first.");
}

void storeWorksheet(const Worksheet &sheet)
{
    RegisterLock lock;
    // A register that cannot be used does not stop the worksheet being saved; its file is then
    // kept for when the register is mended.
    const RegisterFile registered = loadRegister();
    if (const QString problem = saveProblem(sheet, registered.titles); !problem.isEmpty())
        throw SaveRefused(problem);
    LineWriter file(worksheetPath(sheet.title));
    for (const QString &line : worksheetLines(sheet))
        file.writeLine(line);
    file.commit();
    if (!registered.unusable.isEmpty())
        throw NotListed(QStringLiteral("The list cannot be used, because ") + registered.unusable);
    try {
        trackworksheetsLocked(sheet.title);
    } catch (const FileError &e) {
        throw NotListed(e.cause());
    } catch (const ProgramError &e) {
        throw NotListed(QString::fromStdString(e.what()));
    }
}
