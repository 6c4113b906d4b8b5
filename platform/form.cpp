// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/form.h"

#include "platform/guard.h"
#include "platform/reader.h"
#include "platform/twips.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <map>

namespace {

struct Registry
{
    std::map<const void *, Form *> slots;
    /// Screens in the order they were last brought to the front, the frontmost last.
    std::vector<Form *> stacking;
};

Registry &reg()
{
    static Registry r;
    return r;
}

void forget(Form *form)
{
    auto &s = reg().stacking;
    s.erase(std::remove(s.begin(), s.end(), form), s.end());
}

/// Deletes a screen once the event loop that unloaded it is reached again, so that a screen
/// can unload itself inside its own handler.
class FormReaper : public QObject
{
public:
    explicit FormReaper(Form *form) : m_form(form) {}
    ~FormReaper() override { delete m_form; }

private:
    Form *m_form;
};

} // namespace

/// The window of a screen: paints the screen's colour and hands the pointer's movement over
/// the bare surface to the screen.
class FormWindow : public QWidget
{
public:
    explicit FormWindow(Form *form) : m_form(form)
    {
        setMouseTracking(true);
        setAttribute(Qt::WA_DeleteOnClose, false);
    }
    bool backdrop = false;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), m_form->backColor());
    }
    void mouseMoveEvent(QMouseEvent *event) override
    {
        event->accept();
        int buttons = 0;
        if (event->buttons() & Qt::LeftButton)
            buttons |= vbLeftButton;
        if (event->buttons() & Qt::RightButton)
            buttons |= vbRightButton;
        const float x = float(twips::fromPixels(event->position().x()));
        const float y = float(twips::fromPixels(event->position().y()));
        guard([&] { m_form->Form_MouseMove(buttons, 0, x, y); });
    }
    void mousePressEvent(QMouseEvent *event) override
    {
        event->accept();
        // A click on the backdrop must not bury the screens in front of it.
        if (backdrop) {
            for (Form *f : reg().stacking)
                if (f != m_form && f->visible())
                    f->host()->raise();
        }
        int button = 0;
        if (event->button() == Qt::LeftButton)
            button = vbLeftButton;
        else if (event->button() == Qt::RightButton)
            button = vbRightButton;
        const float x = float(twips::fromPixels(event->position().x()));
        const float y = float(twips::fromPixels(event->position().y()));
        guard([&] { m_form->Form_MouseDown(button, 0, x, y); });
    }
    bool focusNextPrevChild(bool next) override
    {
        bool used = false;
        guard([&] { used = m_form->keyboard().tab(next); });
        return used || QWidget::focusNextPrevChild(next);
    }
    void keyPressEvent(QKeyEvent *event) override
    {
        // Keys the focused control left: the arrows of a group, then the screen's own keys.
        bool used = false;
        guard([&] {
            used = m_form->keyboard().key(event) ||
                   m_form->Form_KeyDown(keyboard::keyCodeOf(*event), keyboard::shiftOf(*event));
        });
        if (used)
            event->accept();
        else
            QWidget::keyPressEvent(event);
    }
    void closeEvent(QCloseEvent *event) override
    {
        // Closing a window through the window manager unloads that screen; when only the
        // backdrop would be left, the program ends rather than leave the pupil stranded.
        event->ignore();
        guard([this] {
            for (auto &[key, slot] : reg().slots) {
                if (slot == m_form) {
                    registry::unload(slot);
                    break;
                }
            }
            const auto remaining = registry::loaded();
            const bool anyScreen = std::any_of(remaining.begin(), remaining.end(), [](Form *f) {
                return f->visible() && !static_cast<FormWindow *>(f->host())->backdrop;
            });
            if (!anyScreen)
                endProgram();
        });
    }

private:
    Form *m_form;
};

Form::Form(const QString &name) : m_name(name), m_window(new FormWindow(this))
{
    m_window->setObjectName(name);
    m_window->setWindowTitle(QStringLiteral(" "));
    m_window->setProperty("habitaraForm", QVariant::fromValue<void *>(this));
    keyboard::watch();
    readaloud::follow();
    m_backColor = QColor(192, 192, 192);
}

