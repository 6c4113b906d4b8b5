// SPDX-License-Identifier: GPL-3.0-or-later
// The worksheet folder on real file systems and as other users: a disk filled to its last pages,
// a folder the teacher may not write or a register they may not read, and a teacher watched with
// strace while the folder holds links, pipes and titles that lead outside it.
#include "authoring/register.h"
#include "authoring/wizard.h"
#include "authoring/worksheets.h"
#include "platform/paths.h"
#include "tests/support/author.h"
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

/// Runs folder_teacher on a content folder, behind a command (setpriv, strace) when one is
/// given, and keeps what it printed; it must end well, saying "done".
void runTeacher(const QString &folder, const QStringList &behind, const QProcessEnvironment &env,
                QString *output)
{
    QProcess teacher;
    teacher.setProcessEnvironment(env);
    const QStringList command = behind + QStringList{QStringLiteral(FOLDER_TEACHER), folder};
    teacher.start(command[0], command.mid(1));
    QVERIFY(teacher.waitForFinished(180000));
    *output = QString::fromLocal8Bit(teacher.readAllStandardOutput());
    QVERIFY2(teacher.exitCode() == 0 && output->endsWith(QStringLiteral("done\n")),
             qPrintable(*output + QString::fromLocal8Bit(teacher.readAllStandardError())));
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
    // A real disk filled to its last pages: a save does its work whole, keeps the worksheet's
    // file and says it could not be listed, or changes nothing, and says the disk is full. (Each
    // place a write can fail, the other actions and the other errors are tried through the
    // write fault in tst_foldersafety; this is the kernel's own "no space".)
    void aFullDiskChangesNothing_data()
    {
        QTest::addColumn<int>("pages");
        for (int pages : {0, 1, 2})
            QTest::addRow("%d pages free", pages) << pages;
    }

    void aFullDiskChangesNothing()
    {
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
        setWorksheetFolder(folder);
        const QString title = QStringLiteral("Fresh Save");
        writeFile(folder + QStringLiteral("/Rivers.txt"), worksheetBytes(QStringLiteral("Rivers")));
        writeFile(folder + QStringLiteral("/track.txt"), registerBytes({QStringLiteral("Rivers")}));

        // Everything up to the last click is done before the disk fills.
        wizard &w = openWizard();
        writeWorksheet(w, title);
        fillLeaving(disk.path(), pages);
        auto before = everything(folder);
        const QStringList said = rec->said(w.Label3[1]);
        auto after = everything(folder);
        QCOMPARE(said.size(), 1);
        const bool kept = said[0].startsWith(QStringLiteral("Your worksheet has been saved"));
        if (said == saved) {
            QVERIFY(pages > 0);
            QCOMPARE(after.take(QStringLiteral("track.txt")),
                     registerBytes({QStringLiteral("Rivers"), title}));
            before.remove(QStringLiteral("track.txt"));
        } else if (kept) {
            QVERIFY2(said[0].contains(QStringLiteral("could not be added to the list of "
                                                     "worksheets: the disk is full")),
                     qPrintable(said[0]));
        } else {
            QVERIFY2(said[0].startsWith(QStringLiteral("The disk is full, so the worksheet was "
                                                       "not saved. Nothing was changed.")),
                     qPrintable(said[0]));
        }
        if (kept)
            QCOMPARE(after.take(QStringLiteral("Fresh Save.txt")), worksheetBytes(title));
        // What was not said to have changed is byte for byte as it was, with nothing left over.
        QCOMPARE(after, before);

        // With room again, the same click does it.
        QVERIFY(QFile::remove(disk.filePath(QStringLiteral("filler"))));
        QCOMPARE(rec->said(w.Label3[1]), saved);
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
        const auto before = everything(folder);

        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        env.insert(QStringLiteral("HOME"), runtime.path());
        const QStringList asNobody{QStringLiteral("setpriv"),
                                   QStringLiteral("--reuid=%1").arg(nobody ? nobody->pw_uid : 0),
                                   QStringLiteral("--regid=%1").arg(nobody ? nobody->pw_gid : 0),
                                   QStringLiteral("--clear-groups")};
        QString output;
        runTeacher(content->path(), root ? asNobody : QStringList(), env, &output);
        ::chmod(QFile::encodeName(folder).constData(), 0755);
        if (QTest::currentTestFailed())
            return;
        QStringList said;
        for (const QString &line : output.split(QLatin1Char('\n')))
            if (line.startsWith(QStringLiteral("said: ")))
                said << line.mid(6).section(QLatin1Char('|'), 0, 0);
        expected.replaceInStrings(QStringLiteral("<folder>"), folder);
        QCOMPARE(said, expected);

        auto after = everything(folder);
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
        const auto decoysBefore = everything(elsewhere.path());

        const QString log = content->path(QStringLiteral("strace.log"));
        // LeakSanitizer cannot work under ptrace; the sanitizer build finds leaks elsewhere.
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        const QString asan = env.value(QStringLiteral("ASAN_OPTIONS"));
        env.insert(QStringLiteral("ASAN_OPTIONS"),
                   asan + (asan.isEmpty() ? "" : ":") + QStringLiteral("detect_leaks=0"));
        QString output;
        runTeacher(content->path(),
                   {QStringLiteral("strace"), QStringLiteral("-f"), QStringLiteral("-qq"),
                    QStringLiteral("-o"), log, QStringLiteral("-e"),
                    QStringLiteral("trace=open,openat,openat2,creat,truncate,rename,renameat,"
                                   "renameat2,link,linkat,unlink,unlinkat,mknodat,mkdir,mkdirat")},
                   env, &output);
        if (QTest::currentTestFailed())
            return;
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
        QCOMPARE(everything(elsewhere.path()), decoysBefore);
        QCOMPARE(content->read(QStringLiteral("elsewhere/decoy.txt")),
                 worksheetBytes(QStringLiteral("Decoy")));
    }
};

QTEST_MAIN(RealFoldersTest)
#include "tst_realfolders.moc"
