// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/keyboard.h"

#include "platform/controls.h"
#include "platform/form.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPointer>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace {

bool keyboardInUse = false;
/// The Tab that turned the focus marks on shows the mark where the focus already is.
bool firstTab = false;

Form *formOf(const QWidget *window)
{
    return window ? static_cast<Form *>(window->property("habitaraForm").value<void *>()) : nullptr;
}

Control *controlOf(const QWidget *widget)
{
    if (!widget)
        return nullptr;
    Form *form = formOf(widget->window());
    return form ? form->findControl(widget->objectName()) : nullptr;
}

bool canTakeFocus(const Control *control)
{
    const QWidget *w = control->widget();
    return w && w->isVisible() && w->isEnabled();
}

QRect areaOf(const QWidget *widget)
{
    return QRect(widget->mapTo(widget->window(), QPoint(0, 0)), widget->size());
}

/// The focus mark: a ring two pixels white inside two pixels black, just outside the focused
/// control, so it stands out on the blue screens, the black buttons and the grey title alike
/// and never covers a control's text.
class FocusMark : public QWidget
{
public:
    static constexpr int ring = 4;
    explicit FocusMark(QWidget *window) : QWidget(window)
    {
        setObjectName(QStringLiteral("focusMark"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        const QRect r = rect();
        QRegion black(r);
        black -= r.adjusted(2, 2, -2, -2);
        QRegion white(r.adjusted(2, 2, -2, -2));
        white -= r.adjusted(ring, ring, -ring, -ring);
        for (const QRect &part : black)
            p.fillRect(part, Qt::black);
        for (const QRect &part : white)
            p.fillRect(part, Qt::white);
    }
};

void refreshMark(QWidget *window)
{
    Form *form = formOf(window);
    if (!form)
        return;
    // (No qobject_cast here: the mark has no meta-object of its own.)
    auto *mark = dynamic_cast<FocusMark *>(
        window->findChild<QWidget *>(QStringLiteral("focusMark"), Qt::FindDirectChildrenOnly));
    QWidget *focused = window->focusWidget();
    QRect area;
    if (keyboardInUse && focused && focused != window && focused->isVisible())
        area = form->keyboard().markedArea(focused);
    if (area.isEmpty()) {
        if (mark)
            mark->hide();
        return;
    }
    if (!mark)
        mark = new FocusMark(window);
    const int r = FocusMark::ring;
    mark->setGeometry(area.adjusted(-r, -r, r, r));
    // The ring hides nothing inside it.
    QRegion shape(mark->rect());
    shape -= mark->rect().adjusted(r, r, -r, -r);
    mark->setMask(shape);
    mark->show();
    mark->raise();
}

void refreshAllMarks()
{
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows)
        refreshMark(window);
}

bool isArrow(int key)
{
    return key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down;
}

/// Watches every event of the program: the keys that move the focus turn the focus marks on,
/// a mouse press turns them off, and the mark follows the focused control wherever it goes.
class Watcher : public QObject
{
public:
    bool eventFilter(QObject *object, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            if (keyboardInUse)
                keyboard::setInUse(false);
            firstTab = false;
            break;
        case QEvent::KeyPress: {
            const int key = static_cast<QKeyEvent *>(event)->key();
            const bool tab = key == Qt::Key_Tab || key == Qt::Key_Backtab;
            // The arrows inside a text box move its cursor, not the focus.
            if (!keyboardInUse && (tab || (isArrow(key) && !qobject_cast<QLineEdit *>(object)))) {
                firstTab = tab;
                keyboard::setInUse(true);
            }
            break;
        }
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Show:
        case QEvent::Hide:
        case QEvent::ZOrderChange:
            if (keyboardInUse && object->isWidgetType()) {
                auto *w = static_cast<QWidget *>(object);
                if (!w->isWindow() && w->window()->focusWidget() == w &&
                    w->objectName() != QLatin1String("focusMark"))
                    refreshMark(w->window());
            }
            break;
        default:
            break;
        }
        return false;
    }
};

} // namespace

TabStop::TabStop(std::vector<OptionButton *> choices, OptionButton *none) : none(none)
{
    for (OptionButton *choice : choices)
        controls.push_back(choice);
}

