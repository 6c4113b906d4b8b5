// SPDX-License-Identifier: GPL-3.0-or-later
// The read-aloud switch as a pupil and a teacher meet it: turning it on where there is no voice,
// the teacher's default from the command line or the school's settings file, and that nothing
// is ever saved; the speech engine, started after the first frame; and the real engine speaking
// (run as tst_speech_engine beside a private sound server: soundserver.sh).
#include "app/commandline.h"
#include "platform/msgbox.h"
#include "platform/speech.h"
#include "platform/speechoutput.h"
#include "tests/support/testkit.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QSettings>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>
#include <QWidget>
#include <QWindow>

#include <csignal>
#include <cstdio>
#include <unistd.h>

using namespace testkit;

namespace {

bool loaded(const char *name)
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains(name);
}

const QString notAvailable = QStringLiteral("Reading aloud is not available on this computer.");

/// The running child process of this program by that name, or 0.
pid_t childProcess(const QByteArray &name)
{
    const QByteArray me = QByteArray::number(QCoreApplication::applicationPid());
    for (const QString &pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        // "pid (name) state parent ..."
        const QByteArray line = stat.readAll();
        const qsizetype open = line.indexOf('('), close = line.lastIndexOf(')');
        const QList<QByteArray> rest = line.mid(close + 2).split(' ');
        if (open > 0 && rest.size() > 1 && rest[0] != "Z" && rest[1] == me &&
            line.mid(open + 1, close - open - 1) == name)
            return pid.toInt();
    }
    return 0;
}

/// Minutes of speech.
QString longText()
{
    QStringList sentences;
    for (int i = 1; i <= 40; ++i)
        sentences << QStringLiteral("Question %1. What do yaks give? A: Milk and wool. B: Eggs. "
                                    "C: Honey. D: Silk.")
                         .arg(i);
    return sentences.join(QLatin1Char(' '));
}

} // namespace

class SpeechTest : public ScreenTest
{
    Q_OBJECT

    QTemporaryDir m_home;
    QList<SpeechOutput::State> m_states;
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

    /// Waits (up to a minute) for the real engine to be in that state.
    bool reached(SpeechOutput::State state)
    {
        return QTest::qWaitFor(
            [&] {
                return (m_states.isEmpty() ? SpeechOutput::State::Ready : m_states.last()) == state;
            },
            60000);
    }

    /// The states so far, for a failure's message.
    QByteArray seen() const
    {
        QByteArray text = "states:";
        for (SpeechOutput::State state : m_states)
            text += state == SpeechOutput::State::Ready      ? " ready"
                    : state == SpeechOutput::State::Speaking ? " speaking"
                                                             : " failed";
        return text;
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

    void theTeachersDefaultAndThePupilsSwitch_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<bool>("voice");
        QTest::addColumn<bool>("on");
        const QStringList plain{QStringLiteral("habitara")};
        const QStringList option{QStringLiteral("habitara"), QStringLiteral("--read-aloud")};
        QTest::newRow("nothing set") << plain << QByteArray() << true << false;
        QTest::newRow("--read-aloud") << option << QByteArray() << true << true;
        QTest::newRow("the school's on=true")
            << plain << QByteArray("[ReadAloud]\non=true\n") << true << true;
        QTest::newRow("the school's on=yes")
            << plain << QByteArray("[General]\nx=1\n\n[ReadAloud]\r\non = yes\r\n") << true << true;
        QTest::newRow("the school's on=false")
            << plain << QByteArray("[ReadAloud]\non=false\n") << true << false;
        QTest::newRow("--read-aloud over on=false")
            << option << QByteArray("[ReadAloud]\non=false\n") << true << true;
        QTest::newRow("a word that is no yes")
            << plain << QByteArray("[ReadAloud]\non=maybe\n") << true << false;
        QTest::newRow("on=true in another group")
            << plain << QByteArray("[Sound]\non=true\n") << true << false;
        QTest::newRow("a file that is not settings")
            << plain << QByteArray("\x00\xff garbage [ReadAloud\n", 22) << true << false;
        QTest::newRow("no voice") << plain << QByteArray() << false << false;
        QTest::newRow("no voice, --read-aloud") << option << QByteArray() << false << false;
    }

