// SPDX-License-Identifier: GPL-3.0-or-later
// habitara-speech: the speech engine, a small program of its own that Habitara starts after its
// first frame and talks to through standard input and output, a line at a time.
//   in:  "say TEXT" (whatever is being said stops, then TEXT is said), "stop"
//   out: "available" or "unavailable" once, then "speaking" as an utterance starts, "ready" as
//        the last ends, and "failed WHY" when the engine gives up on one
// Qt TextToSpeech's engine, with Qt Multimedia and the sound server's client it brings, lives
// here rather than in the program: the flite engine can crash when it is destroyed after an
// utterance was cut short, so this program never destroys it. It ends, at once, when Habitara
// closes its input.
#include <QAudioDevice>
#include <QCoreApplication>
#include <QMediaDevices>
#include <QSocketNotifier>
#include <QTextToSpeech>
#include <QTimer>

#include <QRegularExpression>

#include <cstdio>
#include <unistd.h>

namespace {

void tell(const QByteArray &line)
{
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

/// The offline flite engine where it is installed, else the system's default one; none without
/// a sound output to speak into (every utterance would end in an error at once), an engine or
/// a voice.
QTextToSpeech *startEngine()
{
    if (QMediaDevices::audioOutputs().isEmpty())
        return nullptr;
    const QStringList engines = QTextToSpeech::availableEngines();
    if (engines.isEmpty())
        return nullptr;
    const QString flite = QStringLiteral("flite");
    auto *engine = new QTextToSpeech(engines.contains(flite) ? flite : QString());
    if (engine->state() == QTextToSpeech::Error || engine->availableVoices().isEmpty())
        return nullptr;
    return engine;
}

/// Splits text into its phrases, each ending at a full stop, question or exclamation mark,
/// comma, colon or semicolon. Qt 6.4's flite engine gives up on many utterances of more than
/// one phrase a moment after it starts ("Audio streaming error": "Question 3. What do yaks
/// give?" is one), so each phrase is said on its own, the next as soon as the last has ended.
QStringList phrasesOf(const QString &text)
{
    static const QRegularExpression end(QStringLiteral("(?<=[.!?,;:])\\s+"));
    QStringList phrases = text.split(end, Qt::SkipEmptyParts);
    return phrases;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    // Qt's own warnings (a missing sound server, say) would repeat what the program says.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});

    QTextToSpeech *engine = startEngine();
    tell(engine ? "available" : "unavailable");
    // What is still to be said of the utterance being said, whether it is being said, and
    // whether the program has been told so since the last failure.
    QStringList phrases;
    bool speaking = false, told = false;
    const auto next = [&] {
        if (phrases.isEmpty()) {
            if (speaking)
                tell("ready");
            speaking = told = false;
            return;
        }
        if (!told)
            tell("speaking");
        speaking = told = true;
        engine->say(phrases.takeFirst());
    };
    if (engine)
        QObject::connect(engine, &QTextToSpeech::stateChanged, [&](QTextToSpeech::State s) {
            // An error ends the phrase (the engine is ready again at once): the rest is said.
            // A phrase cut short may still fail after its utterance was told ended; that is
            // nothing the program is saying any more, so it is not told.
            if (s == QTextToSpeech::Error && speaking) {
                tell("failed " + engine->errorString().simplified().toUtf8());
                told = false;
            }
            // The engine is done with a phrase, or with what it was saying when a new utterance
            // came: on to the next phrase, once it has settled (asked at once, it may not start).
            if (s == QTextToSpeech::Ready && (speaking || !phrases.isEmpty()))
                QTimer::singleShot(0, engine, next);
        });

    QByteArray pending;
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char buffer[4096];
        const ssize_t got = read(STDIN_FILENO, buffer, sizeof buffer);
        if (got <= 0)
            _exit(0); // Habitara has ended: so does this, leaving the engine as it is.
        pending.append(buffer, got);
        for (qsizetype end; (end = pending.indexOf('\n')) >= 0;) {
            const QString line = QString::fromUtf8(pending.left(end));
            pending.remove(0, end + 1);
            if (!engine)
                continue;
            const bool say = line.startsWith(QLatin1String("say "));
            if (!say && line != QLatin1String("stop"))
                continue;
            phrases = say ? phrasesOf(line.mid(4)) : QStringList();
            if (engine->state() == QTextToSpeech::Speaking) {
                // Cut short; its end (Ready) starts the next phrase, or tells of the end.
                engine->stop(QTextToSpeech::BoundaryHint::Immediate);
            } else {
                next();
            }
        }
    });
    return QCoreApplication::exec();
}
