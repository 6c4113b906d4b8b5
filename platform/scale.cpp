// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/scale.h"

#include <QGuiApplication>
#include <QtGui/private/qguiapplication_p.h>
#include <QtGui/private/qhighdpiscaling_p.h>

void scaleApplication(double factor)
{
    if (factor <= 1 || !qGuiApp)
        return;
    // The global factor Qt otherwise takes from QT_SCALE_FACTOR at its start: the screens take
    // their scaled geometry at once, and the device pixel ratio is worked out afresh.
    QHighDpiScaling::setGlobalFactor(factor);
    QGuiApplicationPrivate::resetCachedDevicePixelRatio();
}
