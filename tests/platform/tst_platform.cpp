// SPDX-License-Identifier: GPL-3.0-or-later
// The services under the screens: controls driven by real events, the error guard, pictures,
// sounds and the twips mapping.
#include "platform/controlarray.h"
#include "platform/controls.h"
#include "platform/fonts.h"
#include "platform/form.h"
#include "platform/guard.h"
#include "platform/msgbox.h"
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
        // Driven by hand, a timer ticks only when fired, and only while enabled.
        Timer::setDrivenByHand(true);
        Bench &again = screen<Bench>();
        ticks = 0;
        again.Timer1.onTimer = [&] { ++ticks; };
        again.Timer1.setEnabled(true);
        QTest::qWait(30);
        QCOMPARE(ticks, 0);
        again.Timer1.fire();
        again.Timer1.fire();
        QCOMPARE(ticks, 2);
        again.Timer1.setEnabled(false);
        again.Timer1.fire();
        QCOMPARE(ticks, 2);
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
        content.remove(QStringLiteral("wav/fanf2.wav"));
        content.write(QStringLiteral("wav/broken.wav"), QByteArray("RIFF nonsense"));
        content.write(QStringLiteral("wav/empty.wav"), QByteArray());
        // Message boxes are recorded; the sounds go to the real output, which may have no
        // audio device at all here.
        QStringList messages;
        setMsgBoxResponder([&](const QString &prompt, int, const QString &) {
            messages << prompt;
            return int(vbOK);
        });
        setSoundDevice(nullptr);
        QVERIFY(!dynamic_cast<SoundRecorder *>(&soundDevice()));
        preloadSounds(QStringLiteral("wav"));

        // Each click plays a sound and then goes on to the end of its handler at once, whether
        // the file is there, loaded before, missing, broken or empty.
        Bench &bench = screen<Bench>();
        bench.show();
        QString playing;
        QStringList done;
        bench.Label1.onClick = [&] {
            soundDevice().play(playing);
            done << playing;
        };
        const QStringList sounds = {
            QStringLiteral("wav\\click.wav"),   QStringLiteral("WAV/Click.WAV"),
            QStringLiteral("wav\\click.wav"),   QStringLiteral("wav\\fanf2.wav"),
            QStringLiteral("wav\\missing.wav"), QStringLiteral("wav\\broken.wav"),
            QStringLiteral("wav\\empty.wav"),   QStringLiteral("wav\\broken.wav"),
        };
        for (const QString &sound : sounds) {
            playing = sound;
            click(bench.Label1);
            settle();
        }
        QCOMPARE(done, sounds);
        QCOMPARE(messages, QStringList());
        QVERIFY(bench.visible() && !programEnded());
        setMsgBoxResponder(nullptr);
    }

    void onlyWholePcmWavFilesGoToTheOutput_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<bool>("playable");
        QTest::newRow("as built") << QString() << true;
        QTest::newRow("empty") << QStringLiteral("empty") << false;
        QTest::newRow("header only") << QStringLiteral("header") << false;
        QTest::newRow("cut short") << QStringLiteral("short") << false;
        QTest::newRow("not RIFF") << QStringLiteral("riff") << false;
        QTest::newRow("not PCM") << QStringLiteral("tag") << false;
        QTest::newRow("no channels") << QStringLiteral("channels") << false;
        QTest::newRow("huge chunk") << QStringLiteral("chunk") << false;
    }

    void onlyWholePcmWavFilesGoToTheOutput()
    {
        QFETCH(QString, damage);
        QFETCH(bool, playable);
        ContentFolder content;
        QByteArray wav = content.read(QStringLiteral("wav/click.wav"));
        QVERIFY(wav.size() > 44);
        const qsizetype fmt = wav.indexOf("fmt "), data = wav.indexOf("data");
        QVERIFY(fmt > 0 && data > fmt);
        if (damage == QLatin1String("empty"))
            wav.clear();
        else if (damage == QLatin1String("header"))
            wav.truncate(data + 8);
        else if (damage == QLatin1String("short"))
            wav.chop(10);
        else if (damage == QLatin1String("riff"))
            wav.replace(0, 4, "RIFX");
        else if (damage == QLatin1String("tag"))
            wav[fmt + 8] = 3;
        else if (damage == QLatin1String("channels"))
            wav[fmt + 10] = wav[fmt + 11] = 0;
        else if (damage == QLatin1String("chunk"))
            wav.replace(fmt + 4, 4, QByteArray("\xff\xff\xff\x7f", 4));
        QCOMPARE(isPlayableWav(wav), playable);
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
