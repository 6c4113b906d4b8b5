// SPDX-License-Identifier: GPL-3.0-or-later
// Habitara: starts on the title screen over the backdrop; the screens take it from there.
#include "app/Titlefrm.h"
#include "platform/fonts.h"
#include "platform/guard.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Habitara"));
    registerFonts();
    guard([] { screen<Titlefrm>().show(); });
    if (programEnded())
        return 0;
    return QApplication::exec();
}
