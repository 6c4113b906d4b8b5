// SPDX-License-Identifier: GPL-3.0-or-later
// Reading and printing pages: notes, the acknowledgments with their animated logo, the guide.
#include "app/Module1.h"
#include "app/intro0.h"
#include "app/livingdesert.h"
#include "app/livingmountains.h"
#include "platform/timer.h"
#include "reading/guide.h"
#include "reading/teacher.h"
#include "tests/support/testkit.h"

#include <QTest>

using namespace testkit;

namespace {

QString source(const Image &image)
{
    return image.picture().source();
}

/// Each picture printed, with where it went.
QList<QString> printedPictures(const std::vector<PrintOp> &ops)
{
    QList<QString> result;
    for (const PrintOp &op : ops)
        if (op.op == QLatin1String("picture"))
            result << QStringLiteral("%1 @ %2,%3").arg(op.text).arg(op.x).arg(op.y);
    return result;
}

/// Turns a viewer's pages to the end and back one, then prints the page on show.
template <class Viewer> void turnPagesAndPrint(Viewer &v, Recorders &rec, const QStringList &files)
{
    const int n = int(files.size());
    for (int p = 1; p <= n; ++p) {
        if (p > 1)
            click(v.Label3[2]);
        QCOMPARE(source(v.Image1), QStringLiteral("wmf\\") + files[p - 1]);
        QCOMPARE(source(v.Image2), QStringLiteral("wmf2\\") + files[p - 1]);
        QVERIFY(v.Image1.picture().isVector());
        QCOMPARE(v.Label1.caption(), QStringLiteral("Page %1 of %2").arg(p).arg(n));
        QVERIFY(v.Label1.visible() && v.Label3[2].enabled() == (p < n) &&
                v.Label3[3].enabled() == (p > 1));
    }
    click(v.Label3[3]);
    QCOMPARE(v.Label1.caption(), QStringLiteral("Page %1 of %2").arg(n - 1).arg(n));
    QVERIFY(v.Label3[2].enabled() && v.Label3[3].enabled() == (n > 2));
    // Print takes the paper version of the page on show, silently.
    click(v.Label3[0]);
    QCOMPARE(printedPictures(rec.printed), QList<QString>{QStringLiteral("wmf2\\") + files[n - 2] +
                                                          QStringLiteral(" @ 1000,1000")});
    QCOMPARE(rec.printed.back().op, QStringLiteral("enddoc"));
    QVERIFY(rec.messages.isEmpty());
}

} // namespace

class ReadingTest : public ScreenTest
{
    Q_OBJECT

private Q_SLOTS:
    void theMountainNotesTurnTheirTwoPages()
    {
        screen<intro0>().show();
        click(screen<intro0>().Label2[1]);
        rec->clearSounds();
        click(screen<livingmountains>().label3[5]);
        QCOMPARE(rec->sounds(), QStringList{QStringLiteral("wav\\click.wav")});
        teacher &notes = screen<teacher>();
        QCOMPARE(Module1::numpages, std::optional<int>(2));
        QCOMPARE(Module1::pagename, QStringLiteral("livingmountains"));
        turnPagesAndPrint(
            notes, *rec,
            {QStringLiteral("livingmountainsa.wmf"), QStringLiteral("livingmountainsb.wmf")});
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(rec->sounds().size(), 1); // the viewer's own buttons are silent

        rec->failPrinting();
        QCOMPARE(rec->said(notes.Label3[0]),
                 QStringList{QStringLiteral("There was a problem printing to your printer.")});

        click(notes.Label3[1]);
        settle();
        QVERIFY(!isLoaded<teacher>());
        QVERIFY(screen<livingmountains>().visible());
    }

    void onePageNotesShowOnlyPrintAndExit()
    {
        screen<intro0>().show();
        click(screen<intro0>().Label2[5]);
        for (int entry : {4, 5}) {
            click(screen<livingdesert>().label3[entry]);
            teacher &page = screen<teacher>();
            QCOMPARE(Module1::numpages, std::optional<int>(1));
            QVERIFY(!page.Label1.visible() && !page.Label3[2].visible() &&
                    !page.Label3[3].visible() && page.Label3[0].visible());
            QVERIFY(!page.Image1.picture().isNull() && !page.Picture1.visible());
            click(page.Label3[1]);
            settle();
        }
        QCOMPARE(Module1::pagename, QStringLiteral("livingdesert"));
    }

