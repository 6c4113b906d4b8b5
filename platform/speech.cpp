// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/speech.h"

#include "platform/firstframe.h"
#include "platform/modules.h"
#include "platform/msgbox.h"
#include "platform/speechoutput.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QSettings>

#include <cstdio>

namespace readaloud {
namespace {

class SpeechProcess;
SpeechProcess &speechProcess();

/// The habitara-speech program, started on first need and spoken to a line at a time. It
/// answers whether it can speak once; until then available() waits for it (a few tenths of a
/// second). Qt's flite engine now and then crashes a moment after an utterance was cut short:
/// an engine that could speak and crashed is started again, and says again what it was saying.
/// If it cannot start, ends by itself, or crashes again and again without saying anything to
/// the end, the console hears of it once and it stays silent. When the program ends its input is closed and the engine ends
/// with it.
class SpeechProcess : public SpeechOutput
{
public:
    void start()
    {
        if (m_started)
            return;
        m_started = true;
        const QString path = modulePath(QStringLiteral("habitara-speech"));
        if (path.isEmpty() || !QCoreApplication::instance()) {
            m_answered = m_ended = true;
            m_state = State::Failed;
            return;
        }
        m_process = new QProcess(QCoreApplication::instance());
        m_process->setStandardErrorFile(QProcess::nullDevice());
        QObject::connect(m_process, &QProcess::readyReadStandardOutput, m_process,
                         [this] { readAnswers(); });
        QObject::connect(m_process, &QProcess::finished, m_process, [this] { ended(); });
        QObject::connect(m_process, &QProcess::errorOccurred, m_process,
                         [this](QProcess::ProcessError error) {
                             if (error == QProcess::FailedToStart)
                                 ended();
                         });
        // Leaving: the engine goes with the program, and says nothing of it.
        QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, m_process,
                         [] { speechProcess().shutDown(); });
        static const bool leaving = [] {
            qAddPostRoutine([] { speechProcess().shutDown(); });
            return true;
        }();
        Q_UNUSED(leaving);
        m_process->start(path, QStringList());
    }

    /// Closes the engine's input, on which it ends at once, and forgets it.
    void shutDown()
    {
        if (!m_process)
            return;
        m_process->disconnect();
        m_process->closeWriteChannel();
        if (!m_process->waitForFinished(2000))
            m_process->kill();
        m_process->waitForFinished(2000);
        delete m_process;
        m_process = nullptr;
        m_answered = m_ended = true;
    }

    bool available() override
    {
        start();
        QElapsedTimer waited;
        waited.start();
        while (!m_answered && m_process && waited.elapsed() < 5000)
            if (!m_process->waitForReadyRead(int(5000 - waited.elapsed())))
                break;
        if (!m_answered) {
            m_answered = m_ended = true;
            changeTo(State::Failed, "Habitara: the speech engine did not start; reading aloud "
                                    "is not available.");
        }
        return !m_ended;
    }

    void say(const QString &text) override
    {
        m_saying = text.simplified();
        if (available() && m_process)
            m_process->write("say " + m_saying.toUtf8() + '\n');
    }

    void stop() override
    {
        m_saying.clear();
        if (m_answered && !m_ended && m_process)
            m_process->write("stop\n");
    }

    State state() const override
    {
        return m_state;
    }

    void setStateListener(std::function<void(State)> listener) override
    {
        m_listener = std::move(listener);
    }

private:
    void readAnswers()
    {
        while (m_process->canReadLine()) {
            const QByteArray line = m_process->readLine().trimmed();
            if (line == "available" || line == "unavailable") {
                m_answered = true;
                if (line == "unavailable") {
                    m_ended = true;
                    changeTo(State::Failed, nullptr);
                } else if (m_restarted && !m_saying.isEmpty()) {
                    // Started again after a crash: what it was saying is said again.
                    m_process->write("say " + m_saying.toUtf8() + '\n');
                } else if (m_restarted) {
                    changeTo(State::Ready, nullptr);
                }
            } else if (line == "speaking") {
                changeTo(State::Speaking, nullptr);
            } else if (line == "ready") {
                m_saying.clear();
                m_crashes = 0;
                changeTo(State::Ready, nullptr);
            } else if (line.startsWith("failed")) {
                // An utterance that failed; the engine is ready for the next one. The console
                // hears of it once a run.
                const QByteArray why = line.mid(7).isEmpty() ? "no reason given" : line.mid(7);
                if (!m_toldFailure)
                    std::fprintf(stderr,
                                 "Habitara: the speech engine could not finish an utterance: "
                                 "%s\n",
                                 why.constData());
                m_toldFailure = true;
                changeTo(State::Failed, nullptr);
            }
        }
    }

