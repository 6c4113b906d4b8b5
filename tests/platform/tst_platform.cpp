// SPDX-License-Identifier: GPL-3.0-or-later
// The services under the screens: the error guard, timers, pictures, sounds and the twips mapping.
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

#include <QDir>
#include <QFile>
#include <QTest>
#include <QWidget>

#include <functional>

using namespace testkit;

namespace {

/// A screen made for these tests.
class Bench : public Form
{
public:
    Bench()
        : Form(QStringLiteral("Bench")), Label1(*this, QStringLiteral("Label1")), Timer1(*this, 5)
    {
        setWidth(12000);
        setHeight(9000);
        Label1.move(120, 5000, 3000, 495);
        Label1.setCaption(QStringLiteral("Trouble"));
    }

    Label Label1;
    Timer Timer1;
};

/// Whether a library whose file name contains name is loaded in this process.
bool loaded(const char *name)
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains(name);
}

} // namespace

class PlatformTest : public ScreenTest
{
    Q_OBJECT

private Q_SLOTS:
    void anErrorInAHandlerIsShownAndTheProgramGoesOn()
    {
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
        QCOMPARE(rec->messages.size(), 2);
        QVERIFY(rec->messages[0].contains(QStringLiteral("The river has flooded.")));

        // Once the program has ended, no handler runs.
        bench.Timer1.onTimer = [&] { ++clicks; };
        endProgram();
        click(bench.Label1);
        QTest::qWait(30);
        QCOMPARE(clicks, 2);
        QVERIFY(!isLoaded<Bench>());
    }

    void timersTickUntilDisabledAndStopWhenTheirScreenGoes()
    {
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
        again.Timer1.fire();
        again.Timer1.setEnabled(false);
        again.Timer1.fire();
        QCOMPARE(ticks, 1);
    }

    void picturesLoadByContentPathOrFailClearly()
    {
        // A JPEG is decoded by its own image plugin, without the others being loaded and asked.
        QVERIFY(!LoadPicture(QStringLiteral("images\\llama.jpg")).isNull());
        QVERIFY(loaded("imageformats/libqjpeg.so"));
        QVERIFY(!loaded("imageformats/libqsvg.so") && !loaded("imageformats/libqgif.so"));
        QVERIFY(LoadPicture(QString()).isNull());
        QCOMPARE(LoadPicture(QStringLiteral("IMAGES\\Andesmd.jpg")).sizeTwips(),
                 QSizeF(4800, 3600));
        QVERIFY(!LoadPicture(QStringLiteral("logo/quil0007.gif")).isNull());
        QCOMPARE(LoadPicture(QStringLiteral("logo\\quillan2.bmp")).sizeTwips(),
                 QSizeF(120 * 15, 89 * 15));
        QVERIFY(LoadPicture(QStringLiteral("wmf\\guide1.wmf")).isVector());

        QVERIFY_THROWS_EXCEPTION(ProgramError, LoadPicture(QStringLiteral("images\\none.jpg")));
        content->write(QStringLiteral("images/broken.jpg"), QByteArray("not a picture"));
        QVERIFY_THROWS_EXCEPTION(ProgramError, LoadPicture(QStringLiteral("images\\broken.jpg")));
        QVERIFY(loadPictureOrEmpty(QStringLiteral("images\\broken.jpg")).isNull());
    }

    void picturesLoadedAheadOrByTheirFormatAreTheSamePixels()
    {
        // Every raster picture of the content, as Qt decodes it when it recognises the format.
        QStringList rasters;
        for (const char *folder : {"images", "logo"})
            for (const QString &name :
                 QDir(content->path(QLatin1String(folder)))
                     .entryList({QStringLiteral("*.jpg"), QStringLiteral("*.gif"),
                                 QStringLiteral("*.bmp")},
                                QDir::Files))
                rasters << QLatin1String(folder) + QLatin1Char('/') + name;
        QVERIFY(rasters.size() > 20);
        for (const QString &raster : rasters) {
            const QImage expected = QImage::fromData(content->read(raster));
            QVERIFY2(!expected.isNull(), qPrintable(raster));
            QCOMPARE(LoadPicture(raster).image(), expected);
        }

        // Loaded ahead: the same picture, and the same error; another path is not taken for it.
        const QString title = QStringLiteral("images\\andesmd.jpg");
        loadPictureAhead(title);
        const QImage other = LoadPicture(QStringLiteral("images\\llama.jpg")).image();
        QCOMPARE(other, QImage::fromData(content->read(QStringLiteral("images/llama.jpg"))));
        const Picture ahead = LoadPicture(title);
        QCOMPARE(ahead.source(), title);
        QCOMPARE(ahead.image(),
                 QImage::fromData(content->read(QStringLiteral("images/andesmd.jpg"))));
        content->remove(QStringLiteral("images/andesmd.jpg"));
        // Taken once: the next load reads the folder again.
        QVERIFY_THROWS_EXCEPTION(ProgramError, LoadPicture(title));
        loadPictureAhead(title);
        QVERIFY_THROWS_EXCEPTION(ProgramError, LoadPicture(title));
        QVERIFY(loadPictureOrEmpty(title).isNull());
    }

