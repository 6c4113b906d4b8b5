// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QColor;
class QWidget;

/// Has the display server itself fill a top-level window with one flat colour, whenever any
/// of it is uncovered, so that the program never draws it: a full-screen window then costs no
/// image the size of the screen at start. Returns false where that cannot be done exactly (not
/// an X display, or a visual whose pixels are not 8 bits a channel); the window is then
/// drawn by the program as before.
bool fillByDisplay(QWidget &window, const QColor &color);
