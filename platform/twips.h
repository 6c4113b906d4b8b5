// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointF>
#include <QRect>
#include <QSizeF>

// The one place where twips meet pixels: 15 twips to a pixel, 1440 twips to the inch (96 dpi),
// and font points become pixels at the same 96 dpi.
namespace twips {

constexpr double perPixel = 15.0;

int toPixels(double twips);
double fromPixels(double pixels);
QRect toPixels(double left, double top, double width, double height);
int fontPixels(double points);

/// The display's size in twips; tests may pretend to have a different display.
QSizeF displaySize();
void setDisplaySizeForTests(const QSizeF &size);

} // namespace twips
