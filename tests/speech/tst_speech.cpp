// SPDX-License-Identifier: GPL-3.0-or-later
// The read-aloud switch as a pupil and a teacher meet it: turning it on where there is no voice,
// the teacher's default from the command line or the school's settings file, and that nothing
// is ever saved; and that the speech engine waits for the first frame.
#include "app/commandline.h"
#include "platform/msgbox.h"
#include "platform/speech.h"
#include "tests/speech/processes.h"
#include "tests/support/testkit.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <QWindow>

using namespace testkit;

namespace {

bool loaded(const char *name)
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains(name);
}

const QString notAvailable = QStringLiteral("Reading aloud is not available on this computer.");

} // namespace

class SpeechTest : public ScreenTest
{
    Q_OBJECT

    QTemporaryDir m_home;
    /// The folders where Qt looks for the school's and the user's settings.
    QString m_system, m_user;

    /// Makes the school's settings file hold text (no file when text is null).
    void schoolSettings(const QByteArray &text)
    {
        // A folder of its own each time: Qt keeps what it read of a settings file.
        static int made = 0;
        m_system = m_home.filePath(QStringLiteral("etc-xdg-%1").arg(++made));
        QSettings::setPath(QSettings::NativeFormat, QSettings::SystemScope, m_system);
        QSettings::setPath(QSettings::IniFormat, QSettings::SystemScope, m_system);
        if (!text.isNull())
            writeFile(m_system + QStringLiteral("/Habitara/Habitara.conf"), text);
    }

private Q_SLOTS:
    void initTestCase()
    {
        ScreenTest::initTestCase();
        // Whatever might be saved would land in these, never in the real home or /etc.
        QVERIFY(m_home.isValid());
        m_user = m_home.filePath(QStringLiteral("config"));
        qputenv("HOME", m_home.path().toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", m_user.toLocal8Bit());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_user);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_user);
        schoolSettings(QByteArray());
    }

    void theSpeechEngineWaitsForTheFirstFrame()
    {
        const QByteArray engine = "habitara-speech";
        QVERIFY(!childProcess(engine));
        QWidget window;
        readaloud::startVoiceAfterFirstFrame(window);
        settle();
        QVERIFY2(!childProcess(engine), "the speech engine started before the first frame");
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        settle();
#ifdef HABITARA_SPEECH_BUILT
        QVERIFY(childProcess(engine));
#else
        QVERIFY(!childProcess(engine));
        QVERIFY(!readaloud::voice().available());
#endif
        // Whether it can speak here or not, it answers, and nothing is said: nobody asked for
        // reading aloud.
        readaloud::voice().available();
        QCOMPARE(rec->messages, QStringList());
        QVERIFY(!readaloud::isOn());
        // Qt TextToSpeech, with Qt Multimedia and the sound server's client it brings, is never
        // part of the program itself.
        QVERIFY(!loaded("libQt6TextToSpeech"));
    }

    void theSwitchWithAndWithoutAVoice_data()
    {
        QTest::addColumn<bool>("available");
        QTest::newRow("a voice") << true;
        QTest::newRow("no voice") << false;
    }

    void theSwitchWithAndWithoutAVoice()
    {
        QFETCH(bool, available);
        auto owned = std::make_unique<SpeechRecorder>(available);
        SpeechRecorder *voice = owned.get();
        readaloud::setVoice(std::move(owned));

        // F2 (or the speaker button) the first time.
        readaloud::toggle();
        QCOMPARE(readaloud::isOn(), available);
        QCOMPARE(rec->messages, available ? QStringList() : QStringList{notAvailable});
        readaloud::say(QStringLiteral("Question 1. What do yaks give?"));
        readaloud::say(QStringLiteral("A: Milk and wool."));

        // Pressed again: off where it was on; where there is no voice, still off and silent.
        readaloud::toggle();
        readaloud::say(QStringLiteral("Well done!"));
        readaloud::toggle();
        readaloud::setOn(true);
        QCOMPARE(rec->messages, available ? QStringList() : QStringList{notAvailable});
        if (available) {
            QCOMPARE(
                voice->events,
                QStringList({QStringLiteral("say: Question 1. What do yaks give?"),
                             QStringLiteral("say: A: Milk and wool."), QStringLiteral("stop")}));
            QVERIFY(readaloud::isOn());
        } else {
            QCOMPARE(voice->events, QStringList());
            QVERIFY(!readaloud::isOn());
        }
    }

    void theTeachersDefault_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<bool>("on");
        const QStringList plain{QStringLiteral("habitara")};
        const QStringList option{QStringLiteral("habitara"), QStringLiteral("--read-aloud")};
        QTest::newRow("nothing set") << plain << QByteArray() << false;
        QTest::newRow("--read-aloud") << option << QByteArray() << true;
        QTest::newRow("the school's on=true")
            << plain << QByteArray("[ReadAloud]\non=true\n") << true;
        QTest::newRow("the school's on=yes")
            << plain << QByteArray("[General]\nx=1\n\n[ReadAloud]\r\non = yes\r\n") << true;
        QTest::newRow("the school's on=false")
            << plain << QByteArray("[ReadAloud]\non=false\n") << false;
        QTest::newRow("--read-aloud over on=false")
            << option << QByteArray("[ReadAloud]\non=false\n") << true;
        QTest::newRow("a word that is no yes")
            << plain << QByteArray("[ReadAloud]\non=maybe\n") << false;
        QTest::newRow("on=true in another group")
            << plain << QByteArray("[Sound]\non=true\n") << false;
        QTest::newRow("a file that is not settings")
            << plain << QByteArray("\x00\xff garbage [ReadAloud\n", 22) << false;
    }