    void theTeachersDefaultAndThePupilsSwitch()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, settings);
        QFETCH(bool, voice);
        QFETCH(bool, on);
        const CommandLine options = parseCommandLine(arguments, QString());
        QVERIFY(!options.exitCode);
        schoolSettings(settings);
        const auto before = everything(m_home.path());
        const auto workBefore = everything(content->path());
        auto owned = std::make_unique<SpeechRecorder>(voice);
        SpeechRecorder *recorder = owned.get();
        readaloud::setVoice(std::move(owned));
        QWidget title;
        QList<bool> shownWhenSaid;
        setMsgBoxResponder([&](const QString &prompt, int, const QString &) {
            rec->messages << prompt;
            shownWhenSaid << (title.windowHandle() && title.windowHandle()->isExposed());
            return int(vbOK);
        });

        // As the program starts: it turns on only once the title screen is on the screen.
        const bool asked = options.readAloud || readaloud::onBySchoolSettings();
        if (asked)
            readaloud::setOnAfterFirstFrame(title);
        settle();
        QVERIFY(!readaloud::isOn());
        QCOMPARE(rec->messages, QStringList());
        title.show();
        QVERIFY(QTest::qWaitForWindowExposed(&title));
        settle();
        QCOMPARE(readaloud::isOn(), on);
        QCOMPARE(rec->messages, asked && !voice ? QStringList{notAvailable} : QStringList());

        // The pupil presses F2 (or the speaker button) twice, with something to say before each.
        readaloud::say(QStringLiteral("Question 1. What do yaks give?"));
        readaloud::toggle();
        readaloud::say(QStringLiteral("Well done!"));
        readaloud::toggle();
        settle();
        QCOMPARE(readaloud::isOn(), on);
        if (voice)
            QCOMPARE(recorder->events,
                     QStringList({on ? QStringLiteral("say: Question 1. What do yaks give?")
                                     : QStringLiteral("say: Well done!"),
                                  QStringLiteral("stop")}));
        else
            QCOMPARE(recorder->events, QStringList());
        // Where there is no voice the pupil is told once, over the title screen.
        QCOMPARE(rec->messages, voice ? QStringList() : QStringList{notAvailable});
        QCOMPARE(shownWhenSaid, QList<bool>(rec->messages.size(), true));

        // Nothing is ever saved: the school's file is as the school wrote it.
        readaloud::reset();
        settle();
        QCOMPARE(everything(m_home.path()), before);
        QCOMPARE(everything(content->path()), workBefore);
        QVERIFY(!QFileInfo::exists(m_user + QStringLiteral("/Habitara")));
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

    // Run alone, as tst_speech_engine; last, for the engine does not come back.
    void theRealEngine()
    {
        if (!qEnvironmentVariableIsSet("HABITARA_ENGINE_TEST"))
            QSKIP("the real engine speaks only beside a private sound server: tst_speech_engine");
        SpeechOutput *output = readaloud::systemSpeech();
        if (!output->available()) {
            if (qEnvironmentVariableIsSet("HABITARA_SPEECH_EXPECTED"))
                QFAIL("a sound server and the flite engine are here, but the engine cannot speak");
            QSKIP("no speech engine that can speak here: it needs Qt TextToSpeech at build time "
                  "(qt6-speech-dev), the flite engine (qt6-speech-flite-plugin) and a sound "
                  "server (pulseaudio)");
        }
        output->setStateListener([this](SpeechOutput::State state) { m_states << state; });
        const auto listening = qScopeGuard([output] { output->setStateListener(nullptr); });
        readaloud::setOn(true);
        QVERIFY(readaloud::isOn());

        // Phrase by phrase, as one utterance: it starts, and ends once. (Qt 6.4's flite engine
        // may give up on a phrase, Failed, and go on Speaking with the next.)
        readaloud::say(QStringLiteral("Question 3. What do yaks give?"));
        QTRY_VERIFY_WITH_TIMEOUT(m_states.contains(SpeechOutput::State::Speaking), 30000);
        QVERIFY2(reached(SpeechOutput::State::Ready), seen());
        QCOMPARE(m_states.first(), SpeechOutput::State::Speaking);
        QCOMPARE(m_states.count(SpeechOutput::State::Ready), 1);

        // Minutes of speech cut short by a new utterance (were it queued, the short one after it
        // would not end for minutes), by stop, and by turning reading aloud off.
        for (int way = 0; way < 3; ++way) {
            readaloud::setOn(true);
            readaloud::say(longText());
            QVERIFY2(reached(SpeechOutput::State::Speaking), seen());
            if (way == 0)
                readaloud::say(QStringLiteral("Well done!"));
            else if (way == 1)
                readaloud::stop();
            else
                readaloud::setOn(false);
            QVERIFY2(reached(SpeechOutput::State::Ready), seen());
        }
        // Nothing more is said once it has ended.
        const qsizetype ended = m_states.size();
        QTest::qWait(1000);
        QVERIFY2(m_states.size() == ended, seen());

        // The engine crashes while speaking: it is started again and says the page again. It
        // crashes again and again, with nothing said to the end: it is left silent, the console
        // hears of it at most once (not at all if an utterance that failed earlier was told),
        // the pupil once, and nothing waits.
        QTemporaryFile console;
        QVERIFY(console.open());
        std::fflush(stderr);
        const int saved = dup(STDERR_FILENO);
        dup2(console.handle(), STDERR_FILENO);
        readaloud::setOn(true);
        readaloud::say(longText());
        QVERIFY2(reached(SpeechOutput::State::Speaking), seen());
        int startedAgain = 0;
        for (int kills = 0; kills < 3; ++kills) {
            const pid_t engine = childProcess("habitara-speech");
            QVERIFY(engine > 0);
            kill(engine, SIGKILL);
            QVERIFY2(reached(SpeechOutput::State::Failed), seen());
            if (!output->available())
                break;
            ++startedAgain;
            QVERIFY2(reached(SpeechOutput::State::Speaking), seen());
        }
        QVERIFY(startedAgain >= 1 && !output->available());
        for (int i = 0; i < 20; ++i)
            readaloud::say(QStringLiteral("Question %1.").arg(i));
        readaloud::stop();
        readaloud::setOn(false);
        readaloud::setOn(true);
        readaloud::toggle();
        QVERIFY(!readaloud::isOn());
        QVERIFY(!output->available());
        std::fflush(stderr);
        dup2(saved, STDERR_FILENO);
        close(saved);
        const QByteArray said = console.readAll();
        QVERIFY2(said.count("Habitara:") <= 1, said.constData());
        QCOMPARE(rec->messages, QStringList{notAvailable});
    }
};

QTEST_MAIN(SpeechTest)
#include "tst_speech.moc"
