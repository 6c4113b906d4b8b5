// SPDX-License-Identifier: GPL-3.0-or-later
#include "authoring/wizardexchange.h"

#include "authoring/exchange.h"
#include "authoring/register.h"
#include "authoring/wizard.h"
#include "platform/access.h"
#include "platform/filechooser.h"
#include "platform/msgbox.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QStandardPaths>

namespace {

/// What the last import filled in, so that the next import of the same file goes on with the
/// next ten questions. It belongs to one wizard: a wizard opened anew starts again.
struct LastImport
{
    QPointer<QWidget> wizardWindow;
    QString path;
    QList<QuizQuestion> usable;
    qsizetype next = 0;
    QStringList filled;
};

LastImport &lastImport()
{
    static LastImport last;
    return last;
}

/// The most lines of a report a message box lists; the rest are counted.
constexpr int reportLines = 12;

/// Everything the wizard holds, texts and ticks, to tell whether it has changed.
QStringList snapshot(const wizard &w)
{
    QStringList all{w.Text1.text()};
    for (int q = 0; q < 10; ++q)
        all << w.Text2[q].text();
    for (int i = 0; i < 40; ++i)
        all << w.Text3[i].text() << QString::number(w.Check1[i].value());
    return all;
}

bool holdsSomething(const wizard &w)
{
    const QStringList all = snapshot(w);
    for (qsizetype i = 0; i < all.size(); ++i) {
        const bool tick = i > 10 && (i - 11) % 2 == 1;
        if (tick ? all[i] == QLatin1String("1") : !all[i].isEmpty())
            return true;
    }
    return false;
}

QString startFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

/// The questions left out, as many as a message box can show.
QString shortReport(const QuizReading &reading)
{
    if (reading.leftOut.isEmpty())
        return QString();
    QString out = QStringLiteral("\n\nLeft out:");
    for (qsizetype i = 0; i < reading.leftOut.size() && i < reportLines; ++i)
        out += QLatin1Char('\n') + reading.leftOut[i].line();
    if (reading.leftOut.size() > reportLines)
        out += QStringLiteral("\n... and %1 more.").arg(reading.leftOut.size() - reportLines);
    return out;
}

/// The first problem Save Worksheet would name, in its words, or an empty text.
QString completenessProblem(const wizard &w)
{
    if (w.Text1.text().isEmpty())
        return QStringLiteral("You have not chosen a title for your worksheet");
    for (int q = 0; q < 10; ++q) {
        const QString number = QStringLiteral(" ") + QString::number(q + 1);
        if (w.Text2[q].text().isEmpty())
            return QStringLiteral("You have not completed Question") + number;
        int ticks = 0;
        for (int a = 0; a < 4; ++a) {
            if (w.Text3[4 * q + a].text().isEmpty())
                return QStringLiteral("You have not completed Question") + number;
            ticks += w.Check1[4 * q + a].value() == 1;
        }
        if (ticks == 0)
            return QStringLiteral("You have not ticked the correct answer for Question") + number;
        if (ticks > 1)
            return QStringLiteral("You have ticked more than one correct answer for Question") +
                   number;
    }
    return QString();
}

Worksheet sheetOf(const wizard &w)
{
    Worksheet sheet;
    sheet.title = w.Text1.text();
    for (int q = 0; q < 10; ++q) {
        sheet.questions[q] = w.Text2[q].text();
        for (int a = 0; a < 4; ++a) {
            sheet.answers[q][a] = w.Text3[4 * q + a].text();
            if (w.Check1[4 * q + a].value() == 1)
                sheet.right[q] = a + 1;
        }
    }
    return sheet;
}

void fill(wizard &w, const Worksheet &sheet)
{
    w.Text1.setText(sheet.title);
    for (int q = 0; q < 10; ++q) {
        w.Text2[q].setText(sheet.questions[q]);
        for (int a = 0; a < 4; ++a) {
            w.Text3[4 * q + a].setText(sheet.answers[q][a]);
            w.Check1[4 * q + a].setValue(sheet.right[q] == a + 1 ? 1 : 0);
        }
    }
}

} // namespace

void setUpExchangeButtons(wizard &w)
{
    accessible::setName(w.Label3[importButton], QStringLiteral("Import a GIFT or Aiken quiz"));
    accessible::setName(w.Label3[exportButton], QStringLiteral("Export as GIFT or Aiken"));
}