void KeyboardPath::setTabOrder(std::vector<TabStop> stops)
{
    m_stops = std::move(stops);
    for (const TabStop &stop : m_stops)
        for (Control *control : stop.controls)
            control->widget()->setFocusPolicy(Qt::TabFocus);
}

void KeyboardPath::setArrowWalk(std::vector<Control *> controls)
{
    m_walk = std::move(controls);
}

int KeyboardPath::stopOf(QWidget *widget) const
{
    for (size_t s = 0; s < m_stops.size(); ++s) {
        const TabStop &stop = m_stops[s];
        if (stop.none && stop.none->widget() == widget)
            return int(s);
        for (const Control *control : stop.controls)
            if (control->widget() == widget)
                return int(s);
    }
    return -1;
}

bool KeyboardPath::usable(int stop) const
{
    const auto &controls = m_stops[size_t(stop)].controls;
    return std::any_of(controls.begin(), controls.end(), canTakeFocus);
}

void KeyboardPath::enter(int stop, bool forwards)
{
    const Qt::FocusReason reason = forwards ? Qt::TabFocusReason : Qt::BacktabFocusReason;
    const TabStop &s = m_stops[size_t(stop)];
    Control *target = nullptr;
    if (s.isGroup()) {
        // A group is entered on its choice; with nothing chosen, on the group as a whole.
        for (Control *control : s.controls)
            if (canTakeFocus(control) && static_cast<OptionButton *>(control)->value())
                target = control;
        if (!target && s.none && s.none->value())
            target = s.none;
    }
    if (!target)
        target = *std::find_if(s.controls.begin(), s.controls.end(), canTakeFocus);
    target->widget()->setFocus(reason);
}

bool KeyboardPath::tab(bool next)
{
    if (m_stops.empty())
        return false;
    QWidget *focused = m_form.host()->focusWidget();
    const int current = stopOf(focused);
    if (firstTab) {
        // Unless a text box shows its caret, the focus has not been seen yet.
        firstTab = false;
        if (current >= 0 && usable(current) && focused->isVisible() &&
            !qobject_cast<QLineEdit *>(focused)) {
            refreshMark(m_form.host());
            return true;
        }
    }
    const int n = int(m_stops.size());
    for (int k = 1; k <= n; ++k) {
        int s;
        if (current < 0)
            s = next ? k - 1 : n - k;
        else
            s = ((current + (next ? k : -k)) % n + n) % n;
        if (usable(s)) {
            enter(s, next);
            return true;
        }
    }
    return true;
}

void KeyboardPath::choose(const TabStop &group, int step)
{
    std::vector<OptionButton *> choices;
    for (Control *control : group.controls)
        if (canTakeFocus(control))
            choices.push_back(static_cast<OptionButton *>(control));
    if (choices.empty())
        return;
    const QWidget *focused = m_form.host()->focusWidget();
    const auto at = std::find_if(choices.begin(), choices.end(),
                                 [&](OptionButton *o) { return o->widget() == focused; });
    const int count = int(choices.size());
    int k;
    if (at == choices.end())
        k = step > 0 ? 0 : count - 1;
    else
        k = ((int(at - choices.begin()) + step) % count + count) % count;
    OptionButton *chosen = choices[size_t(k)];
    chosen->widget()->setFocus(Qt::OtherFocusReason);
    chosen->userSelect();
}

