// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/mousepointer.h"

#include <QCursor>
#include <QGuiApplication>

namespace {
MousePointer current = MousePointer::Default;
}

void setMousePointer(MousePointer pointer)
{
    if (pointer == current)
        return;
    if (pointer == MousePointer::Hourglass)
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    else
        QGuiApplication::restoreOverrideCursor();
    current = pointer;
}

MousePointer mousePointer()
{
    return current;
}
