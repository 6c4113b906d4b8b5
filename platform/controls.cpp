// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/controls.h"

#include "platform/access.h"
#include "platform/fonts.h"
#include "platform/form.h"
#include "platform/guard.h"
#include "platform/keyboard.h"
#include "platform/twips.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QWidget>

namespace {

int buttonOf(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton:
        return vbLeftButton;
    case Qt::RightButton:
        return vbRightButton;
    case Qt::MiddleButton:
        return vbMiddleButton;
    default:
        return 0;
    }
}

int buttonsOf(Qt::MouseButtons buttons)
{
    int result = 0;
    if (buttons & Qt::LeftButton)
        result |= vbLeftButton;
    if (buttons & Qt::RightButton)
        result |= vbRightButton;
    if (buttons & Qt::MiddleButton)
        result |= vbMiddleButton;
    return result;
}

int shiftOf(Qt::KeyboardModifiers modifiers)
{
    int result = 0;
    if (modifiers & Qt::ShiftModifier)
        result |= 1;
    if (modifiers & Qt::ControlModifier)
        result |= 2;
    if (modifiers & Qt::AltModifier)
        result |= 4;
    return result;
}

const QColor disabledText(128, 128, 128);
const QColor disabledShadow(255, 255, 255);

void drawBevel(QPainter &p, const QRect &r, bool sunken)
{
    const QColor light = sunken ? QColor(128, 128, 128) : QColor(255, 255, 255);
    const QColor dark = sunken ? QColor(255, 255, 255) : QColor(64, 64, 64);
    p.setPen(light);
    p.drawLine(r.topLeft(), r.topRight());
    p.drawLine(r.topLeft(), r.bottomLeft());
    p.setPen(dark);
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomRight());
}

} // namespace

/// The widget behind a control: it hands mouse and key events to the control, which runs the
/// screen's handlers through the error guard. Pointer movement is tracked without a button.
class ControlWidget : public QWidget
{
public:
    ControlWidget(Control *control) : m_control(control) { setMouseTracking(true); }

protected:
    bool event(QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress && m_control->onKeyDown) {
            auto *key = static_cast<QKeyEvent *>(event);
            bool used = false;
            QPointer<QWidget> alive(this);
            guard([&] {
                used = m_control->onKeyDown(keyboard::keyCodeOf(*key), keyboard::shiftOf(*key));
            });
            if (used || !alive) {
                event->accept();
                return true;
            }
        }
        return QWidget::event(event);
    }
    void keyPressEvent(QKeyEvent *event) override
    {
        // Space and Enter press whatever a click would press.
        const int code = keyboard::keyCodeOf(*event);
        if ((code == vbKeySpace || code == vbKeyReturn) && pressable() && isEnabled() &&
            event->modifiers() == Qt::NoModifier) {
            event->accept();
            clicked();
            return;
        }
        QWidget::keyPressEvent(event);
    }
    void mousePressEvent(QMouseEvent *event) override
    {
        event->accept();
        m_pressed = event->button() == Qt::LeftButton;
        m_control->fireMouseDown(buttonOf(event->button()), shiftOf(event->modifiers()),
                                 event->position().x(), event->position().y());
    }
    void mouseMoveEvent(QMouseEvent *event) override
    {
        event->accept();
        m_control->fireMouse(false, buttonsOf(event->buttons()), shiftOf(event->modifiers()),
                             event->position().x(), event->position().y());
    }
    void mouseReleaseEvent(QMouseEvent *event) override
    {
        event->accept();
        QPointer<QWidget> alive(this);
        const bool click = m_pressed && event->button() == Qt::LeftButton &&
                           rect().contains(event->position().toPoint());
        m_pressed = false;
        m_control->fireMouse(true, buttonOf(event->button()), shiftOf(event->modifiers()),
                             event->position().x(), event->position().y());
        if (click && alive && isEnabled())
            clicked();
    }
    virtual void clicked() { m_control->fireClick(); }
    /// Whether a click does anything, so that Space and Enter may stand for one.
    virtual bool pressable() const { return bool(m_control->onClick); }

    Control *m_control;
    bool m_pressed = false;
};

