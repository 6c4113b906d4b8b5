// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>
#include <QElapsedTimer>

#include <vector>

/// What the benchmarks that drive the program's screens share.
namespace benchkit {

/// The application on the offscreen platform (unless QT_QPA_PLATFORM names another), with the
/// program's fonts registered.
class Application : public QApplication
{
public:
    Application(int &argc, char **argv);
};

/// How long work takes, in milliseconds.
template <typename Work> double millisecondsOf(Work &&work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed()) / 1e6;
}

/// The time below which the fraction p of times lie.
double percentile(std::vector<double> times, double p);

/// Prints one line of figures for times: the median, the 95th percentile and the worst, and the
/// budget that the percentile at must keep to. Returns whether it does, and nothing else went
/// wrong (failure, when given, says what did).
bool report(const char *what, const std::vector<double> &times, double budget, double at = 0.5,
            const char *failure = nullptr);

} // namespace benchkit
