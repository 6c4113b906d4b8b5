// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/picture.h"

#include <QColor>
#include <QFont>
#include <QPointer>
#include <QWidget>
#include <QString>

#include <functional>

class Form;

/// Mouse buttons and shift states as event handlers receive them.
enum MouseButton { vbLeftButton = 1, vbRightButton = 2, vbMiddleButton = 4 };
/// The keys a control's key handler is told about; other keys arrive as 0.
enum KeyCode {
    vbKeyTab = 9,
    vbKeyReturn = 13,
    vbKeyEscape = 27,
    vbKeySpace = 32,
    vbKeyPageUp = 33,
    vbKeyPageDown = 34,
    vbKeyEnd = 35,
    vbKeyHome = 36,
    vbKeyLeft = 37,
    vbKeyUp = 38,
    vbKeyRight = 39,
    vbKeyDown = 40
};

/// What a control can sit on: a screen or a frame.
class Container
{
public:
    virtual ~Container() = default;
    virtual QWidget *host() const = 0;
    virtual Form &form() const = 0;
};

/// A box placed in twips, exactly as set: a control on its container, or a screen on the desktop.
/// Changing an edge places it again.
class Placed
{
public:
    virtual ~Placed() = default;
    float left() const { return m_left; }
    float top() const { return m_top; }
    float width() const { return m_width; }
    float height() const { return m_height; }
    void setLeft(float left);
    void setTop(float top);
    void setWidth(float width);
    void setHeight(float height);

protected:
    /// Puts the box where its edges now say.
    virtual void applyGeometry() = 0;
    float m_left = 0, m_top = 0, m_width = 0, m_height = 0;
};

/// Base of the controls: a widget whose position and size are kept in twips exactly as set,
/// relative to its container, and whose events reach the screen through the error guard.
class Control : public Placed
{
public:
    Control(const Control &) = delete;
    Control &operator=(const Control &) = delete;
    virtual ~Control();

    QString name() const { return m_name; }
    Form &form() const { return *m_form; }
    /// The widget on the screen (tests find controls by its object name, such as "Label3_2").
    QWidget *widget() const { return m_widget; }

    void move(float left, float top, float width, float height);

    /// Whether the control is meant to show (true on a screen not yet shown, as designed).
    bool visible() const;
    void setVisible(bool visible);
    bool enabled() const;
    void setEnabled(bool enabled);
    /// Gives the control the keyboard focus, now or when its screen is next shown.
    void setFocus();
    bool hasFocus() const;
    /// Whether the control shows the focus mark now: it has the focus and the keyboard is in use.
    bool showsFocusMark() const;
    /// Puts the control in front of the controls it overlaps.
    void bringToFront();
    /// Puts the control behind every other control of its container.
    void sendToBack();

    QColor foreColor() const { return m_foreColor; }
    QColor backColor() const { return m_backColor; }
    void setForeColor(const QColor &color);
    void setBackColor(const QColor &color);
    /// Sets the font by face, size in points and weight.
    void setFont(const QString &face, double points, bool bold = false);
    QString fontName() const { return m_fontName; }
    double fontSize() const { return m_fontSize; }
    bool fontBold() const { return m_fontBold; }
    QFont font() const;

    std::function<void()> onClick;
    std::function<void(int button, int shift, float x, float y)> onMouseDown;
    std::function<void(int button, int shift, float x, float y)> onMouseMove;
    std::function<void(int button, int shift, float x, float y)> onMouseUp;
    /// A key pressed while the control has the focus (shift: 1 Shift, 2 Ctrl, 4 Alt); the
    /// handler answers whether it used the key. Tab reaches it before it moves the focus.
    std::function<bool(int keyCode, int shift)> onKeyDown;

    // Called by the widgets.
    void fireClick();
    void fireMouse(bool up, int button, int shift, float xPixels, float yPixels);
    void fireMouseDown(int button, int shift, float xPixels, float yPixels);

protected:
    /// Creates the control on its container; the widget becomes the control's to delete.
    Control(Container &container, const QString &name, QWidget *widget);
    void applyGeometry() final;
    virtual void fontChanged() {}

private:
    Form *m_form;
    QString m_name;
    QPointer<QWidget> m_widget;
    QColor m_foreColor{0, 0, 0};
    QColor m_backColor{255, 255, 255};
    QString m_fontName = QStringLiteral("MS Sans Serif");
    double m_fontSize = 8.25;
    bool m_fontBold = false;
};

enum class Alignment { Left, Right, Center };

