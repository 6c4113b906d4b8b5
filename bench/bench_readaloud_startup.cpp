// SPDX-License-Identifier: GPL-3.0-or-later
// bench_readaloud_startup [RUNS]: how long the program takes from being started to the first
// frame of its title screen with reading aloud on (--read-aloud) against off, in one run. It
// starts its own Xvfb and a private sound server (where pulseaudio is installed, so that the
// speech engine really starts), then starts the program both ways in turn, RUNS times each (21
// by default, at least 15), and watches the screen for the title screen's grey at a point inside
// it, as bench_startup does. It prints both medians and their ratio against the budget: on at
// most 10 % slower.
#include "bench/firstframe.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace firstframe;

int main(int argc, char **argv)
{
    const int runs = std::max(15, argc > 1 ? std::atoi(argv[1]) : 21);
    const std::string habitara = HABITARA_PROGRAM;
    const std::string runtime = prepareEnvironment("bench_readaloud");
    const pid_t sound = startSoundServer(runtime);
    XServer x;
    if (!x.display) {
        std::fprintf(stderr, "bench_readaloud_startup: Xvfb did not start\n");
        stop(sound);
        return 1;
    }

    // One start each first, not counted, so that both find their libraries in the cache.
    timeToFirstFrame(x.display, habitara, HABITARA_RUN_DIR, true);
    timeToFirstFrame(x.display, habitara, HABITARA_RUN_DIR, true, "--read-aloud");
    std::vector<double> off, on;
    bool failed = false;
    for (int i = 0; i < runs && !failed; ++i) {
        const double a = timeToFirstFrame(x.display, habitara, HABITARA_RUN_DIR, true);
        const double b =
            timeToFirstFrame(x.display, habitara, HABITARA_RUN_DIR, true, "--read-aloud");
        failed = a < 0 || b < 0;
        if (std::getenv("BENCH_STARTUP_VERBOSE"))
            std::fprintf(stderr, "run %2d: off %6.1f ms, on %6.1f ms\n", i + 1, a, b);
        off.push_back(a);
        on.push_back(b);
    }
    stop(sound);
    if (failed) {
        std::fprintf(stderr,
                     "bench_readaloud_startup: a window did not appear within ten seconds\n");
        return 1;
    }

    const Figures a = figures(off), b = figures(on);
    std::printf("start to the title screen's first frame, %d runs each, in turn, under Xvfb %dx%d"
                "%s\n",
                runs, screenWidth, screenHeight,
                sound > 0 ? ", with a null sound output" : ", with no sound server");
    std::printf("  reading aloud off  median %7.1f ms  (min %6.1f, max %6.1f)\n", a.median, a.min,
                a.max);
    std::printf("  reading aloud on   median %7.1f ms  (min %6.1f, max %6.1f)\n", b.median, b.min,
                b.max);
    const double ratio = b.median / a.median;
    std::printf("  on / off           %.3fx  (budget 1.10x: %s)\n", ratio,
                ratio <= 1.10 ? "kept" : "over");
    return ratio <= 1.10 ? 0 : 1;
}
