// SPDX-License-Identifier: GPL-3.0-or-later
// The worksheet folder on real file systems and as other users: a disk filled to its last pages,
// a folder the teacher may not write or a register they may not read, and a teacher watched with
// strace while the folder holds links, pipes and titles that lead outside it.
#include "authoring/register.h"
#include "authoring/wizard.h"
#include "authoring/worksheets.h"
#include "platform/msgbox.h"
#include "platform/paths.h"
#include "platform/printer.h"
#include "quiz/Welldone.h"
#include "tests/support/author.h"
#include "tests/support/pupil.h"
#include "tests/support/testkit.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace testkit;
using namespace author;

namespace {

const QByteArray asItWas("the worksheet as it was\r\n");

/// Every file below a folder with its bytes, hidden ones too.
QMap<QString, QByteArray> filesBelow(const QString &folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile f(path);
        files[QDir(folder).relativeFilePath(path)] =
            f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
    }
    return files;
}

/// Fills the file system of a folder until only `pages` pages of 4 KiB are free.
void fillLeaving(const QString &folder, int pages)
{
    const QByteArray path = QFile::encodeName(folder + QStringLiteral("/filler"));
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    QVERIFY(fd >= 0);
    const QByteArray page(4096, 'f');
    qint64 written = 0;
    for (;;) {
        const ssize_t n = ::write(fd, page.constData(), size_t(page.size()));
        if (n <= 0)
            break;
        written += n;
    }
    QCOMPARE(errno, ENOSPC);
    QCOMPARE(::ftruncate(fd, (written / 4096 - pages) * 4096), 0);
    ::fsync(fd);
    ::close(fd);
}

/// A folder a user other than root may enter and read.
void openToOthers(const QString &folder)
{
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    ::chmod(QFile::encodeName(folder).constData(), 0755);
    while (it.hasNext()) {
        const QString path = it.next();
        ::chmod(QFile::encodeName(path).constData(), it.fileInfo().isDir() ? 0755 : 0644);
    }
}

} // namespace

/// A file system mounted on a folder for as long as the object lives.
struct Mounted
{
    QString path;
    ~Mounted()
    {
        if (!path.isEmpty())
            QProcess::execute(QStringLiteral("umount"), {path});
    }
};

