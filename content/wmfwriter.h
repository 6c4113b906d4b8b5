// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QSizeF>

#include <functional>

class QPainter;

namespace content {

/// Records what draw() paints, in twips (1440 to the inch; the device reports 1440 dpi so
/// QFont point sizes come out right), as a placeable Windows Metafile of the given size.
QByteArray renderWmf(const QSizeF &sizeTwips, const std::function<void(QPainter &)> &draw);

} // namespace content