    void theAudioOutputWaitsForTheFirstFrameOrTheFirstSound()
    {
        // Qt Multimedia, with the sound server's client and codecs it brings, is no part of the
        // start: nothing has loaded it yet.
        QVERIFY(!loaded("libQt6Multimedia") && !loaded("habitara-sound"));
        rec->listenToSystemSound();
        QWidget window;
        preloadSoundsAfterFirstFrame(window, QStringLiteral("wav"));
        settle();
        QVERIFY2(!loaded("habitara-sound"), "the sounds were loaded before the first frame");

        // A click before the first frame is not kept for later: it loads the output there and
        // then, and goes to it.
        soundDevice().play(QStringLiteral("wav\\click.wav"));
        QVERIFY(loaded("habitara-sound") && loaded("libQt6Multimedia"));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        settle();
        QCOMPARE(rec->messages, QStringList());
    }

    void theSystemSoundNeverFailsOrWaits()
    {
        content->remove(QStringLiteral("wav/fanf2.wav"));
        content->write(QStringLiteral("wav/broken.wav"), QByteArray("RIFF nonsense"));
        content->write(QStringLiteral("wav/empty.wav"), QByteArray());
        // To the real output, which may have no audio device at all here.
        rec->listenToSystemSound();
        preloadSounds(QStringLiteral("wav"));

        // Whether the file is there, loaded before, missing, broken or empty, play returns.
        for (const char *sound :
             {"wav\\click.wav", "WAV/Click.WAV", "wav\\click.wav", "wav\\fanf2.wav",
              "wav\\missing.wav", "wav\\broken.wav", "wav\\empty.wav", "wav\\broken.wav"})
            soundDevice().play(QString::fromLatin1(sound));
        settle();
        QCOMPARE(rec->messages, QStringList());
        QVERIFY(!programEnded());
    }

    void onlyWholePcmWavFilesGoToTheOutput()
    {
        const QByteArray built = content->read(QStringLiteral("wav/click.wav"));
        const qsizetype fmt = built.indexOf("fmt "), data = built.indexOf("data");
        QVERIFY(fmt > 0 && data > fmt && built.size() > data + 8);
        QVERIFY(isPlayableWav(built));
        const std::function<void(QByteArray &)> damages[] = {
            [](QByteArray &w) { w.clear(); },
            [&](QByteArray &w) { w.truncate(data + 8); },
            [](QByteArray &w) { w.chop(10); },
            [](QByteArray &w) { w.replace(0, 4, "RIFX"); },
            [&](QByteArray &w) { w[fmt + 8] = 3; },                // not PCM
            [&](QByteArray &w) { w[fmt + 10] = w[fmt + 11] = 0; }, // no channels
            [&](QByteArray &w) { w.replace(fmt + 4, 4, QByteArray("\xff\xff\xff\x7f", 4)); },
        };
        for (size_t d = 0; d < std::size(damages); ++d) {
            QByteArray wav = built;
            damages[d](wav);
            QVERIFY2(!isPlayableWav(wav), qPrintable(QString::number(d)));
        }
    }

    void twipsMapToPixelsAtFifteenEach()
    {
        QCOMPARE(twips::toPixels(120, 3720, 3195, 375), QRect(8, 248, 213, 25));
        // Boxes that touch in twips touch on the screen.
        QCOMPARE(twips::toPixels(0, 0, 1007, 100).right() + 1,
                 twips::toPixels(1007, 0, 1007, 100).left());
        QCOMPARE(twips::fontPixels(15.75), 21);
        Bench &bench = screen<Bench>();
        bench.Label1.move(1500, 3000, 4500, 600);
        QCOMPARE(bench.Label1.widget()->geometry(), QRect(100, 200, 300, 40));
    }
};

QTEST_MAIN(PlatformTest)
#include "tst_platform.moc"
