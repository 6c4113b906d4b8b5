// SPDX-License-Identifier: GPL-3.0-or-later
// The worksheet folder under strain: writes that fail part-way, links, pipes and folders where
// worksheets should be, and titles that would lead out of the folder. Whatever happens, every
// file that was there stays byte for byte, no temporary file is left, nothing outside the
// folder is read or written, and the teacher is told what happened.
#include "app/Module1.h"
#include "authoring/wizard.h"
#include "authoring/worksheets.h"
#include "platform/msgbox.h"
#include "platform/paths.h"
#include "platform/printer.h"
#include "platform/textfile.h"
#include "quiz/Welldone.h"
#include "quiz/multiple.h"
#include "tests/support/author.h"
#include "tests/support/pupil.h"
#include "tests/support/testkit.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <sys/stat.h>

using namespace testkit;
using namespace author;

namespace {

/// Whether the text holds the pieces of the pattern (split at "*") in their order.
bool saysInOrder(const QString &text, const QString &pattern)
{
    qsizetype at = 0;
    for (const QString &piece : pattern.split(QLatin1Char('*'))) {
        at = text.indexOf(piece, at);
        if (at < 0)
            return false;
        at += piece.size();
    }
    return true;
}

} // namespace

class FolderSafetyTest : public ScreenTest
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup()
    {
        setWriteFaultForTests(-1, 0);
        ScreenTest::cleanup();
    }

    // A write that fails part-way, as on a full disk or a failing one, changes nothing that was
    // there; a worksheet whose own file was written keeps it and is said not to be listed.
    void aWriteThatFailsChangesNothing_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("faultAt"); ///< bytes, counted from the first byte saved
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("said");
        const qsizetype sheet = worksheetBytes(QStringLiteral("Fresh Save")).size();
        const int inRegister = int(sheet) + 6;
        const std::pair<int, const char *> failures[] = {{ENOSPC, "The disk is full"},
                                                         {EIO, "The disk reported an error"},
                                                         {EDQUOT, "The disk is full"}};
        for (const auto &[error, cause] : failures) {
            const QByteArray name = QByteArray::number(error);
            const QString notSaved =
                QString::fromLatin1(cause) + QStringLiteral("*so the worksheet was not saved. "
                                                            "Nothing was changed.");
            QTest::newRow("new, first byte " + name) << "new" << 0 << error << notSaved;
            QTest::newRow("new, mid-file " + name) << "new" << 300 << error << notSaved;
            QTest::newRow("new, in the register " + name)
                << "new" << inRegister << error
                << QStringLiteral("Your worksheet has been saved as \"Fresh Save.txt\"*could not "
                                  "be added to the list of worksheets: ") +
                       QString::fromLatin1(cause).toLower();
            QTest::newRow("again, mid-file " + name) << "again" << 500 << error << notSaved;
            QTest::newRow("delete " + name)
                << "delete" << 0 << error
                << QStringLiteral("The worksheet \"Rivers\" could not be taken off the list, "
                                  "because ") +
                       QString::fromLatin1(cause).toLower() +
                       QStringLiteral("*Nothing was changed.");
        }
    }

    void aWriteThatFailsChangesNothing()
    {
        QFETCH(QString, action);
        QFETCH(int, faultAt);
        QFETCH(int, error);
        QFETCH(QString, said);
        const QString again = QStringLiteral("Fresh Save");
        const bool fresh = action == QStringLiteral("new");
        registerSheets(fresh ? QStringList{QStringLiteral("Rivers")}
                             : QStringList{QStringLiteral("Rivers"), again});
        if (!fresh)
            content->write(QStringLiteral("multiple/Fresh Save.txt"),
                           "the worksheet as it was\r\n");
        const auto before = everything(content->path(QStringLiteral("multiple")));

        QStringList messages;
        if (action == QStringLiteral("delete")) {
            worksheets &cat = openCatalogue();
            click(cat.Check2);
            setWriteFaultForTests(faultAt, error);
            messages = rec->said(cat.Label2[1]);
            QCOMPARE(shown(cat), (QStringList{QStringLiteral("Rivers"), again}));
        } else {
            wizard &w = openWizard();
            writeWorksheet(w, again);
            setWriteFaultForTests(faultAt, error);
            messages = rec->said(w.Label3[1]);
            QVERIFY(w.visible());
            QCOMPARE(w.Text1.text(), again);
        }
        setWriteFaultForTests(-1, 0);
        QCOMPARE(messages.size(), action == QStringLiteral("delete") ? 2 : 1);
        QVERIFY2(saysInOrder(messages.last(), said), qPrintable(messages.last()));

        auto after = everything(content->path(QStringLiteral("multiple")));
        if (said.startsWith(QStringLiteral("Your worksheet has been saved as"))) {
            // The new worksheet's file is kept whole; nothing else changed.
            QCOMPARE(after.take(QStringLiteral("Fresh Save.txt")), worksheetBytes(again));
        }
        QCOMPARE(after, before);

        // Once the disk is well again, the same click does it.
        if (action == QStringLiteral("delete")) {
            worksheets &cat = screen<worksheets>();
            QCOMPARE(rec->said(cat.Label2[1]).size(), 1);
            QCOMPARE(content->read(track), registerBytes({again}));
        } else {
            QCOMPARE(rec->said(screen<wizard>().Label3[1]), saved);
            QCOMPARE(content->read(QStringLiteral("multiple/Fresh Save.txt")),
                     worksheetBytes(again));
            QCOMPARE(content->read(track), registerBytes({QStringLiteral("Rivers"), again}));
        }
    }

    // A write cut short by a power cut leaves its temporary file; the next start clears those
    // older than an hour, and nothing else.
    void temporaryFilesLeftByACutAreCleared()
    {
        const QString folder = content->path(QStringLiteral("multiple"));
        const auto age = [&](const QString &name, int seconds) {
            content->write(QStringLiteral("multiple/") + name, "left\r\n");
            QFile f(folder + QLatin1Char('/') + name);
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.setFileTime(QDateTime::currentDateTime().addSecs(-seconds),
                                  QFileDevice::FileModificationTime));
        };
        age(QStringLiteral(".track.txt.k3j9x1.tmp"), 7200);
        age(QStringLiteral(".Rivers.txt.0abc.tmp"), 4000);
        age(QStringLiteral(".Fresh Save.txt.zz9.tmp"), 60); // perhaps another copy's write
        age(QStringLiteral("Old notes.tmp"), 7200);         // not the program's
        age(QStringLiteral(".hidden.txt"), 7200);
        auto expected = everything(folder);
        expected.remove(QStringLiteral(".track.txt.k3j9x1.tmp"));
        expected.remove(QStringLiteral(".Rivers.txt.0abc.tmp"));
        setWorksheetFolder(folder);
        prepareWorksheetFolder();
        QCOMPARE(everything(folder), expected);
    }

    // A worksheet folder taken away while the program runs (a school drive gone): saving and
    // deleting say so, and the save can be made again once it is back.
    void aFolderTakenAwayIsNamed()
    {
        registerSheets({QStringLiteral("Rivers")});
        worksheets &cat = openCatalogue();
        click(cat.Check2);
        wizard &w = openWizard();
        writeWorksheet(w, QStringLiteral("Fresh Save"));
        const QString folder = content->path(QStringLiteral("multiple"));
        QVERIFY(QDir().rename(folder, content->path(QStringLiteral("away"))));
        const QString gone = QStringLiteral("The folder \"%1\" is not there any more").arg(folder);
        QStringList said = rec->said(w.Label3[1]);
        QCOMPARE(said.size(), 1);
        QVERIFY2(said[0].startsWith(gone + QStringLiteral(", so the worksheet was not saved. "
                                                          "Nothing was changed.")),
                 qPrintable(said[0]));
        said = rec->said(cat.Label2[1]);
        QCOMPARE(said.size(), 2);
        QVERIFY2(said[1].startsWith(QStringLiteral("The worksheet \"Rivers\" could not be taken "
                                                   "off the list, because the folder")),
                 qPrintable(said[1]));
        QVERIFY(!QFileInfo::exists(folder));
        QVERIFY(QDir().rename(content->path(QStringLiteral("away")), folder));
        QCOMPARE(rec->said(w.Label3[1]), saved);
        QCOMPARE(content->read(track),
                 registerBytes({QStringLiteral("Rivers"), QStringLiteral("Fresh Save")}));
    }

    // A certificate that no printer took is saved as a PDF only whole: one that fails part-way
    // leaves nothing behind and says why; three in one second are three files.
    void aCertificatePdfIsWholeOrNothing_data()
    {
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("cause");
        QTest::newRow("disk full") << ENOSPC << "the disk is full";
        QTest::newRow("input/output error") << EIO << "the disk reported an error";
    }

    void aCertificatePdfIsWholeOrNothing()
    {
        QFETCH(int, error);
        QFETCH(QString, cause);
        QTemporaryDir documents;
        rec->failPrinting();
        setFallbackPdfFolder(documents.path());
        Welldone &results = pupil::playToResults();
        typeInto(results.Text1, QStringLiteral("Amira"));
        const QString failed = QStringLiteral("There was a problem printing to your printer.");
        for (int at : {0, 1000}) {
            setWriteFaultForTests(at, error);
            const QStringList said = rec->said(results.Label3[0]);
            setWriteFaultForTests(-1, 0);
            QCOMPARE(said.size(), 2);
            QCOMPARE(said[0], failed);
            QCOMPARE(said[1], QStringLiteral("A PDF copy could not be saved in the folder \"%1\" "
                                             "either: %2")
                                      .arg(documents.path(), cause) +
                                  said[1].mid(said[1].indexOf(cause) + cause.size()));
            QVERIFY(said[1].endsWith(QStringLiteral(". Nothing was left there.")));
            QCOMPARE(everything(documents.path()), (QMap<QString, QByteArray>()));
        }
        QStringList names;
        for (int i = 0; i < 3; ++i) {
            const QStringList said = rec->said(results.Label3[0]);
            QCOMPARE(said.size(), 2);
            names << said[1].section(QLatin1Char('\n'), 1);
        }
        QCOMPARE(everything(documents.path()).size(), 3);
        for (const QString &name : names)
            QVERIFY(pdfText(name).contains(QStringLiteral("Amira")));
        QCOMPARE(QSet<QString>(names.begin(), names.end()).size(), 3);
    }

    // Printouts that chose one name (three in one second) are kept apart, never written over.
    void pdfsGivenOneNameAreKeptApart()
    {
        QTemporaryDir out;
        const QString path = out.filePath(QStringLiteral("Habitara certificate.pdf"));
        std::vector<std::unique_ptr<PrinterDevice>> jobs;
        for (int i = 1; i <= 3; ++i) {
            jobs.push_back(openPdfPrinter(path, true));
            jobs.back()->print(QStringLiteral("Copy number %1").arg(i));
        }
        QStringList savedTo;
        for (auto &job : jobs) {
            job->endDoc();
            savedTo << QFileInfo(job->savedTo()).fileName();
        }
        QCOMPARE(savedTo, (QStringList{QStringLiteral("Habitara certificate.pdf"),
                                       QStringLiteral("Habitara certificate (2).pdf"),
                                       QStringLiteral("Habitara certificate (3).pdf")}));
        for (int i = 1; i <= 3; ++i)
            QVERIFY(pdfText(out.filePath(savedTo[i - 1]))
                        .contains(QStringLiteral("Copy number %1").arg(i)));
    }

    // Links, pipes and folders where a worksheet's file, the register or its lock should be are
    // refused, never followed, read, waited on or rewritten; what they point at stays as it was.
    // A save while the register cannot be used keeps the worksheet and says it is not listed.
    void whatIsNotAnOrdinaryFileIsLeftAlone_data()
    {
        QTest::addColumn<QString>("name");    ///< in the worksheet folder
        QTest::addColumn<QString>("entry");   ///< what stands there
        QTest::addColumn<QString>("action");  ///< save, or run or edit "Fresh Save"
        QTest::addColumn<QString>("opening"); ///< what opening the catalogue says
        QTest::addColumn<QString>("said");    ///< what the action says
        const char *sheetRows[][3] = {
            {"link", "save", "\"Fresh Save.txt\" is a link to another file"},
            {"link", "run", "is a link to another file"},
            {"link", "edit", "is a link to another file"},
            {"passwd", "run", "is a link to another file"},
            {"pipe", "run", "\"Fresh Save.txt\" is a pipe"},
            {"pipe", "edit", "is a pipe"},
            {"pipe", "save", "is a pipe"},
            {"folder", "save", "is a folder"},
            {"folder", "run", "is a folder"}};
        for (const auto &[entry, action, said] : sheetRows)
            QTest::addRow("worksheet as a %s, %s", entry, action)
                << "Fresh Save.txt" << entry << action << "" << said;
        for (const char *kind : {"link", "pipe", "folder"})
            QTest::addRow("register as a %s", kind)
                << "track.txt" << kind << "save"
                << QStringLiteral("cannot be used: \"track.txt\" is a %1")
                       .arg(kind == QByteArray("link") ? "link to another file" : kind)
                << "Your worksheet has been saved as \"Fresh Save.txt\"";
        for (const char *kind : {"pipe", "link to another file"})
            QTest::addRow("lock as a %s", kind)
                << "track.txt.lock" << QString::fromLatin1(kind).section(u' ', 0, 0) << "save"
                << ""
                << QStringLiteral("\"track.txt.lock\" is a %1, not an ordinary file, so the "
                                  "worksheet was not saved")
                       .arg(kind);
    }

    void whatIsNotAnOrdinaryFileIsLeftAlone()
    {
        QFETCH(QString, name);
        QFETCH(QString, entry);
        QFETCH(QString, action);
        QFETCH(QString, opening);
        QFETCH(QString, said);
        const QString title = QStringLiteral("Fresh Save");
        // The decoys are a worksheet and a register that would load, were they ever followed.
        QTemporaryDir elsewhere;
        writeFile(elsewhere.filePath(QStringLiteral("decoy.txt")),
                  worksheetBytes(QStringLiteral("Decoy")));
        writeFile(elsewhere.filePath(QStringLiteral("track.txt")),
                  registerBytes({QStringLiteral("Decoy")}));
        const QString decoy =
            entry == QStringLiteral("passwd")
                ? QStringLiteral("/etc/passwd")
                : elsewhere.filePath(name.startsWith(u"track") ? QStringLiteral("track.txt")
                                                               : QStringLiteral("decoy.txt"));
        if (!name.startsWith(u"track"))
            content->write(track, registerBytes({title}));
        const QString path = content->path(QStringLiteral("multiple/") + name);
        content->remove(QStringLiteral("multiple/") + name);
        if (entry == QStringLiteral("pipe"))
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0644), 0);
        else if (entry == QStringLiteral("folder"))
            QVERIFY(QDir().mkpath(path));
        else
            QVERIFY(QFile::link(decoy, path));
        const auto before = everything(content->path(QStringLiteral("multiple")));
        const auto decoysBefore = everything(elsewhere.path());
        QFile passwd(QStringLiteral("/etc/passwd"));
        QVERIFY(passwd.open(QIODevice::ReadOnly));
        const QByteArray passwdBefore = passwd.readAll();

        rec->messages.clear();
        worksheets &cat = openCatalogue();
        QCOMPARE(rec->messages.size(), opening.isEmpty() ? 0 : 1);
        if (!opening.isEmpty()) {
            QVERIFY2(rec->messages[0].contains(opening), qPrintable(rec->messages[0]));
            QVERIFY(shown(cat).isEmpty());
        }
        QStringList messages;
        if (action == QStringLiteral("save")) {
            click(cat.Label2[0]);
            settle();
            wizard &w = openWizard();
            writeWorksheet(w, title);
            messages = rec->said(w.Label3[1]);
        } else {
            if (action == QStringLiteral("edit"))
                click(cat.Check1);
            messages = rec->said(cat.Label2[1]);
            QVERIFY(!isLoaded<multiple>() && !isLoaded<wizard>());
            QVERIFY(Module1::worktitle != QStringLiteral("Decoy"));
        }
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages[0].contains(said), qPrintable(messages[0]));
        auto after = everything(content->path(QStringLiteral("multiple")));
        if (said.startsWith(QStringLiteral("Your worksheet")))
            QCOMPARE(after.take(QStringLiteral("Fresh Save.txt")), worksheetBytes(title));
        else
            QVERIFY2(!messages[0].contains(QStringLiteral("has been saved")),
                     qPrintable(messages[0]));
        QCOMPARE(after, before);
        QCOMPARE(everything(elsewhere.path()), decoysBefore);
        passwd.seek(0);
        QCOMPARE(passwd.readAll(), passwdBefore);

        // A worksheet that cannot be opened can still be taken off the list.
        if (action != QStringLiteral("save")) {
            click(cat.Check2);
            QCOMPARE(rec->said(cat.Label2[1]).size(), 1);
            QCOMPARE(content->read(track), registerBytes({}));
            QCOMPARE(everything(elsewhere.path()), decoysBefore);
        }
    }

    // A registered title that would lead out of the folder is listed, cannot be run or edited,
    // and can be deleted; nothing outside the folder is read.
    void titlesLeadingOutTheFolder_data()
    {
        QTest::addColumn<QString>("title");
        QTest::newRow("../") << "../elsewhere/decoy";
        QTest::newRow("..\\") << "..\\elsewhere\\decoy";
        QTest::newRow("..") << "..";
        QTest::newRow("/ inside") << "sub/decoy";
        QTest::newRow("absolute") << "<outside>/decoy";
        QTest::newRow("control character") << "Tab\there";
    }

    void titlesLeadingOutTheFolder()
    {
        QFETCH(QString, title);
        QTemporaryDir elsewhere;
        title.replace(QStringLiteral("<outside>"), elsewhere.path());
        // The decoys are worksheets that would load, were they ever opened.
        for (const QString &decoy : {elsewhere.filePath(QStringLiteral("decoy.txt")),
                                     content->path(QStringLiteral("elsewhere/decoy.txt")),
                                     content->path(QStringLiteral("multiple/sub/decoy.txt")),
                                     content->path(QStringLiteral("multiple/Tab\there.txt")),
                                     content->path(QStringLiteral("multiple/...txt"))})
            writeFile(decoy, worksheetBytes(QStringLiteral("Decoy")));
        content->write(track, registerBytes({QStringLiteral("Before"), title}));
        worksheets &cat = openCatalogue();
        QCOMPARE(shown(cat), (QStringList{QStringLiteral("Before"), title}));
        for (bool edit : {false, true}) {
            if (edit)
                click(cat.Check1);
            const QStringList messages = rec->said(cat.Label2[2]);
            QCOMPARE(messages.size(), 1);
            QVERIFY2(messages[0].startsWith(QStringLiteral("The worksheet \"%1\" cannot be run or "
                                                           "edited, because its title")
                                                .arg(title)),
                     qPrintable(messages[0]));
            QVERIFY(messages[0].contains(QStringLiteral("It can still be deleted")));
            QVERIFY(!isLoaded<multiple>() && !isLoaded<wizard>());
            QVERIFY(Module1::worktitle != QStringLiteral("Decoy"));
        }
        click(cat.Check2);
        QCOMPARE(rec->said(cat.Label2[2]),
                 QStringList{QStringLiteral("Are you sure that you want to delete the worksheet "
                                            "%1?")
                                 .arg(title)});
        QCOMPARE(shown(cat), QStringList{QStringLiteral("Before")});
        QCOMPARE(content->read(track), registerBytes({QStringLiteral("Before")}));
        QCOMPARE(content->read(QStringLiteral("elsewhere/decoy.txt")),
                 worksheetBytes(QStringLiteral("Decoy")));
    }
};

QTEST_MAIN(FolderSafetyTest)
#include "tst_foldersafety.moc"