class RealFoldersTest : public ScreenTest
{
    Q_OBJECT

private Q_SLOTS:
    // A real disk filled to its last pages: a save, a save over an old worksheet, a delete and a
    // certificate's PDF either do their work whole or change nothing and say the disk is full.
    void aFullDiskChangesNothing_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("pages");
        for (const char *action : {"new", "again", "delete", "pdf"})
            for (int pages : {0, 1, 2})
                QTest::addRow("%s, %d pages free", action, pages)
                    << QString::fromLatin1(action) << pages;
    }

    void aFullDiskChangesNothing()
    {
        QFETCH(QString, action);
        QFETCH(int, pages);
        QTemporaryDir disk;
        QProcess mount;
        mount.start(QStringLiteral("mount"),
                    {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                     QStringLiteral("size=1m,mode=0755"), QStringLiteral("tmpfs"), disk.path()});
        if (!mount.waitForFinished(30000) || mount.exitStatus() != QProcess::NormalExit ||
            mount.exitCode() != 0)
            QSKIP(qPrintable(
                QStringLiteral("a small file system cannot be mounted here (mount "
                               "needs root with CAP_SYS_ADMIN): %1")
                    .arg(QString::fromLocal8Bit(mount.readAllStandardError()).trimmed())));
        const Mounted mounted{disk.path()};
        const QString folder = disk.filePath(QStringLiteral("multiple"));
        const QString pdfs = disk.filePath(QStringLiteral("pdf"));
        QDir().mkpath(pdfs);
        setWorksheetFolder(folder);
        const QString title = QStringLiteral("Fresh Save");
        writeFile(folder + QStringLiteral("/Rivers.txt"), worksheetBytes(QStringLiteral("Rivers")));
        const QStringList registered = action == QStringLiteral("new")
                                           ? QStringList{QStringLiteral("Rivers")}
                                           : QStringList{QStringLiteral("Rivers"), title};
        writeFile(folder + QStringLiteral("/track.txt"), registerBytes(registered));
        if (action != QStringLiteral("new"))
            writeFile(folder + QStringLiteral("/Fresh Save.txt"), asItWas);

        // Everything up to the last click is done before the disk fills.
        Control *last = nullptr;
        if (action == QStringLiteral("delete")) {
            worksheets &cat = openCatalogue();
            click(cat.Check2);
            last = &cat.Label2[1];
        } else if (action == QStringLiteral("pdf")) {
            rec->failPrinting();
            setFallbackPdfFolder(pdfs);
            Welldone &results = pupil::playToResults();
            typeInto(results.Text1, QStringLiteral("Amira"));
            last = &results.Label3[0];
        } else {
            wizard &w = openWizard();
            writeWorksheet(w, title);
            last = &w.Label3[1];
        }
        fillLeaving(disk.path(), pages);
        const auto before = filesBelow(folder);
        const QStringList said = rec->said(*last);
        auto after = filesBelow(folder);
        const QString message = said.isEmpty() ? QString() : said.last();

        if (action == QStringLiteral("pdf")) {
            QCOMPARE(said.size(), 2);
            QCOMPARE(said[0], QStringLiteral("There was a problem printing to your printer."));
            const QStringList left = QDir(pdfs).entryList(QDir::Files | QDir::Hidden);
            if (message.startsWith(QStringLiteral("A copy has been saved"))) {
                QCOMPARE(left.size(), 1);
                QVERIFY(pdfText(QDir(pdfs).filePath(left[0])).contains(QStringLiteral("Amira")));
            } else {
                QVERIFY2(message.contains(QStringLiteral("could not be saved in the folder")) &&
                             message.contains(QStringLiteral("the disk is full")),
                         qPrintable(message));
                QVERIFY2(left.isEmpty(), qPrintable(left.join(u',')));
            }
            QVERIFY(pages > 0 || !message.startsWith(QStringLiteral("A copy")));
        } else if (action == QStringLiteral("delete")) {
            if (said.size() == 1) {
                QCOMPARE(after.take(QStringLiteral("track.txt")), registerBytes({title}));
            } else {
                QCOMPARE(said.size(), 2);
                QVERIFY2(message.contains(QStringLiteral("could not be taken off the list, because "
                                                         "the disk is full")),
                         qPrintable(message));
            }
            QVERIFY(pages > 0 || said.size() == 2);
        } else if (said == saved) {
            QVERIFY(pages > 0);
            QCOMPARE(after.take(QStringLiteral("Fresh Save.txt")), worksheetBytes(title));
            QCOMPARE(after.take(QStringLiteral("track.txt")),
                     registerBytes({QStringLiteral("Rivers"), title}));
        } else {
            QCOMPARE(said.size(), 1);
            if (message.startsWith(QStringLiteral("Your worksheet has been saved as"))) {
                QVERIFY2(message.contains(QStringLiteral("could not be added to the list of "
                                                         "worksheets: the disk is full")),
                         qPrintable(message));
                QCOMPARE(after.take(QStringLiteral("Fresh Save.txt")), worksheetBytes(title));
            } else {
                QVERIFY2(message.startsWith(QStringLiteral("The disk is full, so the worksheet "
                                                           "was not saved. Nothing was changed.")),
                         qPrintable(message));
            }
        }
        // What was not said to have changed is byte for byte as it was, with nothing left over.
        auto untouched = before;
        for (const QString &changed :
             {QStringLiteral("Fresh Save.txt"), QStringLiteral("track.txt")})
            if (!after.contains(changed))
                untouched.remove(changed);
        QCOMPARE(after, untouched);

        // With room again, the same click does it.
        QVERIFY(QFile::remove(disk.filePath(QStringLiteral("filler"))));
        const QStringList again = rec->said(*last);
        if (action == QStringLiteral("pdf"))
            QVERIFY(again.last().startsWith(QStringLiteral("A copy has been saved")));
        else if (action != QStringLiteral("delete"))
            QCOMPARE(again, saved);
    }

    // Root may write anything, so the folder's modes are tried as an ordinary user: a folder the
    // teacher may not write, and a register they may not read.
    void aFolderTheTeacherMayNotChange_data()
    {
        QTest::addColumn<bool>("folderWritable");
        QTest::addColumn<QStringList>("expected"); ///< the teacher's messages, in order
        const QString rivers = QStringLiteral("Rivers");
        QTest::newRow("read-only folder")
            << false
            << QStringList{QStringLiteral("You may not change files in the folder \"<folder>\", so "
                                          "the worksheet was not saved. Nothing was changed."),
                           QStringLiteral("Are you sure that you want to delete the worksheet "
                                          "Rivers?"),
                           QStringLiteral("The worksheet \"Rivers\" could not be taken off the "
                                          "list, because you may not change files in the folder "
                                          "\"<folder>\". Nothing was changed.")};
        QTest::newRow("unreadable register")
            << true
            << QStringList{QStringLiteral("The list of worksheets (\"track.txt\" in the folder "
                                          "\"<folder>\") cannot be used: you may not read "
                                          "\"track.txt\"."),
                           QStringLiteral("Your worksheet has been saved as \"Fresh Save.txt\" in "
                                          "the folder \"<folder>\", but it could not be added to "
                                          "the list of worksheets: the list cannot be used, "
                                          "because you may not read \"track.txt\"."),
                           QStringLiteral("The list of worksheets (\"track.txt\" in the folder "
                                          "\"<folder>\") cannot be used: you may not read "
                                          "\"track.txt\".")};
    }

    void aFolderTheTeacherMayNotChange()
    {
        QFETCH(bool, folderWritable);
        QFETCH(QStringList, expected);
        const passwd *nobody = ::getpwnam("nobody");
        const bool root = ::geteuid() == 0;
        if (root &&
            (!nobody || QStandardPaths::findExecutable(QStringLiteral("setpriv")).isEmpty()))
            QSKIP("root ignores file modes, and there is no user \"nobody\" or no setpriv to "
                  "become one");
        const QString folder = content->path(QStringLiteral("multiple"));
        registerSheets({QStringLiteral("Rivers")});
        openToOthers(content->path());
        if (folderWritable) {
            ::chmod(QFile::encodeName(folder).constData(), 0777);
            ::chmod(QFile::encodeName(folder + QStringLiteral("/track.txt")).constData(), 0600);
        } else {
            ::chmod(QFile::encodeName(folder).constData(), 0555);
        }
        QTemporaryDir runtime;
        ::chmod(QFile::encodeName(runtime.path()).constData(), 0700);
        if (root)
            QCOMPARE(::chown(QFile::encodeName(runtime.path()).constData(), nobody->pw_uid,
                             nobody->pw_gid),
                     0);
        const auto before = filesBelow(folder);

        QProcess teacher;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        env.insert(QStringLiteral("HOME"), runtime.path());
        teacher.setProcessEnvironment(env);
        if (root)
            teacher.start(QStringLiteral("setpriv"),
                          {QStringLiteral("--reuid=%1").arg(nobody->pw_uid),
                           QStringLiteral("--regid=%1").arg(nobody->pw_gid),
                           QStringLiteral("--clear-groups"), QStringLiteral(FOLDER_TEACHER),
                           content->path()});
        else
            teacher.start(QStringLiteral(FOLDER_TEACHER), {content->path()});
        QVERIFY(teacher.waitForFinished(120000));
        const QString output = QString::fromLocal8Bit(teacher.readAllStandardOutput());
        ::chmod(QFile::encodeName(folder).constData(), 0755);
        QVERIFY2(teacher.exitCode() == 0 && output.endsWith(QStringLiteral("done\n")),
                 qPrintable(output + QString::fromLocal8Bit(teacher.readAllStandardError())));
        QStringList said;
        for (const QString &line : output.split(QLatin1Char('\n')))
            if (line.startsWith(QStringLiteral("said: ")))
                said << line.mid(6).section(QLatin1Char('|'), 0, 0);
        expected.replaceInStrings(QStringLiteral("<folder>"), folder);
        QCOMPARE(said, expected);

        auto after = filesBelow(folder);
        if (folderWritable)
            QCOMPARE(after.take(QStringLiteral("Fresh Save.txt")),
                     worksheetBytes(QStringLiteral("Fresh Save")));
        QCOMPARE(after, before);
    }

    // One whole session watched with strace: no worksheet or register path outside the folder
    // is opened, made, renamed or removed, and the links and pipes in it are never opened.
    void aWatchedTeacherStaysInTheFolder()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("strace")).isEmpty())
            QSKIP("strace is not installed");
        QTemporaryDir elsewhere;
        const QString decoy = elsewhere.filePath(QStringLiteral("decoy.txt"));
        writeFile(decoy, worksheetBytes(QStringLiteral("Decoy")));
        writeFile(content->path(QStringLiteral("elsewhere/decoy.txt")),
                  worksheetBytes(QStringLiteral("Decoy")));
        const QString folder = content->path(QStringLiteral("multiple"));
        QVERIFY(QFile::link(decoy, folder + QStringLiteral("/Linked.txt")));
        QVERIFY(QFile::link(QStringLiteral("/etc/passwd"), folder + QStringLiteral("/Passwd.txt")));
        QCOMPARE(
            ::mkfifo(QFile::encodeName(folder + QStringLiteral("/Piped.txt")).constData(), 0644),
            0);
        QVERIFY(QFile::link(decoy, folder + QStringLiteral("/Fresh Save.txt")));
        const QStringList titles{QStringLiteral("Rivers"),
                                 QStringLiteral("../elsewhere/decoy"),
                                 QStringLiteral("..\\elsewhere\\decoy"),
                                 elsewhere.path() + QStringLiteral("/decoy"),
                                 QStringLiteral("Linked"),
                                 QStringLiteral("Passwd"),
                                 QStringLiteral("Piped")};
        content->write(QStringLiteral("multiple/track.txt"), registerBytes(titles));
        content->write(QStringLiteral("multiple/Rivers.txt"),
                       worksheetBytes(QStringLiteral("Rivers")));
        const auto decoysBefore = filesBelow(elsewhere.path());

        const QString log = content->path(QStringLiteral("strace.log"));
        QProcess teacher;
        // LeakSanitizer cannot work under ptrace; the sanitizer build finds leaks elsewhere.
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        const QString asan = env.value(QStringLiteral("ASAN_OPTIONS"));
        env.insert(QStringLiteral("ASAN_OPTIONS"),
                   asan + (asan.isEmpty() ? "" : ":") + QStringLiteral("detect_leaks=0"));
        teacher.setProcessEnvironment(env);
        teacher.start(QStringLiteral("strace"),
                      {QStringLiteral("-f"), QStringLiteral("-qq"), QStringLiteral("-o"), log,
                       QStringLiteral("-e"),
                       QStringLiteral("trace=open,openat,openat2,creat,truncate,rename,renameat,"
                                      "renameat2,link,linkat,unlink,unlinkat,mknodat,mkdir,"
                                      "mkdirat"),
                       QStringLiteral(FOLDER_TEACHER), content->path()});
        QVERIFY(teacher.waitForFinished(180000));
        const QString output = QString::fromLocal8Bit(teacher.readAllStandardOutput());
        QVERIFY2(teacher.exitCode() == 0 && output.endsWith(QStringLiteral("done\n")),
                 qPrintable(output + QString::fromLocal8Bit(teacher.readAllStandardError())));
        // Every title was taken off the list; "Fresh Save" could not be saved over the link.
        QVERIFY2(output.contains(QStringLiteral("\"Fresh Save.txt\" is a link to another file")),
                 qPrintable(output));
        QCOMPARE(content->read(QStringLiteral("multiple/track.txt")), registerBytes({}));

        QFile trace(log);
        QVERIFY(trace.open(QIODevice::ReadOnly));
        static const QRegularExpression quoted(QStringLiteral("\"((?:[^\"\\\\]|\\\\.)*)\""));
        // A name given to a call with a folder's descriptor belongs to the folder opened so.
        static const QRegularExpression folderOpened(
            QStringLiteral("openat\\(AT_FDCWD, \"([^\"]*)\", [^)]*O_DIRECTORY[^)]*\\) = (\\d+)"));
        static const QRegularExpression inFolder(
            QStringLiteral("^[0-9]+ +[a-z0-9]+at2?\\((\\d+), "));
        QMap<QString, QString> folders;
        int seen = 0;
        const QString folderPrefix = QDir(folder).absolutePath() + QLatin1Char('/');
        for (const QByteArray &raw : trace.readAll().split('\n')) {
            const QString line = QString::fromLocal8Bit(raw);
            if (const auto m = folderOpened.match(line); m.hasMatch())
                folders[m.captured(2)] = m.captured(1);
            const auto at = inFolder.match(line);
            for (const auto &m : quoted.globalMatch(line)) {
                QString path = m.captured(1);
                if (at.hasMatch()) {
                    QVERIFY2(folders.contains(at.captured(1)) && !path.contains(QLatin1Char('/')),
                             qPrintable(line));
                    path = folders[at.captured(1)] + QLatin1Char('/') + path;
                }
                // (The system's own look-ups may read /etc/passwd; the link to it is what counts.)
                QVERIFY2(!path.contains(elsewhere.path()) &&
                             !path.contains(QStringLiteral("elsewhere")),
                         qPrintable(line));
                QVERIFY2(!path.endsWith(QStringLiteral("Linked.txt")) &&
                             !path.endsWith(QStringLiteral("Piped.txt")) &&
                             !path.endsWith(QStringLiteral("Passwd.txt")),
                         qPrintable(line));
                if (path.endsWith(QStringLiteral(".txt")) ||
                    path.contains(QStringLiteral("track.txt"))) {
                    QVERIFY2(QFileInfo(path).absoluteFilePath().startsWith(folderPrefix),
                             qPrintable(line));
                    ++seen;
                }
            }
        }
        // The watch saw the register and the worksheets being worked on.
        QVERIFY2(seen > 5, qPrintable(QString::number(seen)));
        QCOMPARE(filesBelow(elsewhere.path()), decoysBefore);
        QCOMPARE(content->read(QStringLiteral("elsewhere/decoy.txt")),
                 worksheetBytes(QStringLiteral("Decoy")));
    }
};

QTEST_MAIN(RealFoldersTest)
#include "tst_realfolders.moc"
