// SPDX-License-Identifier: GPL-3.0-or-later
// bench_speech: how soon reading aloud starts to say where the keyboard focus went. On the main
// menu, with reading aloud on, real Tab key presses move the focus 500 times;
// each is timed from the key event to the voice being asked to say the control's name.
#include "app/Module1.h"
#include "app/intro0.h"
#include "bench/benchkit.h"
#include "platform/speech.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTest>
#include <QWidget>

#include <cstdio>

namespace {

/// A voice that notes when it is asked to say something.
class TimedVoice : public readaloud::Voice
{
public:
    bool available() override { return true; }
    void say(const QString &text) override
    {
        if (clock.isValid() && saidAt < 0) {
            saidAt = double(clock.nsecsElapsed()) / 1e6;
            said = text;
        }
    }
    void stop() override {}
    QElapsedTimer clock;
    double saidAt = -1;
    QString said;
};

/// Presses Tab a number of times on a screen; the times from each key to the voice.
std::vector<double> tabTimes(Form &form, TimedVoice &voice, int presses, const char **failure)
{
    std::vector<double> times;
    QWidget *window = form.host();
    for (int k = 0; k < presses; ++k) {
        QWidget *before = window->focusWidget();
        voice.saidAt = -1;
        voice.clock.start();
        QTest::keyClick(window->windowHandle(), Qt::Key_Tab);
        QCoreApplication::processEvents();
        if (voice.saidAt < 0 || window->focusWidget() == before || voice.said.isEmpty()) {
            *failure = "A TAB WENT UNSAID";
            break;
        }
        times.push_back(voice.saidAt);
    }
    return times;
}

} // namespace

int main(int argc, char **argv)
{
    benchkit::Application app(argc, argv);
    QDir::setCurrent(QStringLiteral(HABITARA_RUN_DIR));
    Module1::soundon = 0;
    auto owned = std::make_unique<TimedVoice>();
    TimedVoice &voice = *owned;
    readaloud::setVoice(std::move(owned));
    readaloud::setOn(true);
    constexpr int presses = 500;
    const double frame = 1000.0 / 60;
    const char *failure = nullptr;
    intro0 &menu = screen<intro0>();
    menu.show();
    QCoreApplication::processEvents();
    // The first Tab only shows where the focus is.
    QTest::keyClick(menu.host()->windowHandle(), Qt::Key_Tab);
    QCoreApplication::processEvents();
    const bool ok = benchkit::report(
        "main menu: Tab to say()", tabTimes(menu, voice, presses, &failure), frame, 0.95, failure);
    registry::unloadAll();
    QCoreApplication::processEvents();
    return ok ? 0 : 1;
}
