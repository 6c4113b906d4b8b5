// SPDX-License-Identifier: GPL-3.0-or-later
// Reading and printing pages: key facts, teacher's notes, the acknowledgments with the
// animated logo, and the teachers' guide.
#include "app/Module1.h"
#include "app/intro0.h"
#include "app/livingdesert.h"
#include "app/livingmountains.h"
#include "platform/fonts.h"
#include "platform/timer.h"
#include "reading/guide.h"
#include "reading/teacher.h"
#include "tests/support/testkit.h"

#include <QFile>
#include <QTest>

using namespace testkit;

namespace {

QString source(const Image &image)
{
    return image.picture().source();
}

/// The pages of the recorded print jobs, as (picture, x, y) of each picture printed.
QList<QString> printedPictures(const std::vector<PrintOp> &ops)
{
    QList<QString> result;
    for (const PrintOp &op : ops)
        if (op.op == QLatin1String("picture"))
            result << QStringLiteral("%1 @ %2,%3").arg(op.text).arg(op.x).arg(op.y);
    return result;
}

} // namespace

class ReadingTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { registerFonts(); }
    void init() { resetProgram(); }
    void cleanup() { resetProgram(); }

    void theMountainNotesTurnTheirTwoPages()
    {
        ContentFolder content;
        Recorders rec;
        screen<intro0>().show();
        click(screen<intro0>().Label2[1]);
        rec.clearSounds();
        click(screen<livingmountains>().label3[5]);
        QCOMPARE(rec.sounds(), QStringList{QStringLiteral("wav\\click.wav")});
        teacher &notes = screen<teacher>();
        QVERIFY(notes.visible());
        QCOMPARE(Module1::numpages, std::optional<int>(2));
        QCOMPARE(Module1::pagename, QStringLiteral("livingmountains"));
        QCOMPARE(source(notes.Image1), QStringLiteral("wmf\\livingmountainsa.wmf"));
        QCOMPARE(source(notes.Image2), QStringLiteral("wmf2\\livingmountainsa.wmf"));
        QVERIFY(!notes.Image1.picture().isNull() && notes.Image1.picture().isVector());
        QCOMPARE(notes.Label1.caption(), QStringLiteral("Page 1 of 2"));
        QVERIFY(notes.Label1.visible() && notes.Label3[2].visible());
        QVERIFY(!notes.Label3[3].enabled());
        QVERIFY(notes.Label3[2].enabled());

        click(notes.Label3[2]);
        QCOMPARE(source(notes.Image1), QStringLiteral("wmf\\livingmountainsb.wmf"));
        QVERIFY(!notes.Image1.picture().isNull());
        QCOMPARE(notes.Label1.caption(), QStringLiteral("Page 2 of 2"));
        QVERIFY(!notes.Label3[2].enabled());
        QVERIFY(notes.Label3[3].enabled());

        // Print takes the print version of the page on show, at (1000, 1000), silently.
        click(notes.Label3[0]);
        QCOMPARE(printedPictures(rec.printed),
                 QList<QString>{QStringLiteral("wmf2\\livingmountainsb.wmf @ 1000,1000")});
        QCOMPARE(rec.printed.front().op, QStringLiteral("print"));
        QCOMPARE(rec.printed.back().op, QStringLiteral("enddoc"));
        QVERIFY(rec.messages.isEmpty());

        click(notes.Label3[3]);
        QCOMPARE(source(notes.Image1), QStringLiteral("wmf\\livingmountainsa.wmf"));
        QCOMPARE(notes.Label1.caption(), QStringLiteral("Page 1 of 2"));
        QVERIFY(!notes.Label3[3].enabled() && notes.Label3[2].enabled());
        // No click on the viewer makes a sound.
        QCOMPARE(rec.sounds().size(), 1);

        // Without a printer the teacher is told so.
        rec.failPrinting();
        click(notes.Label3[0]);
        QCOMPARE(rec.messages,
                 QStringList{QStringLiteral("There was a problem printing to your printer.")});

        click(notes.Label3[1]);
        settle();
        QVERIFY(!isLoaded<teacher>());
        QVERIFY(screen<livingmountains>().visible());
    }

    void onePageNotesShowOnlyPrintAndExit()
    {
        ContentFolder content;
        Recorders rec;
        screen<intro0>().show();
        click(screen<intro0>().Label2[5]);
        for (int entry : {4, 5}) {
            click(screen<livingdesert>().label3[entry]);
            teacher &page = screen<teacher>();
            QCOMPARE(Module1::numpages, std::optional<int>(1));
            QVERIFY(!page.Label1.visible() && !page.Label3[2].visible() &&
                    !page.Label3[3].visible());
            QVERIFY(page.Label3[0].visible() && page.Label3[1].visible());
            QVERIFY(!page.Image1.picture().isNull());
            QVERIFY(!page.Picture1.visible() && !page.Picture2.visible());
            click(page.Label3[1]);
            settle();
        }
        QCOMPARE(Module1::pagename, QStringLiteral("livingdesert"));
    }

    void theAcknowledgmentsAnimateTheLogo()
    {
        ContentFolder content;
        Recorders rec;
        // Opened first of all, with the page count still unset.
        intro0 &menu = screen<intro0>();
        menu.show();
        click(menu.Label2[19]);
        teacher &ack = screen<teacher>();
        QVERIFY(!Module1::numpages.has_value());
        QVERIFY(!ack.Label1.visible() && !ack.Label3[2].visible() && !ack.Label3[3].visible());
        QCOMPARE(ack.backColor(), QColor(49, 130, 212));
        QCOMPARE(source(ack.Image1), QStringLiteral("wmf\\acknowledgments.wmf"));
        QCOMPARE(ack.Picture2.picture().source(), QStringLiteral("logo\\quillan2.bmp"));
        QVERIFY(!ack.Picture1.visible() && !ack.Picture2.visible());
        // The logo's timer is driven tick by tick here, so that no tick is missed or doubled
        // however busy the machine is.
        Timer::setDrivenByHand(true);
        QVERIFY(ack.Timer1.enabled());
        QCOMPARE(ack.Timer1.interval(), 25);
        ack.Timer1.fire();
        QVERIFY(ack.Picture1.visible() && ack.Picture2.visible());
        QVERIFY(!ack.Picture1.picture().isNull());

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
        QVERIFY(!again.Label1.visible() && !again.Label3[2].visible());
        QVERIFY(!again.Picture1.visible());
        again.Timer1.fire();
        QVERIFY(again.Picture1.visible());
        QCOMPARE(again.Picture1.picture().source(), QStringLiteral("logo\\quil0002.gif"));
        QCOMPARE(Module1::numpages, std::optional<int>(2));
        QCOMPARE(Module1::pagename, QStringLiteral("livingmountains"));

        click(again.Label3[0]);
        QCOMPARE(printedPictures(rec.printed),
                 QList<QString>{QStringLiteral("wmf2\\acknowledgments.wmf @ 1000,1000")});
    }

    void theGuideTurnsFivePages()
    {
        ContentFolder content;
        Recorders rec;
        intro0 &menu = screen<intro0>();
        menu.show();
        click(menu.Label2[20]);
        guide &pages = screen<guide>();
        QVERIFY(QTest::qWaitForWindowExposed(pages.host()));
        QCOMPARE(source(pages.Image1), QStringLiteral("wmf\\guide1.wmf"));
        QCOMPARE(pages.Label1.caption(), QStringLiteral("Page 1 of 5"));
        QVERIFY(!pages.Label3[3].enabled());
        for (int p = 2; p <= 5; ++p) {
            click(pages.Label3[2]);
            QCOMPARE(source(pages.Image1), QStringLiteral("wmf\\guide%1.wmf").arg(p));
            QVERIFY(!pages.Image1.picture().isNull());
            QCOMPARE(pages.Label1.caption(), QStringLiteral("Page %1 of 5").arg(p));
            QVERIFY(pages.Label3[3].enabled());
            QCOMPARE(pages.Label3[2].enabled(), p < 5);
        }
        click(pages.Label3[3]);
        QCOMPARE(pages.Label1.caption(), QStringLiteral("Page 4 of 5"));
        QVERIFY(pages.Label3[2].enabled());
        click(pages.Label3[0]);
        QCOMPARE(printedPictures(rec.printed),
                 QList<QString>{QStringLiteral("wmf2\\guide4.wmf @ 1000,1000")});

        // The bare screen takes the buttons' black boxes away for good.
        QVERIFY(pages.Label3[1].opaque());
        moveOverForm(pages, QPointF(11500, 4000));
        moveOver(pages.Label3[1]);
        pages.Label3.forEach([](int, Label &l) { QVERIFY(!l.opaque()); });
        QVERIFY(rec.sounds().size() == 1);
    }

    void aMissingPageLeavesTheViewerUsable()
    {
        ContentFolder content;
        Recorders rec;
        content.remove(QStringLiteral("wmf/guide2.wmf"));
        content.write(QStringLiteral("wmf2/guide2.wmf"), QByteArray("not a metafile"));
        screen<intro0>().show();
        click(screen<intro0>().Label2[20]);
        guide &pages = screen<guide>();
        click(pages.Label3[2]);
        QVERIFY(pages.Image1.picture().isNull());
        QVERIFY(pages.Image2.picture().isNull());
        QCOMPARE(pages.Label1.caption(), QStringLiteral("Page 2 of 5"));
        click(pages.Label3[2]);
        QVERIFY(!pages.Image1.picture().isNull());
        QVERIFY(rec.messages.isEmpty());
    }

    void printingAPageMakesAReadablePdf()
    {
        ContentFolder content;
        Recorders rec;
        const QString pdf = content.path(QStringLiteral("page.pdf"));
        rec.printToPdf(pdf);
        screen<intro0>().show();
        click(screen<intro0>().Label2[1]);
        click(screen<livingmountains>().label3[4]);
        click(screen<teacher>().Label3[0]);
        QVERIFY(rec.messages.isEmpty());
        const QString text = pdfText(pdf);
        QVERIFY2(text.contains(QStringLiteral("llama"), Qt::CaseInsensitive), qPrintable(text));
    }
};

QTEST_MAIN(ReadingTest)
#include "tst_reading.moc"
