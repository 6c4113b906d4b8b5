// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QString>

#include <map>
#include <vector>

#include "platform/controls.h"
#include "platform/keyboard.h"

class QWidget;

/// Base of every screen: a fixed-size top-level window measured in twips. Screens are reached
/// only through screen<T>(), which creates and loads a screen on its first touch.
class Form : public Container, public Placed
{
public:
    explicit Form(const QString &name);
    virtual ~Form();
    Form(const Form &) = delete;
    Form &operator=(const Form &) = delete;

    virtual void Form_Load() {}
    /// Pointer movement over the screen's bare surface (x, y in twips).
    virtual void Form_MouseMove(int /*button*/, int /*shift*/, float /*x*/, float /*y*/) {}
    /// A press on the screen's bare surface (x, y in twips).
    virtual void Form_MouseDown(int /*button*/, int /*shift*/, float /*x*/, float /*y*/) {}
    /// A key that no control of the screen used (Escape, the page keys); whether it was used.
    virtual bool Form_KeyDown(int /*KeyCode*/, int /*Shift*/) { return false; }

    QString name() const { return m_name; }
    QWidget *host() const override { return m_window; }
    Form &form() const override { return const_cast<Form &>(*this); }

    void move(float left, float top);
    /// The client area: the whole window, since the frame belongs to the window manager.
    float scaleWidth() const { return m_width; }
    float scaleHeight() const { return m_height; }

    QString caption() const;
    void setCaption(const QString &caption);
    QColor backColor() const { return m_backColor; }
    void setBackColor(const QColor &color);
    /// Fills the display without a frame (the backdrop).
    void setBorderless(bool borderless);
    void setMaximised(bool maximised);

    void show();
    void hide();
    bool visible() const;

    /// The Tab order, in reading order (see KeyboardPath), and the sets walked with the arrows.
    void setTabOrder(std::vector<TabStop> stops) { m_keyboard.setTabOrder(std::move(stops)); }
    void setArrowWalk(std::vector<Control *> controls)
    {
        m_keyboard.setArrowWalk(std::move(controls));
    }
    KeyboardPath &keyboard() { return m_keyboard; }

    /// The control of this screen with the given name; throws when there is none.
    Control &control(const QString &name) const;
    Control *findControl(const QString &name) const;

    // Used by the registry and the controls.
    void load();
    void registerControl(Control *control);
    void unregisterControl(Control *control);

private:
    void applyGeometry() final;

    QString m_name;
    QWidget *m_window;
    QColor m_backColor;
    bool m_maximised = false;
    std::map<QString, Control *> m_controls;
    KeyboardPath m_keyboard{*this};
};

namespace registry {
Form *&slot(const void *key);
void created(Form *&slot, Form *form);
void unload(Form *&slot);
/// Unloads every screen (the end of the program, or a test starting afresh).
void unloadAll();
std::vector<Form *> loaded();
/// The screen in front: of the screens showing, the one last brought forward.
Form *front();
} // namespace registry

template <class T> inline const char screenKey = 0;

/// The one instance of screen T, created and loaded on its first touch.
template <class T> T &screen()
{
    Form *&s = registry::slot(&screenKey<T>);
    if (!s)
        registry::created(s, new T);
    return static_cast<T &>(*s);
}

template <class T> bool isLoaded()
{
    return registry::slot(&screenKey<T>) != nullptr;
}

/// Hides screen T and forgets it; the next touch makes a fresh one. Safe inside T's handlers.
template <class T> void unload()
{
    registry::unload(registry::slot(&screenKey<T>));
}