class LabelWidget : public ControlWidget
{
public:
    LabelWidget(Label *label) : ControlWidget(label), m_label(label) {}

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        if (m_label->m_opaque)
            p.fillRect(rect(), m_label->backColor());
        int flags = Qt::AlignTop | (m_label->m_wordWrap ? Qt::TextWordWrap : 0);
        switch (m_label->m_alignment) {
        case Alignment::Left:
            flags |= Qt::AlignLeft;
            break;
        case Alignment::Right:
            flags |= Qt::AlignRight;
            break;
        case Alignment::Center:
            flags |= Qt::AlignHCenter;
            break;
        }
        p.setFont(font());
        QRect text = rect();
        if (m_label->m_border)
            text.adjust(2, 1, -2, -1);
        if (m_label->m_shrinkToFit) {
            QFont smaller = font();
            while (smaller.pixelSize() > 6 &&
                   QFontMetrics(smaller).horizontalAdvance(m_label->m_caption) > text.width())
                smaller.setPixelSize(smaller.pixelSize() - 1);
            if (smaller.pixelSize() != font().pixelSize()) {
                p.setFont(smaller);
                flags &= ~Qt::TextWordWrap;
            }
        }
        // A caption that does not wrap is cut short with an ellipsis rather than clipped.
        const QString caption =
            m_label->m_wordWrap
                ? m_label->m_caption
                : p.fontMetrics().elidedText(m_label->m_caption, Qt::ElideRight, text.width());
        if (isEnabled()) {
            p.setPen(m_label->foreColor());
            p.drawText(text, flags, caption);
        } else {
            p.setPen(disabledShadow);
            p.drawText(text.translated(1, 1), flags, caption);
            p.setPen(disabledText);
            p.drawText(text, flags, caption);
        }
        if (m_label->m_border) {
            p.setPen(QColor(0, 0, 0));
            p.drawRect(rect().adjusted(0, 0, -1, -1));
        }
    }

private:
    Label *m_label;
};

class OptionWidget : public ControlWidget
{
public:
    OptionWidget(OptionButton *option) : ControlWidget(option), m_option(option)
    {
        setFocusPolicy(Qt::StrongFocus);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), m_option->backColor());
        p.setRenderHint(QPainter::Antialiasing);
        const int d = 12;
        const QRectF circle(1.5, (height() - d) / 2.0 + 0.5, d, d);
        p.setPen(QPen(QColor(64, 64, 64), 1));
        p.setBrush(isEnabled() ? QColor(255, 255, 255) : QColor(192, 192, 192));
        p.drawEllipse(circle);
        if (m_option->m_value) {
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(0, 0, 0));
            p.drawEllipse(circle.center(), 2.5, 2.5);
        }
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setFont(font());
        p.setPen(isEnabled() ? m_option->foreColor() : disabledText);
        const QRect text = rect().adjusted(d + 6, 0, 0, 0);
        p.drawText(text, Qt::AlignLeft | Qt::AlignVCenter, m_option->m_caption);
    }
    void clicked() override { m_option->userSelect(); }
    bool pressable() const override { return true; }

private:
    OptionButton *m_option;
};

class CheckWidget : public ControlWidget
{
public:
    CheckWidget(CheckBox *check) : ControlWidget(check), m_check(check)
    {
        setFocusPolicy(Qt::StrongFocus);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), m_check->backColor());
        const int d = 12;
        const QRect box(1, (height() - d) / 2, d, d);
        p.fillRect(box, isEnabled() ? QColor(255, 255, 255) : QColor(192, 192, 192));
        drawBevel(p, box, true);
        if (m_check->m_value == 1) {
            p.setRenderHint(QPainter::Antialiasing);
            p.setPen(QPen(QColor(0, 0, 0), 2));
            const QPointF a(box.left() + 2.5, box.top() + 6), b(box.left() + 5, box.top() + 9),
                c(box.left() + 10, box.top() + 3);
            p.drawLine(a, b);
            p.drawLine(b, c);
            p.setRenderHint(QPainter::Antialiasing, false);
        }
        p.setFont(font());
        p.setPen(isEnabled() ? m_check->foreColor() : disabledText);
        p.drawText(rect().adjusted(d + 6, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                   m_check->m_caption);
    }
    bool pressable() const override { return true; }
    void clicked() override
    {
        m_check->setValue(m_check->value() == 1 ? 0 : 1);
        m_check->fireClick();
    }

private:
    CheckBox *m_check;
};

