// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

class QTimer;
class Form;

/// A timer of a screen: while enabled it calls onTimer every interval milliseconds, on the
/// user-interface thread, through the error guard.
class Timer
{
public:
    Timer(Form &form, int interval);
    /// A timer of the program as a whole, belonging to no screen.
    explicit Timer(int interval);
    ~Timer();
    Timer(const Timer &) = delete;
    Timer &operator=(const Timer &) = delete;

    int interval() const { return m_interval; }
    void setInterval(int ms);
    bool enabled() const { return m_enabled; }
    void setEnabled(bool enabled);
    std::function<void()> onTimer;

    /// Runs one tick now, as if the interval had passed, when the timer is enabled.
    void fire();
    /// While on, no timer ticks by itself: ticks come only from fire(). Tests drive the
    /// screens' animations this way, tick by tick, whatever the machine's speed.
    static void setDrivenByHand(bool byHand);

private:
    QTimer *m_timer;
    int m_interval;
    bool m_enabled = false;
};
