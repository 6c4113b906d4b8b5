// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>

#include <vector>

class Control;
class Form;
class OptionButton;
class QKeyEvent;
class QWidget;

/// One stop of a screen's Tab order: a control, or a group of option buttons that is one stop
/// and whose choice the arrow keys move. A group may have a choice that is never seen ("none
/// chosen"): it is no stop of its own, and while it holds the focus the whole group is marked.
struct TabStop
{
    TabStop(Control &control) : controls{&control} {}
    TabStop(std::vector<OptionButton *> choices, OptionButton *none = nullptr);
    std::vector<Control *> controls;
    OptionButton *none = nullptr;
    bool isGroup() const { return controls.size() > 1 || none; }
};

/// How the keyboard moves round one screen: the Tab order is the reading order, declared once
/// by the screen; hidden and disabled controls are passed over. Sets of captions (menu entries,
/// title slots) can also be walked with the arrow keys.
class KeyboardPath
{
public:
    explicit KeyboardPath(Form &form) : m_form(form) {}
    void setTabOrder(std::vector<TabStop> stops);
    /// Up and Down step through the controls in this order, Left and Right to the nearest one
    /// that way.
    void setArrowWalk(std::vector<Control *> controls);

    /// Tab (next) or Shift+Tab: moves the focus to the next stop that can take it.
    bool tab(bool next);
    /// The arrow keys, Space and Enter on a choice group or a walked set; whether used.
    bool key(QKeyEvent *event);
    /// Makes sure the focus rests on a control of the screen that can take it, the first stop
    /// when it rests nowhere sensible.
    void settleFocus();
    /// Where the focus mark of the widget goes, in the window's coordinates.
    QRect markedArea(QWidget *focused) const;

private:
    int stopOf(QWidget *widget) const;
    bool usable(int stop) const;
    void enter(int stop, bool forwards);
    void choose(const TabStop &group, int step);

    Form &m_form;
    std::vector<TabStop> m_stops;
    std::vector<Control *> m_walk;
};

namespace keyboard {

/// Whether the keyboard has moved the focus (Tab, Shift+Tab, an arrow key) since the last
/// mouse press: focus marks show only then, so a mouse pupil sees the screens as designed.
bool inUse();
void setInUse(bool inUse);
/// Starts watching the keyboard and the mouse; the first screen does this.
void watch();
/// Gives the keyboard back to a screen's window (after a message box), its focus on a control
/// that can take it.
void returnTo(QWidget *window);

/// The program's key code for a key event (0 for keys no handler is told about).
int keyCodeOf(const QKeyEvent &event);
/// 1 Shift, 2 Ctrl, 4 Alt; Shift+Tab counts as shifted.
int shiftOf(const QKeyEvent &event);

} // namespace keyboard
