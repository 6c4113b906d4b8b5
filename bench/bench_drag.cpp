// SPDX-License-Identifier: GPL-3.0-or-later
// bench_drag: on each activity screen, drags an answer label over a thousand pointer moves
// and times each from the mouse move event to the end of the label's repaint. Prints the
// median and the 95th percentile in milliseconds against a budget of 4 ms.
#include "activities/livingdesertlab.h"
#include "activities/livingdesertord.h"
#include "activities/livingmountainslab.h"
#include "activities/livingmountainsord.h"
#include "app/Module1.h"
#include "bench/benchkit.h"
#include "platform/twips.h"

#include <QDir>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

#include <cmath>
#include <vector>

namespace {

constexpr int moves = 1000;
constexpr double budgetMs = 4.0;

/// Counts the paints of one widget.
class PaintCounter : public QObject
{
public:
    int paints = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

void send(QWindow *window, QEvent::Type type, QPointF at, Qt::MouseButton button,
          Qt::MouseButtons buttons)
{
    QMouseEvent event(type, at, window->mapToGlobal(at), button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &event);
}

/// Times the drags on screen T; returns whether its 95th percentile is within the budget.
template <class T> bool timeScreen()
{
    T &activity = screen<T>();
    activity.show();
    QCoreApplication::processEvents();
    QWindow *window = activity.host()->windowHandle();
    QWidget *label = activity.Label2[0].widget();
    PaintCounter counter;
    label->installEventFilter(&counter);

    const QPointF start = label->mapTo(activity.host(), QPointF(label->rect().center()));
    send(window, QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
    std::vector<double> times;
    QElapsedTimer timer;
    int missed = 0;
    for (int k = 0; k < moves; ++k) {
        // A loop around the screen, some pixels a move, so that the label crosses boxes,
        // lines and pictures and moves every time.
        const double a = 2 * M_PI * k / 250.0;
        const QPointF at(std::round(400 + 300 * std::cos(a)), std::round(300 + 200 * std::sin(a)));
        const int before = counter.paints;
        timer.start();
        send(window, QEvent::MouseMove, at, Qt::NoButton, Qt::LeftButton);
        while (counter.paints == before && timer.elapsed() < 1000)
            QCoreApplication::processEvents();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
        if (counter.paints == before)
            ++missed;
    }
    send(window, QEvent::MouseButtonRelease, QPointF(40, 40), Qt::LeftButton, Qt::NoButton);
    label->removeEventFilter(&counter);

    const bool within = benchkit::report(activity.name().toUtf8().constData(), times, budgetMs,
                                         0.95, missed ? "MISSED REPAINTS" : nullptr);
    unload<T>();
    QCoreApplication::processEvents();
    return within;
}

} // namespace

int main(int argc, char **argv)
{
    benchkit::Application app(argc, argv);
    QDir::setCurrent(QStringLiteral(HABITARA_RUN_DIR));
    bool within = true;
    within &= timeScreen<livingmountainsord>();
    within &= timeScreen<livingdesertord>();
    within &= timeScreen<livingmountainslab>();
    within &= timeScreen<livingdesertlab>();
    return within ? 0 : 1;
}
