// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/reader.h"

#include "platform/access.h"
#include "platform/keyboard.h"
#include "platform/speech.h"
#include "platform/timer.h"

#include <QApplication>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <vector>

namespace readaloud {
namespace {

/// How long the pointer rests on a control before its name is said.
constexpr int restMilliseconds = 500;

struct Listener
{
    QPointer<QObject> context;
    std::function<void()> changed;
};

std::vector<Listener> &listeners()
{
    static std::vector<Listener> list;
    return list;
}

bool isModifier(int key)
{
    return key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt ||
           key == Qt::Key_Meta || key == Qt::Key_AltGr || key == Qt::Key_CapsLock;
}

bool isScreenWindow(const QObject *object)
{
    return object->isWidgetType() && static_cast<const QWidget *>(object)->isWindow() &&
           object->property("habitaraForm").isValid();
}

/// Set while a key press is being handled: the focus a key moves is said, not the focus a
/// screen moves by itself later (the name box taking it as the results settle).
bool keyed = false;

void sayFocused(const QWidget *focused)
{
    if (focused && isOn() && keyboard::inUse())
        say(accessible::spokenName(focused));
}

/// Follows every event of the program for reading aloud.
class Follower : public QObject
{
public:
    Follower()
    {
        restClock().onTimer = [this] { rested(); };
    }

    bool eventFilter(QObject *object, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress:
            return key(object, static_cast<QKeyEvent *>(event));
        case QEvent::MouseMove:
            moved(object, static_cast<QMouseEvent *>(event)->position().toPoint());
            break;
        case QEvent::Enter:
            if (auto *enter = dynamic_cast<QEnterEvent *>(event))
                moved(object, enter->position().toPoint());
            break;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            // What the pointer pressed is no longer waiting to be said.
            restClock().setEnabled(false);
            m_told = true;
            break;
        case QEvent::Hide:
            if (isScreenWindow(object))
                stop();
            break;
        default:
            break;
        }
        return false;
    }

private:
    bool key(QObject *object, QKeyEvent *event)
    {
        if (event->key() == Qt::Key_F2 && event->modifiers() == Qt::NoModifier) {
            if (!event->isAutoRepeat())
                switchOver();
            return true;
        }
        // A key press travels from the focused widget up to its window: act on it once.
        if (!object->isWidgetType())
            return false;
        QWidget *window = static_cast<QWidget *>(object)->window();
        QWidget *first = window->focusWidget() ? window->focusWidget() : window;
        if (object != first)
            return false;
        restClock().setEnabled(false);
        m_told = true;
        if (isModifier(event->key()))
            return false;
        stop();
        if (!keyed) {
            keyed = true;
            QTimer::singleShot(0, this, [] { keyed = false; });
        }
        // The first Tab shows where the focus already is, without moving it: say it then.
        const bool tab = event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab;
        if (tab && isOn()) {
            QPointer<QWidget> before = first;
            QTimer::singleShot(0, this, [before] {
                if (before && before->window()->focusWidget() == before)
                    sayFocused(before);
            });
        }
        return false;
    }

    void moved(QObject *object, QPoint at)
    {
        if (!object->isWidgetType() || !isOn())
            return;
        auto *widget = static_cast<QWidget *>(object);
        // Only the widget right under the pointer counts, not the parents an event reaches.
        if (widget->childAt(at))
            return;
        if (widget == m_target)
            return;
        m_target = widget;
        m_told = false;
        restClock().setEnabled(false);
        if (!accessible::spokenName(widget).isEmpty())
            restClock().setEnabled(true);
    }

    void rested()
    {
        restClock().setEnabled(false);
        if (m_told || !m_target || !m_target->isVisible() || !isOn())
            return;
        m_told = true;
        say(accessible::spokenName(m_target));
    }

    QPointer<QWidget> m_target;
    bool m_told = true;
};

} // namespace

void follow()
{
    static Follower *follower = nullptr;
    if (follower || !qApp)
        return;
    follower = new Follower;
    qApp->installEventFilter(follower);
    QObject::connect(qApp, &QApplication::focusChanged, follower, [](QWidget *, QWidget *now) {
        if (keyed)
            sayFocused(now);
    });
}

void switchOver()
{
    const bool was = isOn();
    toggle();
    if (isOn() == was)
        return;
    accessible::announce(isOn() ? QStringLiteral("Reading aloud on.")
                                : QStringLiteral("Reading aloud off."));
    auto &list = listeners();
    std::erase_if(list, [](const Listener &l) { return !l.context; });
    const auto current = list;
    for (const Listener &l : current)
        if (l.context)
            l.changed();
}

void whenSwitched(QObject *context, std::function<void()> changed)
{
    listeners().push_back({context, std::move(changed)});
}

Timer &restClock()
{
    static Timer *clock = new Timer(restMilliseconds);
    return *clock;
}

} // namespace readaloud
