// SPDX-License-Identifier: GPL-3.0-or-later
// Habitara as a desktop program: its command line, where it finds its content and keeps
// teachers' worksheets, and what becomes of a printout when there is no printer.
#include "app/Module1.h"
#include "app/commandline.h"
#include "platform/guard.h"
#include "platform/paths.h"
#include "platform/printer.h"
#include "platform/textfile.h"
#include "quiz/Welldone.h"
#include "quiz/multiple.h"
#include "tests/support/pupil.h"
#include "tests/support/testkit.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace testkit;
using namespace pupil;

namespace {

CommandLine parse(const QStringList &options, const QString &environment = QString())
{
    return parseCommandLine(QStringList{QStringLiteral("habitara")} + options, environment);
}

/// Every file below a folder with its bytes, to see that nothing changed.
QMap<QString, QByteArray> snapshot(const QString &folder)
{
    QMap<QString, QByteArray> files;
    for (QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
         it.hasNext();) {
        QFile file(it.next());
        file.open(QIODevice::ReadOnly);
        files.insert(QDir(folder).relativeFilePath(file.fileName()), file.readAll());
    }
    return files;
}

QStringList pdfsIn(const QString &folder)
{
    return QDir(folder).entryList({QStringLiteral("*.pdf")}, QDir::Files, QDir::Name);
}

} // namespace

class DesktopTest : public ScreenTest
{
    Q_OBJECT

private Q_SLOTS:
    void theCommandLineSaysWhatItTakes()
    {
        const CommandLine help = parse({QStringLiteral("--help")});
        QCOMPARE(help.exitCode, 0);
        for (const char *option :
             {"--scale", "--worksheets", "--print-to-pdf", "--version", "HABITARA_WORKSHEETS"})
            QVERIFY2(help.output.contains(QLatin1String(option)), option);
        const CommandLine version = parse({QStringLiteral("--version")});
        QCOMPARE(version.exitCode, 0);
        QVERIFY(version.output.startsWith(QStringLiteral("Habitara 1.")));

        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("afile"));
        QFile(file).open(QIODevice::WriteOnly);
        const std::pair<const char *, const char *> wrong[] = {
            {"--colour", "colour"},
            {"stray", "stray"},
            {"--scale", "scale"},
            {"--scale big", "1 to 4"},
            {"--scale 0.5", "1 to 4"},
            {"--scale 10", "1 to 4"},
            {"--scale 4.01", "1 to 4"},
            {"--scale 0.99", "1 to 4"},
            {"--scale nan", "1 to 4"},
            {"--print-to-pdf ", "no folder"},
            {"--worksheets %1", "not a folder"},
            {"--print-to-pdf %1/below", "cannot be made"}};
        for (const auto &[options, says] : wrong) {
            const CommandLine result =
                parse(QString::fromLatin1(options).replace(QStringLiteral("%1"), file).split(u' '));
            QVERIFY2(result.exitCode == 2, options);
            QVERIFY2(result.output.contains(QLatin1String(says)), qPrintable(result.output));
            QVERIFY(result.output.contains(QStringLiteral("--help")));
        }

        const QString shared = dir.filePath(QStringLiteral("school/worksheets"));
        const CommandLine fromEnvironment = parse({}, shared);
        QVERIFY(!fromEnvironment.exitCode && QFileInfo(shared).isDir());
        QCOMPARE(fromEnvironment.worksheets, shared);
        const QString own = dir.filePath(QStringLiteral("mine"));
        const CommandLine both = parse(
            {QStringLiteral("--worksheets"), own, QStringLiteral("--scale"), QStringLiteral("1.5")},
            shared);
        QVERIFY(both.worksheets == own && both.scale == 1.5 && !parse({}).scale);
        for (const double edge : {1.0, 4.0})
            QCOMPARE(parse({QStringLiteral("--scale"), QString::number(edge)}).scale, edge);

