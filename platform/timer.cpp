// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/timer.h"

#include "platform/form.h"
#include "platform/guard.h"

#include <QTimer>
#include <QWidget>

namespace {
bool drivenByHand = false;
}

Timer::Timer(Form &form, int interval) : Timer(interval)
{
    m_timer->setParent(form.host());
}

Timer::Timer(int interval) : m_timer(new QTimer), m_interval(interval)
{
    m_timer->setInterval(interval);
    QObject::connect(m_timer, &QTimer::timeout, [this] {
        if (!drivenByHand)
            fire();
    });
}

Timer::~Timer()
{
    delete m_timer;
}

void Timer::setInterval(int ms)
{
    m_interval = ms;
    m_timer->setInterval(ms);
}

void Timer::setEnabled(bool enabled)
{
    m_enabled = enabled;
    if (enabled && !drivenByHand)
        m_timer->start();
    else
        m_timer->stop();
}

void Timer::fire()
{
    if (m_enabled && onTimer)
        guard(onTimer);
}

void Timer::setDrivenByHand(bool byHand)
{
    drivenByHand = byHand;
}
