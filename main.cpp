// SPDX-License-Identifier: GPL-3.0-or-later
// Habitara: starts on the title screen over the backdrop; the screens take it from there.
#include "app/Titlefrm.h"
#include "app/commandline.h"
#include "authoring/exchange.h"
#include "platform/fonts.h"
#include "platform/guard.h"
#include "platform/msgbox.h"
#include "platform/paths.h"
#include "platform/picture.h"
#include "platform/printer.h"
#include "platform/scale.h"
#include "platform/sound.h"
#include "platform/speech.h"

#include <QApplication>
#include <QScreen>
#include <QStandardPaths>

#include <cstdio>

namespace {

/// Scales the whole design by one factor: the one asked for, or the largest that fits the
/// screen. Qt scales every window, font, picture and pointer position alike, so the program
/// itself keeps working in twips. A factor asked for is settled before the application starts.
void chooseScale(const CommandLine &options)
{
    if (options.scale)
        qputenv("QT_SCALE_FACTOR", QByteArray::number(*options.scale));
}

/// With no factor asked for, the design grows to the largest that fits the screen, set on the
/// application itself before its first window: one connection to the display serves both.
void fitToScreen()
{
    if (qEnvironmentVariableIsSet("QT_SCALE_FACTOR"))
        return;
    if (QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        scaleApplication(fittingScale(area.width(), area.height()));
    }
}

/// Finds the content and the worksheet folder. An installed program reads its content from
/// share/habitara and keeps worksheets in the user's own data folder; one run from where it
/// was built reads the current folder and keeps worksheets beside its quizzes.
void chooseFolders(const CommandLine &options)
{
    const QString installed = installedContentFolder(QCoreApplication::applicationDirPath());
    setContentFolder(installed);
    if (!options.worksheets.isEmpty())
        setWorksheetFolder(options.worksheets);
    else if (!installed.isEmpty())
        setWorksheetFolder(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                           QStringLiteral("/habitara/multiple"));
    setPrintToPdfFolder(options.printToPdf);
    setFallbackPdfFolder(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
}

/// Runs --import or --export: no window is opened, so no display is needed.
int runCommand(const CommandLine &options, int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Habitara"));
    chooseFolders(options);
    exchange::CommandResult result;
    try {
        prepareWorksheetFolder();
        if (!options.importFile.isEmpty())
            result = exchange::importCommand(options.importFile);
        else
            result = exchange::exportCommand(options.exportTitle, options.exportFile,
                                             options.exportFormat == QLatin1String("aiken")
                                                 ? QuizFormat::Aiken
                                                 : QuizFormat::Gift);
    } catch (const ProgramError &e) {
        result.exitCode = 1;
        result.err = QStringLiteral("The worksheet folder cannot be used. ") +
                     QString::fromUtf8(e.what()) + QLatin1Char('\n');
    }
    std::fputs(result.out.toLocal8Bit().constData(), stdout);
    std::fputs(result.err.toLocal8Bit().constData(), stderr);
    return result.exitCode;
}

} // namespace

int main(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine options =
        parseCommandLine(arguments, qEnvironmentVariable("HABITARA_WORKSHEETS"));
    if (options.exitCode) {
        std::fputs(options.output.toLocal8Bit().constData(), *options.exitCode ? stderr : stdout);
        return *options.exitCode;
    }
    if (options.runsCommand())
        return runCommand(options, argc, argv);
    chooseScale(options);
    readFontConfigurationAhead();

    QApplication app(argc, argv);
    fitToScreen();
    QApplication::setApplicationName(QStringLiteral("Habitara"));
    QApplication::setApplicationVersion(QStringLiteral(HABITARA_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.habitara.Habitara"));
    chooseFolders(options);
    loadPictureAhead(Titlefrm::pictureFile());
    registerFonts();
    try {
        prepareWorksheetFolder();
    } catch (const ProgramError &e) {
        MsgBox(QStringLiteral("Teachers' worksheets cannot be saved, because their folder cannot "
                              "be used. ") +
               QString::fromUtf8(e.what()));
    }
    guard([] { screen<Titlefrm>().show(); });
    if (programEnded())
        return 0;
    // The title screen comes first; the audio output and the sounds load after its first frame.
    preloadSoundsAfterFirstFrame(*screen<Titlefrm>().host(), QStringLiteral("wav"));
    // So does the speech engine; reading aloud on at start (the teacher's default) waits for
    // it, so that a message that it is not available shows over the title screen.
    if (options.readAloud || readaloud::onBySchoolSettings())
        readaloud::setOnAfterFirstFrame(*screen<Titlefrm>().host());
    else
        readaloud::startVoiceAfterFirstFrame(*screen<Titlefrm>().host());
    return QApplication::exec();
}