    void theAcknowledgmentsAnimateTheLogo()
    {
        // Opened first of all, with no page count yet.
        intro0 &menu = screen<intro0>();
        menu.show();
        click(menu.Label2[19]);
        teacher &ack = screen<teacher>();
        QVERIFY(!ack.Label1.visible() && !ack.Label3[2].visible() && !ack.Label3[3].visible());
        QCOMPARE(ack.backColor(), QColor(49, 130, 212));
        QCOMPARE(source(ack.Image1), QStringLiteral("wmf\\acknowledgments.wmf"));
        QCOMPARE(ack.Picture2.picture().source(), QStringLiteral("logo\\quillan2.bmp"));
        QVERIFY(!ack.Picture1.visible() && !ack.Picture2.visible());
        // Ticks driven by hand, so that none is missed or doubled on a busy machine.
        Timer::setDrivenByHand(true);
        QVERIFY(ack.Timer1.enabled());
        ack.Timer1.fire();
        QVERIFY(ack.Picture1.visible() && ack.Picture2.visible());

        // Frames run on to 19, then 0; reopening carries on where the logo stopped.
        Module1::logoframe = 17;
        QList<int> seen{17};
        for (int tick = 0; tick < 4; ++tick) {
            ack.Timer1.fire();
            seen << *Module1::logoframe;
        }
        QCOMPARE(seen, QList<int>({17, 18, 19, 0, 1}));
        QCOMPARE(ack.Picture1.picture().source(), QStringLiteral("logo\\quil0001.gif"));
        click(ack.Label3[1]);
        settle();
        QCOMPARE(*Module1::logoframe, 1);

        Module1::numpages = 2;
        Module1::pagename = QStringLiteral("livingmountains");
        click(menu.Label2[19]);
        teacher &again = screen<teacher>();
        QVERIFY(!again.Label1.visible() && !again.Label3[2].visible() && !again.Picture1.visible());
        again.Timer1.fire();
        QCOMPARE(again.Picture1.picture().source(), QStringLiteral("logo\\quil0002.gif"));
        QCOMPARE(Module1::numpages, std::optional<int>(2));
        QCOMPARE(Module1::pagename, QStringLiteral("livingmountains"));

        click(again.Label3[0]);
        QCOMPARE(printedPictures(rec->printed),
                 QList<QString>{QStringLiteral("wmf2\\acknowledgments.wmf @ 1000,1000")});
    }

    void theGuideTurnsFivePages()
    {
        intro0 &menu = screen<intro0>();
        menu.show();
        click(menu.Label2[20]);
        guide &pages = screen<guide>();
        QVERIFY(QTest::qWaitForWindowExposed(pages.host()));
        QStringList files;
        for (int p = 1; p <= 5; ++p)
            files << QStringLiteral("guide%1.wmf").arg(p);
        turnPagesAndPrint(pages, *rec, files);
        if (QTest::currentTestFailed())
            return;

        // The bare screen takes the buttons' black boxes away for good.
        QVERIFY(pages.Label3[1].opaque());
        moveOverForm(pages, QPointF(11500, 4000));
        moveOver(pages.Label3[1]);
        pages.Label3.forEach([](int, Label &l) { QVERIFY(!l.opaque()); });
        QVERIFY(rec->sounds().size() == 1);
    }

    void aMissingPageLeavesTheViewerUsable()
    {
        content->remove(QStringLiteral("wmf/guide2.wmf"));
        content->write(QStringLiteral("wmf2/guide2.wmf"), QByteArray("not a metafile"));
        screen<intro0>().show();
        click(screen<intro0>().Label2[20]);
        guide &pages = screen<guide>();
        click(pages.Label3[2]);
        QVERIFY(pages.Image1.picture().isNull() && pages.Image2.picture().isNull());
        QCOMPARE(pages.Label1.caption(), QStringLiteral("Page 2 of 5"));
        click(pages.Label3[2]);
        QVERIFY(!pages.Image1.picture().isNull());
        QVERIFY(rec->messages.isEmpty());
    }

    void printingAPageMakesAReadablePdf()
    {
        const QString pdf = content->path(QStringLiteral("page.pdf"));
        rec->printToPdf(pdf);
        screen<intro0>().show();
        click(screen<intro0>().Label2[1]);
        click(screen<livingmountains>().label3[4]);
        click(screen<teacher>().Label3[0]);
        QVERIFY(rec->messages.isEmpty());
        const QString text = pdfText(pdf);
        QVERIFY2(text.contains(QStringLiteral("llama"), Qt::CaseInsensitive), qPrintable(text));
    }
};

QTEST_MAIN(ReadingTest)
#include "tst_reading.moc"