Form::~Form()
{
    forget(this);
    delete m_window;
}

void Form::move(float left, float top)
{
    m_left = left;
    m_top = top;
    applyGeometry();
}

void Form::applyGeometry()
{
    if (m_maximised)
        return;
    const QRect r = twips::toPixels(m_left, m_top, m_width, m_height);
    m_window->setFixedSize(r.size());
    m_window->move(r.topLeft());
}

QString Form::caption() const
{
    return m_window->windowTitle();
}

void Form::setCaption(const QString &caption)
{
    m_window->setWindowTitle(caption);
}

void Form::setBackColor(const QColor &color)
{
    m_backColor = color;
    m_window->update();
}

void Form::setBorderless(bool borderless)
{
    static_cast<FormWindow *>(m_window)->backdrop = borderless;
    m_window->setWindowFlag(Qt::FramelessWindowHint, borderless);
}

void Form::setMaximised(bool maximised)
{
    m_maximised = maximised;
    if (maximised) {
        const QSizeF display = twips::displaySize();
        m_left = 0;
        m_top = 0;
        m_width = float(display.width());
        m_height = float(display.height());
        const QRect r = twips::toPixels(0, 0, m_width, m_height);
        m_window->setMinimumSize(0, 0);
        m_window->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        m_window->setGeometry(r);
    } else {
        applyGeometry();
    }
}

void Form::show()
{
    if (m_maximised)
        m_window->showMaximized();
    else
        m_window->show();
    // The headless platform of the tests keeps no stacking order.
    if (QGuiApplication::platformName() != QLatin1String("offscreen"))
        m_window->raise();
    m_window->activateWindow();
    forget(this);
    reg().stacking.push_back(this);
    m_keyboard.settleFocus();
}

void Form::hide()
{
    m_window->hide();
}

bool Form::visible() const
{
    return m_window->isVisible();
}

Control &Form::control(const QString &name) const
{
    Control *c = findControl(name);
    if (!c)
        throw ProgramError(QStringLiteral("Screen %1 has no control %2").arg(m_name, name));
    return *c;
}

Control *Form::findControl(const QString &name) const
{
    auto it = m_controls.find(name);
    return it == m_controls.end() ? nullptr : it->second;
}

void Form::registerControl(Control *control)
{
    m_controls[control->name()] = control;
}

void Form::unregisterControl(Control *control)
{
    auto it = m_controls.find(control->name());
    if (it != m_controls.end() && it->second == control)
        m_controls.erase(it);
}

void Form::load()
{
    Form_Load();
}

namespace registry {

Form *&slot(const void *key)
{
    return reg().slots[key];
}

void created(Form *&slot, Form *form)
{
    slot = form;
    form->load();
}

void unload(Form *&slot)
{
    Form *form = slot;
    if (!form)
        return;
    slot = nullptr;
    forget(form);
    const bool active = form->host()->isActiveWindow();
    form->hide();
    // The keyboard goes back to the screen now in front, as the pointer would.
    if (active) {
        for (auto it = reg().stacking.rbegin(); it != reg().stacking.rend(); ++it) {
            if ((*it)->visible()) {
                (*it)->host()->activateWindow();
                (*it)->keyboard().settleFocus();
                break;
            }
        }
    }
    // An unloaded screen's timers tick no more, even before the screen is deleted.
    const auto timers = form->host()->findChildren<QTimer *>();
    for (QTimer *timer : timers)
        timer->stop();
    (new FormReaper(form))->deleteLater();
}

void unloadAll()
{
    for (auto &[key, slot] : reg().slots)
        unload(slot);
}

std::vector<Form *> loaded()
{
    std::vector<Form *> result;
    for (const auto &[key, slot] : reg().slots)
        if (slot)
            result.push_back(slot);
    return result;
}

Form *front()
{
    const auto &s = reg().stacking;
    auto it = std::find_if(s.rbegin(), s.rend(), [](Form *f) { return f->visible(); });
    return it == s.rend() ? nullptr : *it;
}

} // namespace registry
