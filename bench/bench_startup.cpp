// SPDX-License-Identifier: GPL-3.0-or-later
// bench_startup [RUNS]: how long the program takes from being started to the first frame of its
// title screen, against a bare Qt Widgets window (bare_window) built beside it. It starts its
// own Xvfb, then starts the two in turn, RUNS times each (21 by default, at least 15), and
// watches the X server's screen for the title screen's grey at a point inside it, and for the
// program also the backdrop's blue in a corner of the screen; the time is from just before the
// program is started to the moment both are seen. It prints both medians and their ratio, and
// does not judge them. A third start in each turn, the bare window with one line of text
// (bare_window --caption), shows how much of the difference is the drawing of text itself, and
// a fourth, the title screen's own captions, picture and buttons over the backdrop made in
// stock Qt widgets (bare_window --title-screen), what the screen itself costs in plain Qt.
#include "bench/firstframe.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

using namespace firstframe;

int main(int argc, char **argv)
{
    const int runs = std::max(15, argc > 1 ? std::atoi(argv[1]) : 21);
    const std::string habitara = HABITARA_PROGRAM, bare = BARE_WINDOW_PROGRAM;
    const std::string runtime = prepareEnvironment("bench_startup");
    XServer x;
    if (!x.display) {
        std::fprintf(stderr, "bench_startup: Xvfb did not start\n");
        return 1;
    }

    // One start of each first, not counted, so that both find their libraries in the cache.
    timeToFirstFrame(x.display, habitara, HABITARA_RUN_DIR, true);
    timeToFirstFrame(x.display, bare, HABITARA_RUN_DIR, false);
    std::vector<double> program, window, text, title;
    bool failed = false;
    for (int i = 0; i < runs && !failed; ++i) {
        const double a = timeToFirstFrame(x.display, habitara, HABITARA_RUN_DIR, true);
        const double b = timeToFirstFrame(x.display, bare, HABITARA_RUN_DIR, false);
        const double c = timeToFirstFrame(x.display, bare, HABITARA_RUN_DIR, false, "--caption");
        const double d =
            timeToFirstFrame(x.display, bare, HABITARA_RUN_DIR, true, "--title-screen");
        failed = a < 0 || b < 0 || c < 0 || d < 0;
        if (std::getenv("BENCH_STARTUP_VERBOSE"))
            std::fprintf(stderr,
                         "run %2d: habitara %6.1f ms, bare window %6.1f ms, with text %6.1f ms, "
                         "plain Qt title screen %6.1f ms\n",
                         i + 1, a, b, c, d);
        program.push_back(a);
        window.push_back(b);
        text.push_back(c);
        title.push_back(d);
    }
    rmdir(runtime.c_str());
    if (failed) {
        std::fprintf(stderr, "bench_startup: a window did not appear within ten seconds\n");
        return 1;
    }

    const Figures p = figures(program), w = figures(window), t = figures(text), s = figures(title);
    std::printf("start to the first frame, %d runs each, in turn, under Xvfb %dx%d\n", runs,
                screenWidth, screenHeight);
    std::printf("  habitara title screen   median %7.1f ms  (min %6.1f, max %6.1f)\n", p.median,
                p.min, p.max);
    std::printf("  bare Qt Widgets window  median %7.1f ms  (min %6.1f, max %6.1f)\n", w.median,
                w.min, w.max);
    std::printf("  ratio                   %.2fx\n", p.median / w.median);
    std::printf("  bare window with text   median %7.1f ms  (min %6.1f, max %6.1f)\n", t.median,
                t.min, t.max);
    std::printf("  ratio to it             %.2fx\n", p.median / t.median);
    std::printf("  plain Qt title screen   median %7.1f ms  (min %6.1f, max %6.1f)\n", s.median,
                s.min, s.max);
    std::printf("  ratio to it             %.2fx\n", p.median / s.median);
    return 0;
}