class ButtonWidget : public ControlWidget
{
public:
    ButtonWidget(CommandButton *button) : ControlWidget(button), m_button(button)
    {
        setFocusPolicy(Qt::StrongFocus);
    }

protected:
    void mousePressEvent(QMouseEvent *event) override
    {
        ControlWidget::mousePressEvent(event);
        update();
    }
    void mouseReleaseEvent(QMouseEvent *event) override
    {
        QPointer<QWidget> alive(this);
        ControlWidget::mouseReleaseEvent(event);
        if (alive)
            update();
    }
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), m_button->backColor());
        const QRect r = rect().adjusted(0, 0, -1, -1);
        drawBevel(p, r, m_pressed);
        drawBevel(p, r.adjusted(1, 1, -1, -1), m_pressed);
        p.setFont(font());
        p.setPen(isEnabled() ? m_button->foreColor() : disabledText);
        const QRect text = m_pressed ? rect().translated(1, 1) : rect();
        p.drawText(text, Qt::AlignCenter, m_button->m_caption);
    }
    bool pressable() const override { return true; }

private:
    CommandButton *m_button;
};

class FrameWidget : public ControlWidget
{
public:
    FrameWidget(Frame *frame) : ControlWidget(frame), m_frame(frame) {}

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), m_frame->backColor());
        p.setFont(font());
        const int captionHeight = m_frame->m_caption.isEmpty() ? 0 : fontMetrics().height();
        const QRect r = rect().adjusted(0, captionHeight / 2, -2, -2);
        p.setPen(QColor(128, 128, 128));
        p.drawRect(r);
        p.setPen(QColor(255, 255, 255));
        p.drawRect(r.translated(1, 1));
        if (captionHeight) {
            const int w = fontMetrics().horizontalAdvance(m_frame->m_caption) + 4;
            p.fillRect(QRect(6, 0, w, captionHeight), m_frame->backColor());
            p.setPen(m_frame->foreColor());
            p.drawText(QRect(8, 0, w, captionHeight), Qt::AlignLeft | Qt::AlignTop,
                       m_frame->m_caption);
        }
    }

private:
    Frame *m_frame;
};

class PictureWidget : public ControlWidget
{
public:
    PictureWidget(Control *control, const Picture *picture, bool fill)
        : ControlWidget(control), m_picture(picture), m_fill(fill)
    {
    }
    bool stretch = false;
    bool border = false;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        if (m_fill)
            p.fillRect(rect(), m_control->backColor());
        if (!m_picture->isNull()) {
            p.setRenderHint(QPainter::SmoothPixmapTransform);
            p.setRenderHint(QPainter::Antialiasing);
            p.setRenderHint(QPainter::TextAntialiasing);
            QSizeF natural = m_picture->sizeTwips() / twips::perPixel;
            // A picture box shows a picture larger than itself whole, scaled down to fit.
            if (m_fill && (natural.width() > width() || natural.height() > height()))
                natural.scale(QSizeF(size()), Qt::KeepAspectRatio);
            const QRectF target = stretch ? QRectF(rect()) : QRectF(QPointF(0, 0), natural);
            m_picture->draw(p, target);
        }
        if (border)
            drawBevel(p, rect().adjusted(0, 0, -1, -1), true);
    }

private:
    const Picture *m_picture;
    bool m_fill;
};

class LineWidget : public QWidget
{
public:
    LineWidget(Line *line) : m_line(line) { setAttribute(Qt::WA_TransparentForMouseEvents); }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.setPen(QPen(m_line->foreColor(), m_line->borderWidth()));
        const QPoint origin = pos();
        p.drawLine(QPoint(twips::toPixels(m_line->x1()), twips::toPixels(m_line->y1())) - origin,
                   QPoint(twips::toPixels(m_line->x2()), twips::toPixels(m_line->y2())) - origin);
    }

private:
    Line *m_line;
};

class TextWidget : public QLineEdit
{
public:
    TextWidget() { setMouseTracking(true); }
};

// Control

Control::Control(Container &container, const QString &name, QWidget *widget)
    : m_form(&container.form()), m_name(name), m_widget(widget)
{
    accessible::attach(widget, this);
    widget->setParent(container.host());
    widget->setObjectName(name);
    widget->setFont(font());
    widget->show();
    m_form->registerControl(this);
}

Control::~Control()
{
    m_form->unregisterControl(this);
    delete m_widget.data();
}

