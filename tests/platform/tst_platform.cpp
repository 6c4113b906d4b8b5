// SPDX-License-Identifier: GPL-3.0-or-later
// The services under the screens: controls driven by real events, the error guard, pictures,
// sounds and the twips mapping.
#include "platform/controlarray.h"
#include "platform/controls.h"
#include "platform/fonts.h"
#include "platform/form.h"
#include "platform/guard.h"
#include "platform/picture.h"
#include "platform/sound.h"
#include "platform/timer.h"
#include "platform/twips.h"
#include "tests/support/testkit.h"

#include <QLineEdit>
#include <QTest>

using namespace testkit;

namespace {

/// A screen made for these tests.
class Bench : public Form
{
public:
    Bench()
        : Form(QStringLiteral("Bench")), Frame1(*this, QStringLiteral("Frame1")),
          Option1(*this, QStringLiteral("Option1")), Option2(Frame1, QStringLiteral("Option2")),
          Label1(*this, QStringLiteral("Label1")), Text1(*this, QStringLiteral("Text1")),
          Timer1(*this, 5)
    {
        setWidth(12000);
        setHeight(9000);
        Frame1.move(6000, 0, 6000, 4000);
        for (int i : {0, 1, 3}) {
            Option1.add(i).move(120, 120 + 600 * i, 3000, 400);
            Option2.add(i).move(120, 120 + 600 * i, 3000, 400);
        }
        Label1.move(120, 5000, 3000, 495);
        Label1.setCaption(QStringLiteral("Trouble"));
        Text1.move(120, 6000, 3000, 400);
    }
    void Form_Load() override { ++loads; }

    int loads = 0;
    Frame Frame1;
    ControlArray<OptionButton> Option1;
    ControlArray<OptionButton> Option2;
    Label Label1;
    TextBox Text1;
    Timer Timer1;
};

} // namespace

class PlatformTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { registerFonts(); }
    void init() { resetProgram(); }
    void cleanup() { resetProgram(); }

    void optionButtonsExcludeEachOtherWithinTheirContainer()
    {
        Recorders rec;
        Bench &bench = screen<Bench>();
        bench.show();
        QCOMPARE(bench.loads, 1);
        QStringList clicks;
        bench.Option1.onClick([&](int i) { clicks << QStringLiteral("1:%1").arg(i); });
        bench.Option2.onClick([&](int i) { clicks << QStringLiteral("2:%1").arg(i); });
        click(bench.Option1[1]);
        click(bench.Option2[3]);
        click(bench.Option1[3]);
        QVERIFY(!bench.Option1[1].value() && bench.Option1[3].value());
        QVERIFY(bench.Option2[3].value());
        // A click on the chosen button changes nothing; choosing in code fires nothing.
        click(bench.Option1[3]);
        bench.Option1[0].setValue(true);
        QVERIFY(!bench.Option1[3].value());
        QCOMPARE(clicks, QStringList({QStringLiteral("1:1"), QStringLiteral("2:3"),
                                      QStringLiteral("1:3")}));
        QVERIFY_THROWS_EXCEPTION(ProgramError, bench.Option1[2]);
        QCOMPARE(bench.Option1[3].widget()->objectName(), QStringLiteral("Option1_3"));
    }

    void anErrorInAHandlerIsShownAndTheProgramGoesOn()
    {
        Recorders rec;
        Bench &bench = screen<Bench>();
        bench.show();
        int clicks = 0;
        bench.Label1.onClick = [&] {
            ++clicks;
            throw ProgramError(QStringLiteral("The river has flooded."));
        };
        click(bench.Label1);
        click(bench.Label1);
        QCOMPARE(clicks, 2);
        QCOMPARE(rec.messages.size(), 2);
        QVERIFY(rec.messages[0].contains(QStringLiteral("The river has flooded.")));

        // Once the program has ended, no handler runs.
        bench.Timer1.onTimer = [&] { ++clicks; };
        endProgram();
        click(bench.Label1);
        QTest::qWait(30);
        QCOMPARE(clicks, 2);
        QVERIFY(!isLoaded<Bench>());
    }

    void theTextBoxKeepsItsLimitAndAnswersEnter()
    {
        Recorders rec;
        Bench &bench = screen<Bench>();
        bench.show();
        int enters = 0;
        bench.Text1.onEnter = [&] { ++enters; };
        bench.Text1.setMaxLength(5);
        typeInto(bench.Text1, QStringLiteral("Andes mountains"));
        pressEnter(bench.Text1);
        QCOMPARE(bench.Text1.text(), QStringLiteral("Andes"));
        QCOMPARE(enters, 1);
    }

    void timersTickUntilDisabledAndStopWhenTheirScreenGoes()
    {
        Recorders rec;
        Bench &bench = screen<Bench>();
        int ticks = 0;
        bench.Timer1.onTimer = [&] {
            if (++ticks == 3)
                bench.Timer1.setEnabled(false);
        };
        bench.Timer1.setEnabled(true);
        QTRY_VERIFY(!bench.Timer1.enabled());
        QTest::qWait(30);
        QCOMPARE(ticks, 3);
        bench.Timer1.setEnabled(true);
        unload<Bench>();
        const int atUnload = ticks;
        QTest::qWait(30);
        QCOMPARE(ticks, atUnload);
    }

    void picturesLoadByContentPathOrFailClearly()
    {
        ContentFolder content;
        QVERIFY(LoadPicture(QString()).isNull());
        const Picture jpeg = LoadPicture(QStringLiteral("IMAGES\\Andesmd.jpg"));
        QCOMPARE(jpeg.sizeTwips(), QSizeF(320 * 15, 240 * 15));
        QVERIFY(!LoadPicture(QStringLiteral("logo/quil0007.gif")).isNull());
        QCOMPARE(LoadPicture(QStringLiteral("logo\\quillan2.bmp")).sizeTwips(),
                 QSizeF(120 * 15, 89 * 15));
        const Picture page = LoadPicture(QStringLiteral("wmf\\guide1.wmf"));
        QVERIFY(page.isVector() && page.sizeTwips().width() > 5000);

        QVERIFY_THROWS_EXCEPTION(ProgramError, LoadPicture(QStringLiteral("images\\none.jpg")));
        content.write(QStringLiteral("images/broken.jpg"), QByteArray("not a picture"));
        QVERIFY_THROWS_EXCEPTION(ProgramError, LoadPicture(QStringLiteral("images\\broken.jpg")));
        QVERIFY(loadPictureOrEmpty(QStringLiteral("images\\broken.jpg")).isNull());
    }

    void theSystemSoundNeverFailsOrWaits()
    {
        ContentFolder content;
        // No recorder: the real output, which may have no audio device at all here.
        soundDevice().play(QStringLiteral("wav\\click.wav"));
        soundDevice().play(QStringLiteral("WAV/Click.WAV"));
        soundDevice().play(QStringLiteral("wav\\missing.wav"));
        content.write(QStringLiteral("wav/broken.wav"), QByteArray("RIFF nonsense"));
        soundDevice().play(QStringLiteral("wav\\broken.wav"));
        QTest::qWait(50);
        QVERIFY(!programEnded());
    }

    void twipsMapToPixelsAtFifteenEach()
    {
        QCOMPARE(twips::toPixels(120, 3720, 3195, 375), QRect(8, 248, 213, 25));
        // Boxes that touch in twips touch on the screen.
        const QRect a = twips::toPixels(0, 0, 1007, 100), b = twips::toPixels(1007, 0, 1007, 100);
        QCOMPARE(a.right() + 1, b.left());
        QCOMPARE(twips::fontPixels(12), 16);
        QCOMPARE(twips::fontPixels(15.75), 21);
        Bench &bench = screen<Bench>();
        bench.Label1.move(1500, 3000, 4500, 600);
        QCOMPARE(bench.Label1.widget()->geometry(), QRect(100, 200, 300, 40));
        QCOMPARE(bench.Label1.left(), 1500.f);
    }
};

QTEST_MAIN(PlatformTest)
#include "tst_platform.moc"
