// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Grey.h"

#include "platform/access.h"
#include "platform/sound.h"
#include "platform/windowcolour.h"

void SndDevil::play(const QString &path)
{
    soundDevice().play(path);
}

Grey::Grey() : Form(QStringLiteral("Grey"))
{
    setBorderless(true);
    setMaximised(true);
}

void Grey::Form_Load()
{
    const QColor blue(48, 133, 214);
    setBackColor(blue);
    // One flat colour over the whole screen: where the display can fill the window itself,
    // the program draws none of it.
    if (fillByDisplay(*host(), blue))
        host()->setUpdatesEnabled(false);
    // The backdrop behind every screen is the program itself.
    accessible::nameWindow(*this, [] { return QStringLiteral("Habitara"); });
}
