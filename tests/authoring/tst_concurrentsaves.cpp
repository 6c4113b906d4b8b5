// SPDX-License-Identifier: GPL-3.0-or-later
// Two copies of the program saving into one register at once lose no title.
#include "authoring/register.h"
#include "tests/support/author.h"
#include "tests/support/testkit.h"

#include <QProcess>
#include <QSet>
#include <QTest>

using namespace testkit;

class ConcurrentSavesTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void twoProcessesSaveTwoHundredTitlesEach()
    {
        ContentFolder content;
        QProcess first, second;
        for (QProcess *p : {&first, &second})
            p->setProcessChannelMode(QProcess::ForwardedChannels);
        first.start(QStringLiteral(WORKSHEET_SAVER),
                    {content.path(), QStringLiteral("North"), QStringLiteral("200")});
        second.start(QStringLiteral(WORKSHEET_SAVER),
                     {content.path(), QStringLiteral("South"), QStringLiteral("200")});
        for (QProcess *p : {&first, &second}) {
            QVERIFY(p->waitForFinished(240000));
            QCOMPARE(p->exitStatus(), QProcess::NormalExit);
            QCOMPARE(p->exitCode(), 0);
        }

        const QStringList titles = readRegister();
        QCOMPARE(titles.size(), 400);
        QSet<QString> expected;
        for (int i = 1; i <= 200; ++i)
            expected << QStringLiteral("North %1").arg(i) << QStringLiteral("South %1").arg(i);
        QCOMPARE(QSet<QString>(titles.begin(), titles.end()), expected);
        // Each copy's titles stand in the order it saved them, and the file is whole.
        QStringList north = titles.filter(QStringLiteral("North "));
        for (int i = 1; i <= 200; ++i)
            QCOMPARE(north[i - 1], QStringLiteral("North %1").arg(i));
        QCOMPARE(content.read(QStringLiteral("multiple/track.txt")), author::registerBytes(titles));
        QVERIFY(content.read(QStringLiteral("multiple/South 200.txt"))
                    .startsWith("South 200\r\n \r\nSouth 200 question 1\r\n"));
    }
};

QTEST_GUILESS_MAIN(ConcurrentSavesTest)
#include "tst_concurrentsaves.moc"