bool KeyboardPath::key(QKeyEvent *event)
{
    QWidget *focused = m_form.host()->focusWidget();
    if (!focused)
        return false;
    const int code = keyboard::keyCodeOf(*event);
    const bool forwards = code == vbKeyDown || code == vbKeyRight;
    const bool arrow = forwards || code == vbKeyUp || code == vbKeyLeft;

    const int stop = stopOf(focused);
    if (stop >= 0 && m_stops[size_t(stop)].isGroup()) {
        const TabStop &group = m_stops[size_t(stop)];
        if (arrow) {
            choose(group, forwards ? 1 : -1);
            return true;
        }
        if ((code == vbKeySpace || code == vbKeyReturn) && group.none &&
            focused == group.none->widget()) {
            choose(group, 1);
            return true;
        }
        return false;
    }

    const auto here = std::find_if(m_walk.begin(), m_walk.end(),
                                   [&](const Control *c) { return c->widget() == focused; });
    if (!arrow || here == m_walk.end())
        return false;
    Control *target = nullptr;
    if (code == vbKeyLeft || code == vbKeyRight) {
        // The nearest caption that way, counting a step up or down as costlier than across.
        const QRect from = areaOf(focused);
        double best = 0;
        for (Control *c : m_walk) {
            if (c == *here || !canTakeFocus(c))
                continue;
            const QRect to = areaOf(c->widget());
            const double across =
                code == vbKeyRight ? to.left() - from.right() : from.left() - to.right();
            if (across <= 0)
                continue;
            const double cost = across + 4.0 * std::abs(to.center().y() - from.center().y());
            if (!target || cost < best) {
                target = c;
                best = cost;
            }
        }
    }
    if (!target) {
        // Up and Down, or Left and Right with nothing that way: the previous or next one.
        if (forwards) {
            const auto next = std::find_if(here + 1, m_walk.end(), canTakeFocus);
            target = next == m_walk.end() ? nullptr : *next;
        } else {
            const auto before =
                std::find_if(std::make_reverse_iterator(here), m_walk.rend(), canTakeFocus);
            target = before == m_walk.rend() ? nullptr : *before;
        }
    }
    if (target)
        target->widget()->setFocus(Qt::OtherFocusReason);
    return true;
}

void KeyboardPath::settleFocus()
{
    QWidget *window = m_form.host();
    QWidget *focused = window->focusWidget();
    const bool sensible = focused && focused != window && focused->isVisible() &&
                          focused->isEnabled() && controlOf(focused);
    if (!sensible) {
        for (int s = 0; s < int(m_stops.size()); ++s) {
            if (usable(s)) {
                enter(s, true);
                break;
            }
        }
    }
    refreshMark(window);
}

QRect KeyboardPath::markedArea(QWidget *focused) const
{
    const int stop = stopOf(focused);
    if (stop >= 0) {
        const TabStop &group = m_stops[size_t(stop)];
        if (group.none && focused == group.none->widget()) {
            QRect area;
            for (const Control *c : group.controls)
                if (canTakeFocus(c))
                    area |= areaOf(c->widget());
            return area;
        }
    }
    return areaOf(focused);
}

namespace keyboard {

bool inUse()
{
    return keyboardInUse;
}

void setInUse(bool inUse)
{
    keyboardInUse = inUse;
    if (!inUse)
        firstTab = false;
    refreshAllMarks();
}

void watch()
{
    static Watcher *watcher = nullptr;
    if (watcher || !qApp)
        return;
    watcher = new Watcher;
    qApp->installEventFilter(watcher);
    QObject::connect(qApp, &QApplication::focusChanged, watcher, [](QWidget *old, QWidget *now) {
        if (old)
            refreshMark(old->window());
        if (now && (!old || now->window() != old->window()))
            refreshMark(now->window());
    });
}

void returnTo(QWidget *window)
{
    if (!window || !window->isVisible())
        return;
    window->activateWindow();
    if (Form *form = formOf(window))
        form->keyboard().settleFocus();
}

int keyCodeOf(const QKeyEvent &event)
{
    switch (event.key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return vbKeyTab;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return vbKeyReturn;
    case Qt::Key_Escape:
        return vbKeyEscape;
    case Qt::Key_Space:
        return vbKeySpace;
    case Qt::Key_PageUp:
        return vbKeyPageUp;
    case Qt::Key_PageDown:
        return vbKeyPageDown;
    case Qt::Key_End:
        return vbKeyEnd;
    case Qt::Key_Home:
        return vbKeyHome;
    case Qt::Key_Left:
        return vbKeyLeft;
    case Qt::Key_Up:
        return vbKeyUp;
    case Qt::Key_Right:
        return vbKeyRight;
    case Qt::Key_Down:
        return vbKeyDown;
    default:
        return 0;
    }
}

int shiftOf(const QKeyEvent &event)
{
    int result = 0;
    if (event.modifiers() & Qt::ShiftModifier || event.key() == Qt::Key_Backtab)
        result |= 1;
    if (event.modifiers() & Qt::ControlModifier)
        result |= 2;
    if (event.modifiers() & Qt::AltModifier)
        result |= 4;
    return result;
}

} // namespace keyboard
