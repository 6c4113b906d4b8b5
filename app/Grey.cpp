// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Grey.h"

#include "platform/access.h"
#include "platform/sound.h"

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
    setBackColor(QColor(48, 133, 214));
    // The backdrop behind every screen is the program itself.
    accessible::nameWindow(*this, [] { return QStringLiteral("Habitara"); });
}
