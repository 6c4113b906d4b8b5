// SPDX-License-Identifier: GPL-3.0-or-later
// Two copies of the program changing one register at once lose no change.
#include "authoring/register.h"
#include "tests/support/author.h"
#include "tests/support/testkit.h"

#include <QProcess>
#include <QTest>

using namespace testkit;

class ConcurrentSavesTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void twoProcessesSaveTwoHundredTitlesEach()
    {
        ContentFolder content;
        QProcess copies[2];
        const QString prefixes[2] = {QStringLiteral("North"), QStringLiteral("South")};
        for (int c = 0; c < 2; ++c) {
            copies[c].setProcessChannelMode(QProcess::ForwardedChannels);
            copies[c].start(QStringLiteral(WORKSHEET_SAVER),
                            {content.path(), prefixes[c], QStringLiteral("200")});
        }
        for (QProcess &p : copies) {
            QVERIFY(p.waitForFinished(240000));
            QVERIFY(p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0);
        }
        // Every title is there once, each copy's in the order it saved them, the file whole.
        const QStringList titles = readRegister();
        QCOMPARE(titles.size(), 400);
        for (const QString &prefix : prefixes) {
            const QStringList own = titles.filter(prefix + QLatin1Char(' '));
            QCOMPARE(own.size(), 200);
            for (int i = 1; i <= 200; ++i)
                QCOMPARE(own[i - 1], QStringLiteral("%1 %2").arg(prefix).arg(i));
        }
        QCOMPARE(content.read(QStringLiteral("multiple/track.txt")), author::registerBytes(titles));
        QCOMPARE(content.read(QStringLiteral("multiple/South 200.txt")),
                 author::worksheetBytes(QStringLiteral("South 200")));
    }

    void oneCopyDeletesWhileAnotherSaves()
    {
        ContentFolder content;
        QStringList old;
        for (int i = 1; i <= 150; ++i)
            old << QStringLiteral("Old %1").arg(i);
        content.write(QStringLiteral("multiple/track.txt"),
                      author::registerBytes(QStringList{QStringLiteral("Kept")} + old));
        QProcess deleter, saver;
        for (QProcess *p : {&deleter, &saver})
            p->setProcessChannelMode(QProcess::ForwardedChannels);
        deleter.start(QStringLiteral(WORKSHEET_SAVER),
                      {content.path(), QStringLiteral("Old"), QStringLiteral("150"),
                       QStringLiteral("delete")});
        saver.start(QStringLiteral(WORKSHEET_SAVER),
                    {content.path(), QStringLiteral("New"), QStringLiteral("150")});
        for (QProcess *p : {&deleter, &saver}) {
            QVERIFY(p->waitForFinished(240000));
            QVERIFY(p->exitStatus() == QProcess::NormalExit && p->exitCode() == 0);
        }
        // Every old title went, every new one came, in the order saved, after the one kept.
        QStringList expected{QStringLiteral("Kept")};
        for (int i = 1; i <= 150; ++i)
            expected << QStringLiteral("New %1").arg(i);
        QCOMPARE(readRegister(), expected);
        QCOMPARE(content.read(QStringLiteral("multiple/track.txt")),
                 author::registerBytes(expected));
    }
};

QTEST_GUILESS_MAIN(ConcurrentSavesTest)
#include "tst_concurrentsaves.moc"
