// SPDX-License-Identifier: GPL-3.0-or-later
#include "bench/firstframe.h"

#include <X11/Xutil.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace firstframe {
namespace {

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

} // namespace

XServer::XServer()
{
    int fds[2];
    if (pipe(fds) != 0)
        return;
    m_pid = fork();
    if (m_pid == 0) {
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
    if (number.empty())
        return;
    const std::string name = ":" + number;
    setenv("DISPLAY", name.c_str(), 1);
    for (int i = 0; i < 100 && !display; ++i) {
        display = XOpenDisplay(name.c_str());
        if (!display)
            pause(50);
    }
}

XServer::~XServer()
{
    if (display)
        XCloseDisplay(display);
    stop(m_pid);
}

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
    stop(pid);
    return 0;
}

void stop(pid_t pid)
{
    if (pid <= 0)
        return;
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
}

std::string prepareEnvironment(const char *name)
{
    std::string runtime = std::string("/tmp/") + name + ".XXXXXX";
    if (!mkdtemp(runtime.data())) {
        std::perror(name);
        std::exit(1);
    }
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    unsetenv("QT_QPA_PLATFORM");
    unsetenv("QT_SCALE_FACTOR");
    return runtime;
}

double timeToFirstFrame(Display *display, const std::string &program, const std::string &folder,
                        bool backdrop, const char *option)
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

Figures figures(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    const size_t n = times.size();
    const double median = n % 2 ? times[n / 2] : (times[n / 2 - 1] + times[n / 2]) / 2;
    return {median, times.front(), times.back()};
}

} // namespace firstframe
