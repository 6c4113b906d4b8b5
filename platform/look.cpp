// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/look.h"

#include "platform/hover.h"

#include <QPainter>
#include <QPainterPath>

namespace look {

void styleButton(Label &label, const Button &button)
{
    label.setCaption(QString::fromUtf8(button.caption));
    label.move(button.left, button.top, button.width, button.height);
    label.setFont(QStringLiteral("Tahoma"), button.size, true);
    label.setForeColor(yellow);
    label.setBackColor(button.back);
    label.setAlignment(Alignment::Center);
    label.setBorder(true);
    label.setEnabled(button.enabled);
}

void addButtons(ControlArray<Label> &labels, std::initializer_list<Button> buttons,
                HoverHighlight *hover)
{
    for (const Button &button : buttons) {
        Label &label = labels.add(button.index);
        styleButton(label, button);
        if (hover)
            hover->add(label);
    }
}

void styleText(Label &label, const QString &caption, float left, float top, float width,
               float height, const Text &text)
{
    label.setCaption(caption);
    label.move(left, top, width, height);
    label.setFont(QString::fromLatin1(text.face), text.size, text.bold);
    label.setForeColor(text.color);
    label.setAlignment(text.align);
    label.setOpaque(false);
}

QImage speakerImage(bool on, bool lit)
{
    // Drawn on a grid of 132, four times a 33-pixel button at the designed size.
    QImage image(132, 132, QImage::Format_ARGB32_Premultiplied);
    image.fill(lit ? black : Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(black, 4));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(2, 2, 128, 128));
    p.setPen(Qt::NoPen);
    p.setBrush(yellow);
    p.drawPolygon(QPolygonF({QPointF(16, 48), QPointF(38, 48), QPointF(68, 20), QPointF(68, 112),
                             QPointF(38, 84), QPointF(16, 84)}));
    p.setBrush(Qt::NoBrush);
    if (on) {
        p.setPen(QPen(yellow, 9, Qt::SolidLine, Qt::RoundCap));
        for (double r : {20.0, 40.0})
            p.drawArc(QRectF(68 - r, 66 - r, 2 * r, 2 * r), -50 * 16, 100 * 16);
    } else {
        p.setPen(QPen(yellow, 10, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(82, 46), QPointF(114, 86));
        p.drawLine(QPointF(82, 86), QPointF(114, 46));
    }
    return image;
}

} // namespace look
