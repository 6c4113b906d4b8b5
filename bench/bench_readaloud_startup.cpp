// SPDX-License-Identifier: GPL-3.0-or-later
// bench_readaloud_startup [RUNS]: how long the program takes from being started to the first
// frame of its title screen with reading aloud on (--read-aloud) against off, in one run. It
// starts its own Xvfb and a private sound server (where pulseaudio is installed, so that the
// speech engine really starts), then starts the program both ways in turn, RUNS times each (21
// by default, at least 15), and watches the screen for the title screen's grey at a point inside
// it, as bench_startup does. It prints both medians and their ratio against the budget: on at
// most 10 % slower.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
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
    std::string number;
    char c = 0;
    while (read(fds[0], &c, 1) == 1 && c != '\n')
        number += c;
    close(fds[0]);
    return number.empty() ? -1 : std::atoi(number.c_str());
}

/// Starts a PulseAudio server with a null output on a socket in folder; 0 where there is none.
pid_t startSoundServer(const std::string &folder)
{
    const std::string socket = folder + "/native";
    const pid_t pid = fork();
    if (pid == 0) {
        setenv("HOME", folder.c_str(), 1);
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        const std::string protocol =
            "module-native-protocol-unix auth-anonymous=1 socket=" + socket;
        execlp("pulseaudio", "pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1",
               "--use-pid-file=no", "-L", "module-null-sink", "-L", protocol.c_str(),
               static_cast<char *>(nullptr));
        _exit(127);
    }
    struct stat info
    {
    };
    for (int i = 0; i < 100; ++i) {
        if (stat(socket.c_str(), &info) == 0 && S_ISSOCK(info.st_mode)) {
            setenv("PULSE_SERVER", ("unix:" + socket).c_str(), 1);
            return pid;
        }
        if (waitpid(pid, nullptr, WNOHANG) == pid)
            return 0;
        pause(50);
    }
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    return 0;
}

unsigned long pixelAt(Display *display)
{
    XImage *image =
        XGetImage(display, DefaultRootWindow(display), probeX, probeY, 1, 1, AllPlanes, ZPixmap);
    if (!image)
        return 0;
    const unsigned long pixel = XGetPixel(image, 0, 0) & 0xffffff;
    XDestroyImage(image);
    return pixel;
}

/// Starts the program (with the option, if any) and returns the milliseconds to its first
/// frame, or -1 when it showed none within ten seconds. The program is ended before this
/// returns.
double timeToFirstFrame(Display *display, const char *option)
{
    const double start = now();
    const pid_t pid = fork();
    if (pid == 0) {
        if (chdir(HABITARA_RUN_DIR) != 0)
            _exit(126);
        execl(HABITARA_PROGRAM, HABITARA_PROGRAM, option, static_cast<char *>(nullptr));
        _exit(127);
    }
    double shown = -1;
    while (now() - start < 10000) {
        if (pixelAt(display) == titleGrey) {
            shown = now() - start;
            break;
        }
        pause(0.25);
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    for (int i = 0; i < 4000 && pixelAt(display) == titleGrey; ++i)
        pause(0.5);
    return shown;
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

    char runtime[] = "/tmp/bench_readaloud.XXXXXX";
    if (!mkdtemp(runtime)) {
        std::perror("bench_readaloud_startup: mkdtemp");
        return 1;
    }
    setenv("XDG_RUNTIME_DIR", runtime, 1);
    unsetenv("QT_QPA_PLATFORM");
    unsetenv("QT_SCALE_FACTOR");
    const pid_t sound = startSoundServer(runtime);
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
        std::fprintf(stderr, "bench_readaloud_startup: Xvfb did not start\n");
        if (xvfb > 0)
            kill(xvfb, SIGTERM);
        if (sound > 0)
            kill(sound, SIGTERM);
        return 1;
    }

    // One start each first, not counted, so that both find their libraries in the cache.
    timeToFirstFrame(display, nullptr);
    timeToFirstFrame(display, "--read-aloud");
    std::vector<double> off, on;
    bool failed = false;
    for (int i = 0; i < runs && !failed; ++i) {
        const double a = timeToFirstFrame(display, nullptr);
        const double b = timeToFirstFrame(display, "--read-aloud");
        failed = a < 0 || b < 0;
        if (std::getenv("BENCH_STARTUP_VERBOSE"))
            std::fprintf(stderr, "run %2d: off %6.1f ms, on %6.1f ms\n", i + 1, a, b);
        off.push_back(a);
        on.push_back(b);
    }
    XCloseDisplay(display);
    kill(xvfb, SIGTERM);
    waitpid(xvfb, nullptr, 0);
    if (sound > 0) {
        kill(sound, SIGTERM);
        waitpid(sound, nullptr, 0);
    }
    if (failed) {
        std::fprintf(stderr,
                     "bench_readaloud_startup: a window did not appear within ten seconds\n");
        return 1;
    }

    const double mOff = median(off), mOn = median(on);
    const auto [offMin, offMax] = std::minmax_element(off.begin(), off.end());
    const auto [onMin, onMax] = std::minmax_element(on.begin(), on.end());
    std::printf("start to the title screen's first frame, %d runs each, in turn, under Xvfb %dx%d"
                "%s\n",
                runs, screenWidth, screenHeight,
                sound > 0 ? ", with a null sound output" : ", with no sound server");
    std::printf("  reading aloud off  median %7.1f ms  (min %6.1f, max %6.1f)\n", mOff, *offMin,
                *offMax);
    std::printf("  reading aloud on   median %7.1f ms  (min %6.1f, max %6.1f)\n", mOn, *onMin,
                *onMax);
    const double ratio = mOn / mOff;
    std::printf("  on / off           %.3fx  (budget 1.10x: %s)\n", ratio,
                ratio <= 1.10 ? "kept" : "over");
    return ratio <= 1.10 ? 0 : 1;
}
