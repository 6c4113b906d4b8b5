// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QString>

/// Starts reading the system's font configuration on a thread of its own, while the application
/// is still connecting to the display; registerFonts() waits for it. Call it once, first thing.
void readFontConfigurationAhead();

/// Registers the fonts the screens are designed in (Tahoma and MS Sans Serif from the Wine
/// fonts, which fontconfig does not scan). Call once after the application object exists.
void registerFonts();

/// A font by face, size in points and weight, sized for the screen at 96 dpi.
QFont screenFont(const QString &face, double points, bool bold = false);
/// The same font sized in points, for printers and other devices with their own resolution.
QFont deviceFont(const QString &face, double points, bool bold = false);
