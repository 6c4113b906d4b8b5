// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/firstframe.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace {

/// Watches a window until it is first exposed, then hands the work to the event loop.
class FirstFrame : public QObject
{
public:
    FirstFrame(QWindow *window, std::function<void()> work)
        : QObject(window), m_work(std::move(work))
    {
        window->installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Expose && static_cast<QWindow *>(watched)->isExposed()) {
            watched->removeEventFilter(this);
            QTimer::singleShot(0, QCoreApplication::instance(), m_work);
            deleteLater();
        }
        return false;
    }

private:
    std::function<void()> m_work;
};

} // namespace

void afterFirstFrame(QWidget &window, std::function<void()> work)
{
    // A window not yet shown gets its native window now, to watch.
    if (!window.windowHandle())
        window.winId();
    if (QWindow *handle = window.windowHandle(); handle && !handle->isExposed())
        new FirstFrame(handle, std::move(work));
    else
        QTimer::singleShot(0, QCoreApplication::instance(), std::move(work));
}
