// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/look.h"

#include "platform/hover.h"

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

} // namespace look
