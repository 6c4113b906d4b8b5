// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

enum class MousePointer { Default, Hourglass };

/// The application-wide mouse pointer.
void setMousePointer(MousePointer pointer);
MousePointer mousePointer();
