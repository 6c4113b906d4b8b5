// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/twips.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>
#include <optional>

namespace twips {

namespace {
std::optional<QSizeF> displayOverride;
}

int toPixels(double twips)
{
    return int(std::lround(twips / perPixel));
}

double fromPixels(double pixels)
{
    return pixels * perPixel;
}

QRect toPixels(double left, double top, double width, double height)
{
    // Edges are rounded, not sizes, so that boxes that touch in twips touch on the screen.
    const int l = toPixels(left), t = toPixels(top);
    return QRect(l, t, toPixels(left + width) - l, toPixels(top + height) - t);
}

int fontPixels(double points)
{
    return std::max(1, int(std::lround(points * 96.0 / 72.0)));
}

QSizeF displaySize()
{
    if (displayOverride)
        return *displayOverride;
    if (QScreen *screen = QGuiApplication::primaryScreen())
        return QSizeF(screen->geometry().size()) * perPixel;
    return QSizeF(800 * perPixel, 600 * perPixel);
}

void setDisplaySizeForTests(const QSizeF &size)
{
    if (size.isEmpty())
        displayOverride.reset();
    else
        displayOverride = size;
}

} // namespace twips
