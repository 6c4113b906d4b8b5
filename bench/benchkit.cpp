// SPDX-License-Identifier: GPL-3.0-or-later
#include "bench/benchkit.h"

#include "platform/fonts.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace benchkit {
namespace {

int &offscreen(int &argc)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    return argc;
}

} // namespace

Application::Application(int &argc, char **argv) : QApplication(offscreen(argc), argv)
{
    registerFonts();
}

double percentile(std::vector<double> times, double p)
{
    if (times.empty())
        return NAN;
    std::sort(times.begin(), times.end());
    const size_t k = size_t(std::ceil(p * double(times.size())));
    return times[std::clamp<size_t>(k, 1, times.size()) - 1];
}

bool report(const char *what, const std::vector<double> &times, double budget, double at,
            const char *failure)
{
    if (times.empty() && !failure)
        failure = "NOTHING TIMED";
    const bool ok = !failure && percentile(times, at) <= budget;
    std::printf("%-34s p50 %7.2f  p95 %7.2f  max %7.2f ms  budget p%02d %5.1f ms  %s\n", what,
                percentile(times, 0.5), percentile(times, 0.95), percentile(times, 1),
                int(std::lround(at * 100)), budget,
                failure ? failure
                : ok    ? "ok"
                        : "OVER BUDGET");
    std::fflush(stdout);
    return ok;
}

} // namespace benchkit