void importIntoWizard(wizard &w)
{
    const FileChoice choice =
        chooseFile({FileRequest::Open,
                    QStringLiteral("Import a quiz"),
                    startFolder(),
                    {QStringLiteral("GIFT files (*.gift *.txt)"),
                     QStringLiteral("Aiken files (*.txt)"), QStringLiteral("All files (*)")}});
    if (choice.path.isEmpty())
        return;
    QuizFormat format = QuizFormat::Gift;
    QuizReading reading;
    try {
        reading = exchange::readQuizFile(choice.path, &format);
    } catch (const ProgramError &e) {
        MsgBox(QString::fromUtf8(e.what()) + QStringLiteral(" Nothing in the wizard was changed."));
        return;
    }
    const QString summary = exchange::readingSummary(choice.path, format, reading).trimmed();
    if (reading.usable.isEmpty()) {
        MsgBox(summary + QStringLiteral(" Nothing in the wizard was changed.") +
               shortReport(reading));
        return;
    }

    LastImport &last = lastImport();
    const QString path = QFileInfo(choice.path).absoluteFilePath();
    qsizetype first = 0;
    if (last.wizardWindow == w.host() && last.path == path && last.usable == reading.usable &&
        last.next < reading.usable.size())
        first = last.next;
    const QList<QuizQuestion> batch = reading.usable.mid(first, 10);
    const int parts = int((reading.usable.size() + 9) / 10);
    QStringList registered;
    try {
        registered = readRegister();
    } catch (const ProgramError &) {
        // The title is checked again when the worksheet is saved.
    }
    const QString base = exchange::titleFromFileName(path);
    const Worksheet sheet = exchange::worksheetOf(
        exchange::importTitle(base, int(first / 10) + 1, parts, registered), batch);

    const bool unchanged = last.wizardWindow == w.host() && last.filled == snapshot(w);
    if (holdsSomething(w) && !unchanged &&
        MsgBox(QStringLiteral("The wizard already holds a worksheet. Importing replaces it with "
                              "questions from %1.\n\nClick OK to replace it, or Cancel to keep "
                              "it.")
                   .arg(QFileInfo(path).fileName()),
               vbOKCancel) != vbOK)
        return;
    fill(w, sheet);
    last = {w.host(), path, reading.usable, first + batch.size(), snapshot(w)};

    QString report = summary + QLatin1Char(' ');
    report += batch.size() == 1
                  ? QStringLiteral("Question %1 of them is now in the wizard.").arg(first + 1)
                  : QStringLiteral("Questions %1 to %2 of them are now in the "
                                   "wizard.")
                        .arg(first + 1)
                        .arg(first + batch.size());
    if (batch.size() < 10)
        report += QStringLiteral(" Please write the other %1 yourself.").arg(10 - batch.size());
    if (first + batch.size() < reading.usable.size())
        report += QStringLiteral(" There are more: click Import... and choose the same file "
                                 "again for the next ten.");
    if (sheet.title != base)
        report +=
            QStringLiteral(" The title is \"%1\"%2.")
                .arg(sheet.title,
                     parts > 1 ? QStringLiteral(", numbered for this part of the file")
                               : QStringLiteral(", because \"%1\" is already in use").arg(base));
    report += QStringLiteral("\nCheck the worksheet, then click Save Worksheet.");
    MsgBox(report + shortReport(reading));
}

void exportFromWizard(wizard &w)
{
    QString problem = completenessProblem(w);
    const Worksheet sheet = sheetOf(w);
    if (problem.isEmpty())
        problem = exchange::exportProblem(sheet);
    if (!problem.isEmpty()) {
        MsgBox(problem);
        return;
    }
    const QString gift = QStringLiteral("GIFT files (*.gift)");
    const QString aiken = QStringLiteral("Aiken files (*.txt)");
    const FileChoice choice =
        chooseFile({FileRequest::Save,
                    QStringLiteral("Export the worksheet"),
                    QDir(startFolder()).filePath(sheet.title + QStringLiteral(".gift")),
                    {gift, aiken}});
    if (choice.path.isEmpty())
        return;
    const bool asAiken = choice.filter == aiken;
    QString path = QFileInfo(choice.path).absoluteFilePath();
    if (QFileInfo(path).suffix().isEmpty())
        path += asAiken ? QStringLiteral(".txt") : QStringLiteral(".gift");
    const QuizFormat format =
        exchange::formatForFile(path, asAiken ? QuizFormat::Aiken : QuizFormat::Gift);
    try {
        if (const QString where = exchange::exportTargetProblem(path); !where.isEmpty())
            throw ProgramError(where);
        exchange::writeWholeFile(path, exchange::exportText(sheet, format));
    } catch (const ProgramError &e) {
        MsgBox(QStringLiteral("The worksheet was not exported. ") + QString::fromUtf8(e.what()));
        return;
    }
    MsgBox(QStringLiteral("Your worksheet has been exported as %1 to\n%2")
               .arg(exchange::formatName(format), QDir::toNativeSeparators(path)));
}