        // The design grows to fit the screen, in quarter steps from 1 to 4.
        const std::tuple<int, int, double> fits[] = {{640, 480, 1},     {1024, 768, 1},
                                                     {1920, 1080, 1.5}, {1600, 1248, 1.75},
                                                     {1616, 1248, 2},   {7680, 4320, 4}};
        for (const auto &[w, h, scale] : fits)
            QCOMPARE(fittingScale(w, h), scale);
    }

    void quizzesComeFromTheContentAndWorksheetsFromTheTeachersFolder()
    {
        QTemporaryDir elsewhere, teachers;
        // The program started from an unrelated folder finds its content where it was told.
        setContentFolder(content->path());
        QDir::setCurrent(elsewhere.path());
        setWorksheetFolder(teachers.filePath(QStringLiteral("habitara/multiple")));

        prepareWorksheetFolder();
        QCOMPARE(readFile(teachers.filePath(QStringLiteral("habitara/multiple/track.txt"))),
                 QByteArray(" 0\r\n"));

        const QString builtIn = QStringLiteral("multiple\\Living in the Mountains.txt");
        QCOMPARE(QFileInfo(contentPath(builtIn)).canonicalFilePath(),
                 QFileInfo(content->path(QStringLiteral("multiple/Living in the Mountains.txt")))
                     .canonicalFilePath());
        QCOMPARE(contentPath(QStringLiteral("IMAGES//LLAMA.jpg")),
                 QFileInfo(content->path(QStringLiteral("images/llama.jpg"))).filePath());
        QCOMPARE(contentPath(QStringLiteral("Images\\nothing\\Here.jpg")),
                 content->path(QStringLiteral("images/nothing/Here.jpg")));

        // A worksheet is written to the teachers' folder and read back from there.
        LineWriter sheet(QStringLiteral("multiple/Volcanoes.txt"));
        sheet.writeLine(QStringLiteral("Volcanoes"));
        sheet.commit();
        QVERIFY(!QFile::exists(content->path(QStringLiteral("multiple/Volcanoes.txt"))));
        QCOMPARE(contentPath(QStringLiteral("MULTIPLE\\volcanoes.txt")),
                 teachers.filePath(QStringLiteral("habitara/multiple/Volcanoes.txt")));
        QCOMPARE(FieldReader(QStringLiteral("multiple\\Volcanoes.txt")).readField(),
                 QStringLiteral("Volcanoes"));

        // Writing under a built-in quiz's name lands in the teachers' folder: the quiz in the
        // content stays as built.
        const QByteArray quiz =
            content->read(QStringLiteral("multiple/Living in the Mountains.txt"));
        QVERIFY(writablePath(builtIn).startsWith(teachers.path()));
        QCOMPARE(writablePath(QStringLiteral("multiple/track.txt")),
                 teachers.filePath(QStringLiteral("habitara/multiple/track.txt")));
        QCOMPARE(content->read(QStringLiteral("multiple/Living in the Mountains.txt")), quiz);
    }

    void aReadOnlyContentFolderIsNeverWritten()
    {
        QTemporaryDir teachers;
        setContentFolder(content->path());
        setWorksheetFolder(teachers.path());
        prepareWorksheetFolder();
        const auto before = snapshot(content->path());
        QVERIFY(QFile::setPermissions(content->path(QStringLiteral("multiple")),
                                      QFile::ReadOwner | QFile::ExeOwner));

        // A whole quiz run and a worksheet saved leave every content file as it was.
        playQuiz(openMountainsQuiz(), {3});
        LineWriter sheet(QStringLiteral("multiple\\track.txt"));
        sheet.writeLine(QStringLiteral(" 1"));
        sheet.writeLine(QStringLiteral("Rivers"));
        sheet.commit();
        QFile::setPermissions(content->path(QStringLiteral("multiple")),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(snapshot(content->path()), before);
        QCOMPARE(snapshot(teachers.path()).value(QStringLiteral("track.txt")),
                 QByteArray(" 1\r\nRivers\r\n"));
    }

    void anUnusableWorksheetFolderIsNamed()
    {
        QTemporaryDir dir;
        const QString inTheWay = dir.filePath(QStringLiteral("worksheets"));
        QFile(inTheWay).open(QIODevice::WriteOnly);
        setWorksheetFolder(inTheWay);
        try {
            prepareWorksheetFolder();
            QFAIL("a file where the folder should be was taken for the folder");
        } catch (const ProgramError &e) {
            QVERIFY2(QString::fromUtf8(e.what()).contains(inTheWay), e.what());
        }
        setWorksheetFolder(inTheWay + QStringLiteral("/below"));
        QVERIFY_THROWS_EXCEPTION(ProgramError, prepareWorksheetFolder());

        // A register that is already there is never replaced.
        const QString good = dir.filePath(QStringLiteral("good"));
        writeFile(good + QStringLiteral("/TRACK.TXT"), " 1\r\nDeserts\r\n");
        setWorksheetFolder(good);
        prepareWorksheetFolder();
        QCOMPARE(QDir(good).entryList(QDir::Files), QStringList{QStringLiteral("TRACK.TXT")});
        QCOMPARE(readFile(good + QStringLiteral("/TRACK.TXT")), QByteArray(" 1\r\nDeserts\r\n"));
    }

    void aCertificateWithoutAPrinterIsSavedAsAPdf()
    {
        QTemporaryDir documents;
        rec->failPrinting();
        setFallbackPdfFolder(documents.filePath(QStringLiteral("Documents")));
        Welldone &results = playToResults();
        typeInto(results.Text1, QStringLiteral("Amira"));
        click(results.Label3[0]);

        const QStringList pdfs = pdfsIn(documents.filePath(QStringLiteral("Documents")));
        QCOMPARE(pdfs.size(), 1);
        QVERIFY2(pdfs.first().startsWith(QStringLiteral("Habitara certificate ")),
                 qPrintable(pdfs.first()));
        const QString path = documents.filePath(QStringLiteral("Documents/") + pdfs.first());
        QVERIFY(rec->messages.size() == 2 &&
                rec->messages[1].contains(QDir::toNativeSeparators(path)));
        QCOMPARE(rec->messages[0], QStringLiteral("There was a problem printing to your printer."));
        const QString text = pdfText(path);
        QVERIFY2(text.contains(QStringLiteral("Amira")), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("10 out of 10")) ||
                text.contains(QStringLiteral("Living in the Mountains")));

        // Printing again keeps the first copy and adds a second.
        click(results.Label3[0]);
        QCOMPARE(pdfsIn(documents.filePath(QStringLiteral("Documents"))).size(), 2);

        // Where even the PDF cannot be written, the pupil is told that too.
        const QString blocked = documents.filePath(QStringLiteral("blocked"));
        QFile(blocked).open(QIODevice::WriteOnly);
        setFallbackPdfFolder(blocked);
        const QStringList said = rec->said(results.Label3[0]);
        QVERIFY2(said.size() == 2 && said[1].contains(QStringLiteral("could not be saved")),
                 qPrintable(said.join(u'|')));
    }

    void printingToAPdfFolderLeavesOneFilePerPrintout()
    {
        QTemporaryDir out;
        setPrinterFactory(nullptr);
        setPrintToPdfFolder(out.path());
        multiple &quiz = openMountainsQuiz();
        click(quiz.Label3[3]);
        click(quiz.Label3[3]);
        QCOMPARE(rec->messages, QStringList(2, QStringLiteral("Your worksheet is now printing.")));
        const QStringList pdfs = pdfsIn(out.path());
        QCOMPARE(pdfs.size(), 2);
        for (const QString &pdf : pdfs) {
            QVERIFY(pdf.startsWith(QStringLiteral("Habitara worksheet ")));
            const QString text = pdfText(out.filePath(pdf));
            QVERIFY2(text.contains(Module1::question[10].left(20)), qPrintable(text));
        }
    }
};

QTEST_MAIN(DesktopTest)
#include "tst_desktop.moc"
