// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <X11/Xlib.h>

#include <string>
#include <sys/types.h>
#include <vector>

// What the start-up benchmarks share: an Xvfb of their own, watched from outside until a
// program's first frame shows, and the figures they print.
namespace firstframe {

/// Starts Xvfb on a free display, points DISPLAY at it and opens it; display is null when it
/// did not start. The server ends with the object.
class XServer
{
public:
    XServer();
    ~XServer();
    XServer(const XServer &) = delete;
    XServer &operator=(const XServer &) = delete;
    Display *display = nullptr;

private:
    pid_t m_pid = 0;
};

/// Starts a PulseAudio server with a null output on a socket in folder and points
/// PULSE_SERVER at it; 0 where there is none. End it with stop().
pid_t startSoundServer(const std::string &folder);
void stop(pid_t pid);

/// A scratch XDG_RUNTIME_DIR for the programs started, with no platform or scale forced.
std::string prepareEnvironment(const char *name);

/// Starts program in folder (with the option, if any) and returns the milliseconds to its first
/// frame: the title screen's grey, and the backdrop's blue too when backdrop is set; -1 when
/// none showed within ten seconds. The program is ended, and its windows gone, on return.
double timeToFirstFrame(Display *display, const std::string &program, const std::string &folder,
                        bool backdrop, const char *option = nullptr);

struct Figures
{
    double median, min, max;
};
Figures figures(std::vector<double> times);

constexpr int screenWidth = 1024, screenHeight = 768;

} // namespace firstframe