/// A caption: opaque or transparent, optionally framed by a single line, word-wrapped.
class Label : public Control
{
public:
    Label(Container &container, const QString &name);
    QString caption() const { return m_caption; }
    void setCaption(const QString &caption);
    bool opaque() const { return m_opaque; }
    void setOpaque(bool opaque);
    bool border() const { return m_border; }
    void setBorder(bool border);
    Alignment alignment() const { return m_alignment; }
    void setAlignment(Alignment alignment);
    bool wordWrap() const { return m_wordWrap; }
    void setWordWrap(bool wordWrap);
    /// Draws a caption too wide for the label on one line in a smaller font, rather than
    /// wrapping it and cutting off what does not fit; the font the label is given stays.
    void setShrinkToFit(bool shrink);
    bool shrinkToFit() const { return m_shrinkToFit; }

private:
    friend class LabelWidget;
    QString m_caption;
    bool m_opaque = true;
    bool m_border = false;
    Alignment m_alignment = Alignment::Left;
    bool m_wordWrap = true;
    bool m_shrinkToFit = false;
};

/// A round choice button; the option buttons of one container exclude each other. A click
/// anywhere on it selects it; only a pupil's click fires onClick.
class OptionButton : public Control
{
public:
    OptionButton(Container &container, const QString &name);
    QString caption() const { return m_caption; }
    void setCaption(const QString &caption);
    bool value() const { return m_value; }
    /// Selects (clearing the others of the container) or clears the button; fires nothing.
    void setValue(bool value);
    void userSelect();

private:
    friend class OptionWidget;
    QString m_caption;
    bool m_value = false;
};

/// A square tick box: 0 unticked, 1 ticked.
class CheckBox : public Control
{
public:
    CheckBox(Container &container, const QString &name);
    QString caption() const { return m_caption; }
    void setCaption(const QString &caption);
    int value() const { return m_value; }
    void setValue(int value);

private:
    friend class CheckWidget;
    QString m_caption;
    int m_value = 0;
};

/// A single-line text entry with an optional length limit.
class TextBox : public Control
{
public:
    TextBox(Container &container, const QString &name);
    QString text() const;
    void setText(const QString &text);
    int maxLength() const { return m_maxLength; }
    /// 0 means no limit.
    void setMaxLength(int length);
    std::function<void()> onEnter;
    std::function<void()> onChange;

protected:
    void fontChanged() override;

private:
    int m_maxLength = 0;
};

/// A plain raised button with a caption.
class CommandButton : public Control
{
public:
    CommandButton(Container &container, const QString &name);
    QString caption() const { return m_caption; }
    void setCaption(const QString &caption);

private:
    friend class ButtonWidget;
    QString m_caption;
};

/// A container for other controls, with an optional caption.
class Frame : public Control, public Container
{
public:
    Frame(Container &container, const QString &name);
    QWidget *host() const override { return widget(); }
    Form &form() const override { return Control::form(); }
    QString caption() const { return m_caption; }
    void setCaption(const QString &caption);

private:
    friend class FrameWidget;
    QString m_caption;
};

/// Shows a picture unscaled from its top-left corner and takes the picture's size, unless it
/// stretches the picture to its own size.
class Image : public Control
{
public:
    Image(Container &container, const QString &name);
    const Picture &picture() const { return m_picture; }
    void setPicture(const Picture &picture);
    bool stretch() const { return m_stretch; }
    void setStretch(bool stretch);

private:
    friend class PictureWidget;
    Picture m_picture;
    bool m_stretch = false;
};

/// A box with a background colour that shows a picture unscaled from its top-left corner; a
/// picture larger than the box is scaled down, keeping its shape, to fit.
class PictureBox : public Control
{
public:
    PictureBox(Container &container, const QString &name);
    const Picture &picture() const { return m_picture; }
    void setPicture(const Picture &picture);
    bool border() const { return m_border; }
    void setBorder(bool border);

private:
    friend class PictureWidget;
    Picture m_picture;
    bool m_border = false;
};

/// A straight line between two points of its container.
class Line : public Control
{
public:
    Line(Container &container, const QString &name);
    void setPoints(float x1, float y1, float x2, float y2);
    float x1() const { return m_x1; }
    float y1() const { return m_y1; }
    float x2() const { return m_x2; }
    float y2() const { return m_y2; }
    int borderWidth() const { return m_borderWidth; }
    void setBorderWidth(int width);

private:
    friend class LineWidget;
    float m_x1 = 0, m_y1 = 0, m_x2 = 0, m_y2 = 0;
    int m_borderWidth = 1;
};