void Placed::setLeft(float left)
{
    m_left = left;
    applyGeometry();
}

void Placed::setTop(float top)
{
    m_top = top;
    applyGeometry();
}

void Placed::setWidth(float width)
{
    m_width = width;
    applyGeometry();
}

void Placed::setHeight(float height)
{
    m_height = height;
    applyGeometry();
}

void Control::move(float left, float top, float width, float height)
{
    m_left = left;
    m_top = top;
    m_width = width;
    m_height = height;
    applyGeometry();
}

void Control::applyGeometry()
{
    if (m_widget)
        m_widget->setGeometry(twips::toPixels(m_left, m_top, m_width, m_height));
}

bool Control::visible() const
{
    return m_widget && !m_widget->isHidden();
}

void Control::setVisible(bool visible)
{
    if (m_widget)
        m_widget->setVisible(visible);
}

bool Control::enabled() const
{
    return m_widget && m_widget->isEnabled();
}

void Control::setEnabled(bool enabled)
{
    if (m_widget) {
        m_widget->setEnabled(enabled);
        m_widget->update();
    }
}

void Control::setFocus()
{
    if (m_widget)
        m_widget->setFocus(Qt::OtherFocusReason);
}

void Control::bringToFront()
{
    if (m_widget)
        m_widget->raise();
}

void Control::sendToBack()
{
    if (m_widget)
        m_widget->lower();
}

bool Control::hasFocus() const
{
    return m_widget && m_widget->hasFocus();
}

bool Control::showsFocusMark() const
{
    return keyboard::inUse() && hasFocus();
}

void Control::setForeColor(const QColor &color)
{
    m_foreColor = color;
    if (m_widget)
        m_widget->update();
}

void Control::setBackColor(const QColor &color)
{
    m_backColor = color;
    if (m_widget)
        m_widget->update();
}

void Control::setFont(const QString &face, double points, bool bold)
{
    m_fontName = face;
    m_fontSize = points;
    m_fontBold = bold;
    if (m_widget) {
        m_widget->setFont(font());
        m_widget->update();
    }
    fontChanged();
}

QFont Control::font() const
{
    return screenFont(m_fontName, m_fontSize, m_fontBold);
}

void Control::fireClick()
{
    if (onClick)
        guard(onClick);
}

void Control::fireMouseDown(int button, int shift, float xPixels, float yPixels)
{
    if (!onMouseDown)
        return;
    const float x = float(twips::fromPixels(xPixels));
    const float y = float(twips::fromPixels(yPixels));
    guard([&] { onMouseDown(button, shift, x, y); });
}

void Control::fireMouse(bool up, int button, int shift, float xPixels, float yPixels)
{
    const auto &handler = up ? onMouseUp : onMouseMove;
    if (!handler)
        return;
    const float x = float(twips::fromPixels(xPixels));
    const float y = float(twips::fromPixels(yPixels));
    guard([&] { handler(button, shift, x, y); });
}

// Label

Label::Label(Container &container, const QString &name)
    : Control(container, name, new LabelWidget(this))
{
}

void Label::setCaption(const QString &caption)
{
    m_caption = caption;
    widget()->update();
    accessible::captionChanged(widget());
}

void Label::setOpaque(bool opaque)
{
    if (m_opaque == opaque)
        return;
    m_opaque = opaque;
    widget()->update();
}

void Label::setBorder(bool border)
{
    m_border = border;
    widget()->update();
}

void Label::setAlignment(Alignment alignment)
{
    m_alignment = alignment;
    widget()->update();
}

void Label::setWordWrap(bool wordWrap)
{
    m_wordWrap = wordWrap;
    widget()->update();
}

void Label::setShrinkToFit(bool shrink)
{
    m_shrinkToFit = shrink;
    widget()->update();
}

// OptionButton

OptionButton::OptionButton(Container &container, const QString &name)
    : Control(container, name, new OptionWidget(this))
{
}

void OptionButton::setCaption(const QString &caption)
{
    m_caption = caption;
    widget()->update();
    accessible::captionChanged(widget());
}

