// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/commandline.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cmath>

namespace {

const char *const helpText =
    "Usage: habitara [options]\n"
    "\n"
    "Habitara, a teaching title about living in the mountains and in the desert.\n"
    "\n"
    "Options:\n"
    "  --scale FACTOR         Draw the whole program FACTOR times its design size (1 to 4;\n"
    "                         for example 1.5). By default it is drawn as large as fits the\n"
    "                         screen.\n"
    "  --worksheets FOLDER    Keep teachers' worksheets in FOLDER, which several teachers may\n"
    "                         share. The environment variable HABITARA_WORKSHEETS does the same.\n"
    "                         By default each user has a folder of their own.\n"
    "  --print-to-pdf FOLDER  Save everything that would be printed as PDF files in FOLDER\n"
    "                         instead of sending it to the printer.\n"
    "  --read-aloud           Start with reading aloud on: questions, answers, pages and the\n"
    "                         control under the pointer or the keyboard focus are read out.\n"
    "                         F2 turns it off and on for this run; nothing is saved. A school\n"
    "                         turns it on for everyone with on=true under [ReadAloud] in\n"
    "                         /etc/xdg/Habitara/Habitara.conf.\n"
    "  --import FILE          Make worksheets from a GIFT or Aiken quiz file, one for every\n"
    "                         ten usable questions, in the worksheet folder; print what was\n"
    "                         left out and end. Exits 0 when a worksheet was made, else 1.\n"
    "  --export TITLE FILE    Write the worksheet or built-in quiz TITLE to FILE and end:\n"
    "                         as GIFT when FILE ends in .gift, otherwise as --format says.\n"
    "  --format aiken|gift    The format of --export (GIFT when not given).\n"
    "  --help                 Show this help and end.\n"
    "  --version              Show the version and end.\n";

CommandLine failure(const QString &message)
{
    CommandLine result;
    result.exitCode = 2;
    result.output = QStringLiteral("habitara: ") + message +
                    QStringLiteral("\nTry 'habitara --help' for the options.\n");
    return result;
}

/// A folder the program can write into, made when it does not exist yet; empty when usable.
QString folderProblem(const QString &folder)
{
    const QFileInfo info(folder);
    if (info.exists() && !info.isDir())
        return QStringLiteral("\"%1\" is not a folder").arg(folder);
    if (!info.exists() && !QDir().mkpath(folder))
        return QStringLiteral("the folder \"%1\" cannot be made").arg(folder);
    if (!QFileInfo(folder).isWritable())
        return QStringLiteral("the folder \"%1\" cannot be written to").arg(folder);
    return QString();
}

} // namespace

CommandLine parseCommandLine(const QStringList &arguments, const QString &environmentWorksheets)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringLiteral("help"));
    const QCommandLineOption version(QStringLiteral("version"));
    const QCommandLineOption scale(QStringLiteral("scale"), QString(), QStringLiteral("FACTOR"));
    const QCommandLineOption worksheets(QStringLiteral("worksheets"), QString(),
                                        QStringLiteral("FOLDER"));
    const QCommandLineOption printToPdf(QStringLiteral("print-to-pdf"), QString(),
                                        QStringLiteral("FOLDER"));
    const QCommandLineOption importFile(QStringLiteral("import"), QString(),
                                        QStringLiteral("FILE"));
    const QCommandLineOption exportTitle(QStringLiteral("export"), QString(),
                                         QStringLiteral("TITLE"));
    const QCommandLineOption format(QStringLiteral("format"), QString(), QStringLiteral("FORMAT"));
    const QCommandLineOption readAloud(QStringLiteral("read-aloud"));
    parser.addOptions(
        {help, version, scale, worksheets, printToPdf, importFile, exportTitle, format, readAloud});
    if (!parser.parse(arguments))
        return failure(parser.errorText());
    QStringList positional = parser.positionalArguments();
    // --export takes the file it writes as the argument after its title.
    QString exportFile;
    if (parser.isSet(exportTitle) && !positional.isEmpty())
        exportFile = positional.takeFirst();
    if (!positional.isEmpty())
        return failure(QStringLiteral("unexpected argument \"%1\"").arg(positional.first()));

    CommandLine result;
    if (parser.isSet(help)) {
        result.exitCode = 0;
        result.output = QString::fromLatin1(helpText);
        return result;
    }
    if (parser.isSet(version)) {
        result.exitCode = 0;
        result.output = QStringLiteral("Habitara " HABITARA_VERSION "\n");
        return result;
    }
    if (parser.isSet(importFile) && parser.isSet(exportTitle))
        return failure(QStringLiteral("--import and --export cannot be used together"));
    if (parser.isSet(importFile) && parser.value(importFile).isEmpty())
        return failure(QStringLiteral("--import needs the file to read"));
    if (parser.isSet(exportTitle) && (parser.value(exportTitle).isEmpty() || exportFile.isEmpty()))
        return failure(QStringLiteral("--export needs a title and the file to write"));
    if (parser.isSet(format)) {
        const QString name = parser.value(format).toLower();
        if (!parser.isSet(exportTitle))
            return failure(QStringLiteral("--format goes with --export"));
        if (name != QLatin1String("aiken") && name != QLatin1String("gift"))
            return failure(QStringLiteral("--format needs aiken or gift, not \"%1\"")
                               .arg(parser.value(format)));
        result.exportFormat = name;
    }
    result.readAloud = parser.isSet(readAloud);
    result.importFile = parser.value(importFile);
    result.exportTitle = parser.value(exportTitle);
    result.exportFile = exportFile;
    if (parser.isSet(scale)) {
        bool ok = false;
        const double factor = parser.value(scale).toDouble(&ok);
        if (!ok || !std::isfinite(factor) || factor < 1 || factor > 4)
            return failure(QStringLiteral("--scale needs a number from 1 to 4, not \"%1\"")
                               .arg(parser.value(scale)));
        result.scale = factor;
    }
    result.worksheets = parser.isSet(worksheets) ? parser.value(worksheets) : environmentWorksheets;
    if (!result.worksheets.isEmpty()) {
        const QString problem = folderProblem(result.worksheets);
        if (!problem.isEmpty())
            return failure(QStringLiteral("the worksheet folder cannot be used: ") + problem);
        result.worksheets = QDir(result.worksheets).absolutePath();
    }
    if (parser.isSet(printToPdf)) {
        result.printToPdf = parser.value(printToPdf);
        const QString problem = result.printToPdf.isEmpty() ? QStringLiteral("no folder was given")
                                                            : folderProblem(result.printToPdf);
        if (!problem.isEmpty())
            return failure(QStringLiteral("the PDF folder cannot be used: ") + problem);
        result.printToPdf = QDir(result.printToPdf).absolutePath();
    }
    return result;
}

double fittingScale(int availableWidth, int availableHeight)
{
    // Room for the window's title bar and border, which belong to the window manager.
    const double frameWidth = 16, frameHeight = 48;
    const double fit =
        std::min((availableWidth - frameWidth) / 800.0, (availableHeight - frameHeight) / 600.0);
    // Steps of a quarter keep pictures and lines crisp.
    return std::clamp(std::floor(fit * 4) / 4, 1.0, 4.0);
}
