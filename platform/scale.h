// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

/// Scales every window, font, picture and pointer position of the running application by one
/// factor, as QT_SCALE_FACTOR does when it is set before the application starts, so that the
/// factor can follow from the screen the application has found. Call it before the first window
/// is made; a factor of 1 or less leaves the application as it is.
void scaleApplication(double factor);