void OptionButton::setValue(bool value)
{
    if (value) {
        const auto siblings = widget()->parentWidget()->children();
        for (QObject *child : siblings) {
            if (auto *other = dynamic_cast<OptionWidget *>(child); other && other != widget()) {
                auto *button = static_cast<OptionButton *>(form().findControl(other->objectName()));
                if (button && button->m_value) {
                    button->m_value = false;
                    other->update();
                    accessible::checkedChanged(other);
                }
            }
        }
    }
    const bool changed = m_value != value;
    m_value = value;
    widget()->update();
    if (changed)
        accessible::checkedChanged(widget());
}

void OptionButton::userSelect()
{
    if (m_value)
        return;
    setValue(true);
    fireClick();
}

// CheckBox

CheckBox::CheckBox(Container &container, const QString &name)
    : Control(container, name, new CheckWidget(this))
{
}

void CheckBox::setCaption(const QString &caption)
{
    m_caption = caption;
    widget()->update();
    accessible::captionChanged(widget());
}

void CheckBox::setValue(int value)
{
    const bool changed = m_value != value;
    m_value = value;
    widget()->update();
    if (changed)
        accessible::checkedChanged(widget());
}

// TextBox

TextBox::TextBox(Container &container, const QString &name)
    : Control(container, name, new TextWidget)
{
    auto *edit = static_cast<QLineEdit *>(widget());
    QObject::connect(edit, &QLineEdit::returnPressed, [this] {
        if (onEnter)
            guard(onEnter);
    });
    QObject::connect(edit, &QLineEdit::textChanged, [this] {
        if (onChange)
            guard(onChange);
    });
}

QString TextBox::text() const
{
    return static_cast<QLineEdit *>(widget())->text();
}

void TextBox::setText(const QString &text)
{
    static_cast<QLineEdit *>(widget())->setText(text);
}

void TextBox::setMaxLength(int length)
{
    m_maxLength = length;
    // QLineEdit's own limit is large; 0 here means no limit.
    static_cast<QLineEdit *>(widget())->setMaxLength(length > 0 ? length : 32767);
}

void TextBox::fontChanged()
{
    widget()->setFont(font());
}

// CommandButton

CommandButton::CommandButton(Container &container, const QString &name)
    : Control(container, name, new ButtonWidget(this))
{
    setBackColor(QColor(192, 192, 192));
}

void CommandButton::setCaption(const QString &caption)
{
    m_caption = caption;
    widget()->update();
    accessible::captionChanged(widget());
}

// Frame

Frame::Frame(Container &container, const QString &name)
    : Control(container, name, new FrameWidget(this))
{
    setBackColor(QColor(192, 192, 192));
}

void Frame::setCaption(const QString &caption)
{
    m_caption = caption;
    widget()->update();
}

// Image and PictureBox

Image::Image(Container &container, const QString &name)
    : Control(container, name, new PictureWidget(this, &m_picture, false))
{
}

void Image::setPicture(const Picture &picture)
{
    m_picture = picture;
    if (!m_stretch && !picture.isNull()) {
        const QSizeF size = picture.sizeTwips();
        move(left(), top(), float(size.width()), float(size.height()));
    }
    widget()->update();
}

void Image::setStretch(bool stretch)
{
    m_stretch = stretch;
    static_cast<PictureWidget *>(widget())->stretch = stretch;
    widget()->update();
}

PictureBox::PictureBox(Container &container, const QString &name)
    : Control(container, name, new PictureWidget(this, &m_picture, true))
{
    setBackColor(QColor(192, 192, 192));
}

void PictureBox::setPicture(const Picture &picture)
{
    m_picture = picture;
    widget()->update();
}

void PictureBox::setBorder(bool border)
{
    m_border = border;
    static_cast<PictureWidget *>(widget())->border = border;
    widget()->update();
}

// Line

Line::Line(Container &container, const QString &name)
    : Control(container, name, new LineWidget(this))
{
}

void Line::setPoints(float x1, float y1, float x2, float y2)
{
    m_x1 = x1;
    m_y1 = y1;
    m_x2 = x2;
    m_y2 = y2;
    const float pad = 2 * twips::perPixel * m_borderWidth;
    move(std::min(x1, x2) - pad, std::min(y1, y2) - pad, std::abs(x2 - x1) + 2 * pad,
         std::abs(y2 - y1) + 2 * pad);
    widget()->update();
}

void Line::setBorderWidth(int width)
{
    m_borderWidth = width;
    setPoints(m_x1, m_y1, m_x2, m_y2);
}
