// SPDX-License-Identifier: GPL-3.0-or-later
// The power goes while a teacher saves and deletes worksheets: the program is killed outright
// (SIGKILL) at a random moment, a thousand times, and each time the worksheet folder must still
// hold a register that reads, a whole file for every title it lists, and every worksheet that
// was there before, but for the one being deleted.
//
// HABITARA_POWERCUT_TRIALS and HABITARA_POWERCUT_SEED set the number of trials and the seed
// (CTest runs several seeds side by side).
#include "app/Module1.h"
#include "authoring/register.h"
#include "platform/guard.h"
#include "platform/paths.h"
#include "platform/textfile.h"
#include "authoring/wizard.h"
#include "platform/fonts.h"
#include "tests/support/author.h"
#include "tests/support/testkit.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QTest>
#include <QThread>

using namespace testkit;

namespace {

/// What one trial's teacher said they did.
struct Journal
{
    QStringList saved, deleted;
    QString deleting; ///< a delete begun and not seen through
};

Journal readJournal(const QByteArray &output)
{
    Journal j;
    for (const QByteArray &raw : output.split('\n')) {
        const QString line = QString::fromUtf8(raw);
        if (line.startsWith(QLatin1String("saved ")))
            j.saved << line.mid(6);
        else if (line.startsWith(QLatin1String("deleting ")))
            j.deleting = line.mid(9);
        else if (line.startsWith(QLatin1String("deleted "))) {
            j.deleted << line.mid(8);
            j.deleting.clear();
        }
    }
    return j;
}

/// The registered titles, each checked to have a whole worksheet file; a problem is thrown.
QStringList wholeWorksheets()
{
    const QStringList titles = readRegister();
    for (const QString &title : titles) {
        QFile file(contentPath(worksheetPath(title)));
        if (!file.open(QIODevice::ReadOnly))
            throw ProgramError(QStringLiteral("%1 has no file").arg(title));
        const QByteArray bytes = file.readAll();
        if (bytes.count("\r\n") != 72 || !bytes.endsWith(" \r\n"))
            throw ProgramError(QStringLiteral("the file of %1 is not whole").arg(title));
        FieldReader reader(worksheetPath(title));
        Module1::loadquest(reader);
        if (Module1::worktitle != title)
            throw ProgramError(
                QStringLiteral("the file of %1 holds %2").arg(title, Module1::worktitle));
        for (int q = 1; q <= 10; ++q)
            if (Module1::correct[q].toInt() < 1 || Module1::correct[q].toInt() > 4 ||
                Module1::answerd[q].isEmpty())
                throw ProgramError(
                    QStringLiteral("question %1 of %2 is damaged").arg(q).arg(title));
    }
    return titles;
}

} // namespace

class PowerCutTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { registerFonts(); }
    void cleanup() { resetProgram(); }

    void aLockFileLeftEmptyByACutDoesNotStopTheNextSave()
    {
        // What cuts leave behind: the register's lock made and its owner not yet written into it;
        // then, too, the guard lock made by the next copy as it cleared that; or a lock whose owner
        // died holding it, and a guard left empty by a cut while another copy was clearing it.
        QProcess gone;
        gone.start(QStringLiteral("true"));
        QVERIFY(gone.waitForStarted());
        const qint64 deadPid = gone.processId();
        QVERIFY(gone.waitForFinished());
        QLockFile real(QDir::temp().filePath(QStringLiteral("habitara-owner.lock")));
        QVERIFY(real.lock());
        QFile ownerFile(real.fileName());
        QVERIFY(ownerFile.open(QIODevice::ReadOnly));
        QByteArray deadOwner = ownerFile.readAll();
        real.unlock();
        deadOwner.replace(0, deadOwner.indexOf('\n'), QByteArray::number(deadPid));

        const QString lock = QStringLiteral("multiple/track.txt.lock");
        const QString guard = lock + QStringLiteral(".rmlock");
        const QList<QList<std::pair<QString, QByteArray>>> cases = {
            {{lock, {}}}, {{lock, {}}, {guard, {}}}, {{lock, deadOwner}, {guard, {}}}};
        for (const auto &left : cases) {
            ContentFolder content;
            Recorders rec;
            for (const auto &[name, bytes] : left) {
                content.write(name, bytes);
                QFile file(content.path(name));
                QVERIFY(file.open(QIODevice::ReadWrite));
                QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-5),
                                         QFileDevice::FileModificationTime));
            }
            wizard &w = author::openWizard();
            author::writeWorksheet(w, QStringLiteral("After the storm"));
            click(w.Label3[1]);
            QCOMPARE(rec.messages, QStringList{QStringLiteral("Your worksheet has been saved.")});
            QCOMPARE(readRegister(), QStringList{QStringLiteral("After the storm")});
            QVERIFY(!QFile::exists(content.path(lock)));
            click(w.Label3[0]);
            resetProgram();
        }
    }

    void aPowerCutWhileSavingAndDeletingLosesNoWorksheet()
    {
        const int trials = qEnvironmentVariableIntValue("HABITARA_POWERCUT_TRIALS") > 0
                               ? qEnvironmentVariableIntValue("HABITARA_POWERCUT_TRIALS")
                               : 1000;
        const quint32 seed = quint32(qEnvironmentVariableIntValue("HABITARA_POWERCUT_SEED"));
        QRandomGenerator random(seed);
        ContentFolder content;
        int saves = 0, deletes = 0, cutMidDelete = 0;
        QStringList before = wholeWorksheets();
        for (int trial = 0; trial < trials; ++trial) {
            QProcess teacher;
            teacher.setProcessChannelMode(QProcess::SeparateChannels);
            teacher.start(QStringLiteral(POWERCUT_TEACHER),
                          {content.path(), QString::number(seed * 100000 + quint32(trial))});
            QVERIFY2(teacher.waitForStarted(), qPrintable(teacher.errorString()));
            // The cut comes after a random number of finished steps (so that it never depends
            // on how fast the machine is) and a random moment into the next one.
            const int steps = random.bounded(6);
            QByteArray output;
            while (output.count('\n') < 1 + steps && teacher.state() == QProcess::Running) {
                teacher.waitForReadyRead(100);
                output += teacher.readAllStandardOutput();
            }
            QVERIFY2(teacher.state() == QProcess::Running,
                     qPrintable(QStringLiteral("trial %1: the teacher stopped: %2")
                                    .arg(trial)
                                    .arg(QString::fromUtf8(teacher.readAllStandardError()))));
            QThread::usleep(random.bounded(20000));
            teacher.kill();
            QVERIFY(teacher.waitForFinished(30000));
            output += teacher.readAllStandardOutput();
            QCOMPARE(teacher.exitStatus(), QProcess::CrashExit);

            const Journal j = readJournal(output);
            saves += int(j.saved.size());
            deletes += int(j.deleted.size());
            cutMidDelete += j.deleting.isEmpty() ? 0 : 1;
            QStringList after;
            try {
                after = wholeWorksheets();
            } catch (const ProgramError &e) {
                QFAIL(qPrintable(QStringLiteral("trial %1: %2").arg(trial).arg(e.what())));
            }
            const QSet<QString> now(after.begin(), after.end());
            for (const QString &title : before + j.saved)
                if (!j.deleted.contains(title) && title != j.deleting)
                    QVERIFY2(now.contains(title),
                             qPrintable(QStringLiteral("trial %1 lost %2").arg(trial).arg(title)));
            for (const QString &title : j.deleted)
                QVERIFY2(
                    !now.contains(title),
                    qPrintable(QStringLiteral("trial %1 kept deleted %2").arg(trial).arg(title)));
            before = after;
        }
        // The trials did the work they were meant to.
        QVERIFY(saves > 0 && deletes > 0);
        qInfo("%d trials: %d saves and %d deletes seen through, %d cut in a delete", trials, saves,
              deletes, cutMidDelete);
    }
};

QTEST_MAIN(PowerCutTest)
#include "tst_powercut.moc"
