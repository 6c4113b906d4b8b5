// SPDX-License-Identifier: GPL-3.0-or-later
// bench_startup [RUNS]: how long the program takes from being started to the first frame of its
// title screen, against a bare Qt Widgets window (bare_window) built beside it. It starts its
// own Xvfb, then starts the two in turn, RUNS times each (21 by default, at least 15), and
// watches the X server's screen for the title screen's grey at a point inside it, and for the
// program also the backdrop's blue in a corner of the screen; the time is from just before the
// program is started to the moment both are seen. It prints both medians and their ratio, and
// does not judge them. A third start in each turn, the bare window with one line of text
// (bare_window --caption), shows how much of the difference is the drawing of text itself.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int screenWidth = 1024, screenHeight = 768;
// A point on the title screen's grey frame, clear of its picture and captions: the window is
// 364 x 438 pixels, centred.
constexpr int probeX = (screenWidth - 364) / 2 + 13, probeY = (screenHeight - 438) / 2 + 61;
constexpr unsigned long titleGrey = 0xc0c0c0;
// The program's full-screen backdrop, behind the title screen.
constexpr int backdropX = 5, backdropY = 5;
constexpr unsigned long backdropBlue = 0x3085d6;

double now()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

void pause(double milliseconds)
{
    timespec t{time_t(milliseconds / 1000), long(std::fmod(milliseconds, 1000.0) * 1e6)};
    nanosleep(&t, nullptr);
}

/// Starts Xvfb on a free display and returns its number, or -1.
int startXvfb(pid_t &pid)
{
    int fds[2];
    if (pipe(fds) != 0)
        return -1;
    pid = fork();
    if (pid == 0) {
        dup2(fds[1], 3);
        const std::string screen =
            std::to_string(screenWidth) + "x" + std::to_string(screenHeight) + "x24";
        execlp("Xvfb", "Xvfb", "-displayfd", "3", "-screen", "0", screen.c_str(), "-nolisten",
               "tcp", static_cast<char *>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    // Xvfb writes the number and then a line end, and stops if no one takes the line end.
    std::string number;
    char c = 0;
    while (read(fds[0], &c, 1) == 1 && c != '\n')
        number += c;
    close(fds[0]);
    return number.empty() ? -1 : std::atoi(number.c_str());
}

unsigned long pixelAt(Display *display, int x = probeX, int y = probeY)
{
    XImage *image = XGetImage(display, DefaultRootWindow(display), x, y, 1, 1, AllPlanes, ZPixmap);
    if (!image)
        return 0;
    const unsigned long pixel = XGetPixel(image, 0, 0) & 0xffffff;
    XDestroyImage(image);
    return pixel;
}

/// Whether the window's first frame is on the screen: the title grey, and the backdrop too when
/// the program has one.
bool shown(Display *display, bool backdrop)
{
    return pixelAt(display) == titleGrey &&
           (!backdrop || pixelAt(display, backdropX, backdropY) == backdropBlue);
}

/// Starts the program in folder and returns the milliseconds to its first frame, or -1 when it
/// showed none within ten seconds. The program is ended before this returns.
double timeToFirstFrame(Display *display, const std::string &program, const std::string &folder,
                        bool backdrop, const char *option = nullptr)
{
    const double start = now();
    const pid_t pid = fork();
    if (pid == 0) {
        if (chdir(folder.c_str()) != 0)
            _exit(126);
        execl(program.c_str(), program.c_str(), option, static_cast<char *>(nullptr));
        _exit(127);
    }
    double firstFrame = -1;
    while (now() - start < 10000) {
        if (shown(display, backdrop)) {
            firstFrame = now() - start;
            break;
        }
        pause(0.25);
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    // Its windows go with it; wait until the screen is bare again.
    for (int i = 0; i < 4000 && (pixelAt(display) == titleGrey ||
                                 pixelAt(display, backdropX, backdropY) == backdropBlue);
         ++i)
        pause(0.5);
    return firstFrame;
}

double median(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    const size_t n = times.size();
    return n % 2 ? times[n / 2] : (times[n / 2 - 1] + times[n / 2]) / 2;
}

} // namespace

int main(int argc, char **argv)
{
    const int runs = std::max(15, argc > 1 ? std::atoi(argv[1]) : 21);
    const std::string habitara = HABITARA_PROGRAM, bare = BARE_WINDOW_PROGRAM;

    char runtime[] = "/tmp/bench_startup.XXXXXX";
    if (!mkdtemp(runtime)) {
        std::perror("bench_startup: mkdtemp");
        return 1;
    }
    setenv("XDG_RUNTIME_DIR", runtime, 1);
    unsetenv("QT_QPA_PLATFORM");
    unsetenv("QT_SCALE_FACTOR");
    pid_t xvfb = 0;
    const int number = startXvfb(xvfb);
    Display *display = nullptr;
    if (number >= 0) {
        const std::string name = ":" + std::to_string(number);
        setenv("DISPLAY", name.c_str(), 1);
        for (int i = 0; i < 100 && !display; ++i) {
            display = XOpenDisplay(name.c_str());
            if (!display)
                pause(50);
        }
    }
    if (!display) {
        std::fprintf(stderr, "bench_startup: Xvfb did not start\n");
        if (xvfb > 0)
            kill(xvfb, SIGTERM);
        return 1;
    }

    // One start of each first, not counted, so that both find their libraries in the cache.
    timeToFirstFrame(display, habitara, HABITARA_RUN_DIR, true);
    timeToFirstFrame(display, bare, HABITARA_RUN_DIR, false);
    std::vector<double> program, window, text;
    bool failed = false;
    for (int i = 0; i < runs && !failed; ++i) {
        const double a = timeToFirstFrame(display, habitara, HABITARA_RUN_DIR, true);
        const double b = timeToFirstFrame(display, bare, HABITARA_RUN_DIR, false);
        const double c = timeToFirstFrame(display, bare, HABITARA_RUN_DIR, false, "--caption");
        failed = a < 0 || b < 0 || c < 0;
        if (std::getenv("BENCH_STARTUP_VERBOSE"))
            std::fprintf(stderr,
                         "run %2d: habitara %6.1f ms, bare window %6.1f ms, with text %6.1f ms\n",
                         i + 1, a, b, c);
        program.push_back(a);
        window.push_back(b);
        text.push_back(c);
    }
    XCloseDisplay(display);
    kill(xvfb, SIGTERM);
    waitpid(xvfb, nullptr, 0);
    rmdir(runtime);
    if (failed) {
        std::fprintf(stderr, "bench_startup: a window did not appear within ten seconds\n");
        return 1;
    }

    const double p = median(program), w = median(window), t = median(text);
    const auto [pMin, pMax] = std::minmax_element(program.begin(), program.end());
    const auto [wMin, wMax] = std::minmax_element(window.begin(), window.end());
    const auto [tMin, tMax] = std::minmax_element(text.begin(), text.end());
    std::printf("start to the first frame, %d runs each, in turn, under Xvfb %dx%d\n", runs,
                screenWidth, screenHeight);
    std::printf("  habitara title screen   median %7.1f ms  (min %6.1f, max %6.1f)\n", p, *pMin,
                *pMax);
    std::printf("  bare Qt Widgets window  median %7.1f ms  (min %6.1f, max %6.1f)\n", w, *wMin,
                *wMax);
    std::printf("  ratio                   %.2fx\n", p / w);
    std::printf("  bare window with text   median %7.1f ms  (min %6.1f, max %6.1f)\n", t, *tMin,
                *tMax);
    std::printf("  ratio to it             %.2fx\n", p / t);
    return 0;
}
