// SPDX-License-Identifier: GPL-3.0-or-later
// The real speech engine, through the program's own system voice: an utterance starts and ends,
// a new one replaces the one being said, stop ends it, and an engine that dies leaves the
// program silent but sound. Run by soundserver.sh, which gives it
// a private sound server with a null output where pulseaudio is installed.
#include "platform/speech.h"
#include "platform/speechoutput.h"
#include "tests/speech/processes.h"
#include "tests/support/testkit.h"

#include <QTemporaryFile>
#include <QTest>

#include <csignal>
#include <cstdio>
#include <unistd.h>

using namespace testkit;

namespace {

const QString notAvailable = QStringLiteral("Reading aloud is not available on this computer.");

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

class SpeechEngineTest : public ScreenTest
{
    Q_OBJECT

    QList<SpeechOutput::State> m_states;
    SpeechOutput *m_output = nullptr;

    SpeechOutput::State last() const
    {
        return m_states.isEmpty() ? SpeechOutput::State::Ready : m_states.last();
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
    void init()
    {
        ScreenTest::init();
        const bool expected = qEnvironmentVariableIsSet("HABITARA_SPEECH_EXPECTED");
        m_output = readaloud::systemSpeech();
        if (!m_output->available()) {
            if (expected)
                QFAIL("a sound server and the flite engine are here, but the engine cannot speak");
            QSKIP("no speech engine that can speak here: it needs Qt TextToSpeech at build time "
                  "(qt6-speech-dev), the flite engine (qt6-speech-flite-plugin) and a sound "
                  "server (pulseaudio)");
        }
        m_states.clear();
        m_output->setStateListener([this](SpeechOutput::State state) { m_states << state; });
        readaloud::setOn(true);
        QVERIFY(readaloud::isOn());
        QCOMPARE(rec->messages, QStringList());
    }

    void cleanup()
    {
        if (m_output)
            m_output->setStateListener(nullptr);
        ScreenTest::cleanup();
    }

    void anUtteranceStartsAndEnds()
    {
        readaloud::say(QStringLiteral("Question 3. What do yaks give?"));
        QTRY_VERIFY_WITH_TIMEOUT(m_states.contains(SpeechOutput::State::Speaking), 30000);
        QTRY_VERIFY2_WITH_TIMEOUT(last() == SpeechOutput::State::Ready, seen(), 30000);
        // Phrase by phrase, as one utterance: it starts, and ends once. (Qt 6.4's flite engine
        // may give up on a phrase, Failed, and go on Speaking with the next.)
        QCOMPARE(m_states.first(), SpeechOutput::State::Speaking);
        QCOMPARE(m_states.count(SpeechOutput::State::Ready), 1);
        QVERIFY(m_output->available());
    }

    void aNewUtteranceReplacesTheOldOne()
    {
        // Minutes of speech; were it queued, the short one after it would not end for minutes.
        readaloud::say(longText());
        QTRY_VERIFY2_WITH_TIMEOUT(last() == SpeechOutput::State::Speaking, seen(), 30000);
        readaloud::say(QStringLiteral("Well done!"));
        QTRY_VERIFY2_WITH_TIMEOUT(last() == SpeechOutput::State::Ready, seen(), 60000);
        // Nothing of the first is said after the second has ended.
        const qsizetype ended = m_states.size();
        QTest::qWait(1000);
        QCOMPARE(m_states.size(), ended);
        QVERIFY(m_output->available());
    }

    void stopEndsIt()
    {
        readaloud::say(longText());
        QTRY_VERIFY2_WITH_TIMEOUT(last() == SpeechOutput::State::Speaking, seen(), 30000);
        readaloud::stop();
        QTRY_VERIFY2_WITH_TIMEOUT(last() == SpeechOutput::State::Ready, seen(), 30000);
        // Turning it off stops it too.
        readaloud::say(longText());
        QTRY_VERIFY2_WITH_TIMEOUT(last() == SpeechOutput::State::Speaking, seen(), 30000);
        readaloud::setOn(false);
        QTRY_VERIFY2_WITH_TIMEOUT(last() == SpeechOutput::State::Ready, seen(), 30000);
        QVERIFY(m_output->available());
    }

    // Last: the engine does not come back.
    void anEngineThatDiesWhileSpeakingFallsSilentOnce()
    {
        QTemporaryFile console;
        QVERIFY(console.open());
        std::fflush(stderr);
        const int saved = dup(STDERR_FILENO);
        dup2(console.handle(), STDERR_FILENO);

        readaloud::say(longText());
        QTRY_VERIFY2_WITH_TIMEOUT(last() == SpeechOutput::State::Speaking, seen(), 30000);
        const pid_t engine = childProcess("habitara-speech");
        QVERIFY(engine > 0);
        kill(engine, SIGKILL);
        QTRY_VERIFY_WITH_TIMEOUT(last() == SpeechOutput::State::Failed, 30000);
        // The pupil goes on: everything is said to no one, and nothing waits.
        for (int i = 0; i < 20; ++i)
            readaloud::say(QStringLiteral("Question %1.").arg(i));
        readaloud::stop();
        readaloud::setOn(false);
        readaloud::setOn(true);
        readaloud::toggle();
        QVERIFY(!readaloud::isOn());
        QVERIFY(!m_output->available());

        std::fflush(stderr);
        dup2(saved, STDERR_FILENO);
        close(saved);
        const QByteArray said = console.readAll();
        // One line at most, however much is said afterwards (none, if an utterance that failed
        // earlier in this run was the one told).
        QVERIFY2(said.count("Habitara:") <= 1, said.constData());
        QCOMPARE(rec->messages, QStringList{notAvailable});
    }
};

QTEST_MAIN(SpeechEngineTest)
#include "engine.moc"