    /// The engine ended (or never started). It ends by itself only when it fails (a crash, or
    /// a sanitizer's exit after one), so one that could speak is started again, unless that is
    /// its third end with nothing said to the end between them; otherwise it is silent for the
    /// rest of the run.
    void ended()
    {
        if (m_answered && !m_ended) {
            if (++m_crashes < 3) {
                if (m_state == State::Speaking)
                    changeTo(State::Failed, nullptr);
                m_process->deleteLater();
                m_process = nullptr;
                m_started = m_answered = false;
                m_restarted = true;
                start();
                return;
            }
        }
        if (m_answered && !m_ended && !m_toldFailure)
            std::fputs("Habitara: reading aloud stopped, the speech engine ended.\n", stderr);
        m_answered = true;
        m_ended = true;
        m_toldFailure = true;
        changeTo(State::Failed, nullptr);
    }

    void changeTo(State state, const QByteArray &why)
    {
        if (!why.isEmpty() && !m_toldFailure) {
            std::fprintf(stderr, "%s\n", why.constData());
            m_toldFailure = true;
        }
        if (m_state == state)
            return;
        m_state = state;
        if (m_listener)
            m_listener(state);
    }

    bool m_started = false;
    bool m_answered = false;
    bool m_ended = false;       ///< it will not speak this run: gone, or no engine
    bool m_toldFailure = false; ///< the console heard of a failure
    bool m_restarted = false;   ///< started again after a crash
    int m_crashes = 0;          ///< crashes since the engine last said something to the end
    QString m_saying;           ///< what it is saying, until it ends or is stopped
    QProcess *m_process = nullptr;
    State m_state = State::Ready;
    std::function<void(State)> m_listener;
};

SpeechProcess &speechProcess()
{
    static SpeechProcess *process = new SpeechProcess;
    return *process;
}

/// The system's speech engine. Until an engine is found there is no voice.
class SystemVoice : public Voice
{
public:
    bool available() override { return speechProcess().available(); }
    void say(const QString &text) override { speechProcess().say(text); }
    void stop() override { speechProcess().stop(); }
};

struct State
{
    std::unique_ptr<Voice> installed;
    bool on = false;
    bool toldUnavailable = false;
};

State &state()
{
    static State s;
    return s;
}

SystemVoice &systemVoice()
{
    static SystemVoice *voice = new SystemVoice;
    return *voice;
}

} // namespace

Voice &voice()
{
    if (state().installed)
        return *state().installed;
    return systemVoice();
}

void setVoice(std::unique_ptr<Voice> voice)
{
    state().installed = std::move(voice);
}

SpeechOutput *systemSpeech()
{
    speechProcess().start();
    return &speechProcess();
}

void startVoiceAfterFirstFrame(QWidget &window)
{
    // Started, not waited for: its answer comes while the pupil looks at the title screen.
    afterFirstFrame(window, [] { speechProcess().start(); });
}

bool onBySchoolSettings()
{
    const QSettings settings(QSettings::SystemScope, QStringLiteral("Habitara"),
                             QStringLiteral("Habitara"));
    // Only a plain yes turns it on: QVariant would take any word but "false" for true.
    const QString on =
        settings.value(QStringLiteral("ReadAloud/on")).toString().trimmed().toLower();
    return on == QLatin1String("true") || on == QLatin1String("yes") || on == QLatin1String("on") ||
           on == QLatin1String("1");
}

void setOnAfterFirstFrame(QWidget &window)
{
    afterFirstFrame(window, [] {
        speechProcess().start();
        setOn(true);
    });
}

bool isOn()
{
    return state().on;
}

void setOn(bool on)
{
    State &s = state();
    if (!on) {
        s.on = false;
        voice().stop();
        return;
    }
    if (s.on)
        return;
    if (!voice().available()) {
        if (!s.toldUnavailable) {
            s.toldUnavailable = true;
            MsgBox(QStringLiteral("Reading aloud is not available on this computer."));
        }
        return;
    }
    s.on = true;
}

void toggle()
{
    setOn(!isOn());
}

void say(const QString &text)
{
    if (state().on && !text.trimmed().isEmpty())
        voice().say(text);
}

void stop()
{
    if (state().on)
        voice().stop();
}

void reset()
{
    State &s = state();
    if (s.on)
        voice().stop();
    s.on = false;
    s.toldUnavailable = false;
}

} // namespace readaloud