    void theTeachersDefault()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, settings);
        QFETCH(bool, on);
        const CommandLine options = parseCommandLine(arguments, QString());
        QVERIFY(!options.exitCode);
        schoolSettings(settings);
        auto owned = std::make_unique<SpeechRecorder>(true);
        SpeechRecorder *voice = owned.get();
        readaloud::setVoice(std::move(owned));

        // As the program starts: it turns on only once the title screen is on the screen.
        QWidget title;
        if (options.readAloud || readaloud::onBySchoolSettings())
            readaloud::setOnAfterFirstFrame(title);
        settle();
        QVERIFY(!readaloud::isOn());
        title.show();
        QVERIFY(QTest::qWaitForWindowExposed(&title));
        settle();
        QCOMPARE(readaloud::isOn(), on);
        readaloud::say(QStringLiteral("Living in the Mountains"));
        QCOMPARE(voice->said(),
                 on ? QStringList{QStringLiteral("Living in the Mountains")} : QStringList());
        QCOMPARE(rec->messages, QStringList());
    }

    void onAtStartWithNoVoiceSaysSoOverTheTitleScreen()
    {
        readaloud::setVoice(std::make_unique<SpeechRecorder>(false));
        QWidget title;
        QList<bool> shownWhenSaid;
        setMsgBoxResponder([&](const QString &prompt, int, const QString &) {
            rec->messages << prompt;
            shownWhenSaid << (title.windowHandle() && title.windowHandle()->isExposed());
            return int(vbOK);
        });
        readaloud::setOnAfterFirstFrame(title);
        settle();
        QCOMPARE(rec->messages, QStringList());
        title.show();
        QVERIFY(QTest::qWaitForWindowExposed(&title));
        QTRY_COMPARE(rec->messages, QStringList{notAvailable});
        QCOMPARE(shownWhenSaid, QList<bool>{true});
        // F2 afterwards: nothing more.
        readaloud::toggle();
        readaloud::toggle();
        settle();
        QCOMPARE(rec->messages, QStringList{notAvailable});
        QVERIFY(!readaloud::isOn());
    }

    void theSwitchIsNeverSaved()
    {
        schoolSettings("[ReadAloud]\non=true\n");
        const auto before = everything(m_home.path());
        const auto workBefore = everything(content->path());
        readaloud::setVoice(std::make_unique<SpeechRecorder>(true));
        QVERIFY(readaloud::onBySchoolSettings());
        QWidget title;
        readaloud::setOnAfterFirstFrame(title);
        title.show();
        QVERIFY(QTest::qWaitForWindowExposed(&title));
        QTRY_VERIFY(readaloud::isOn());
        // The pupil turns it off, on and off again.
        for (int i = 0; i < 3; ++i)
            readaloud::toggle();
        QVERIFY(!readaloud::isOn());
        readaloud::reset();
        settle();
        QCOMPARE(everything(m_home.path()), before);
        QCOMPARE(everything(content->path()), workBefore);
        QVERIFY(!QFileInfo::exists(m_user));
        // The school's file is as the school wrote it, and still says on.
        QVERIFY(readaloud::onBySchoolSettings());
    }

    void theOptionIsOnlyAFlag()
    {
        const CommandLine wrong = parseCommandLine(
            {QStringLiteral("habitara"), QStringLiteral("--read-aloud=no")}, QString());
        QCOMPARE(wrong.exitCode, std::optional<int>(2));
        const CommandLine help =
            parseCommandLine({QStringLiteral("habitara"), QStringLiteral("--help")}, QString());
        QVERIFY(help.output.contains(QStringLiteral("--read-aloud")));
        QVERIFY(help.output.contains(QStringLiteral("/etc/xdg/Habitara/Habitara.conf")));
    }
};

QTEST_MAIN(SpeechTest)
#include "tst_speech.moc"
