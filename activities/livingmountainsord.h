// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "activities/dragdrop.h"

extern const Activity mountainsOrdering;

/// The mountains' ordering activity: five zones of a mountain put in order from the summit.
class livingmountainsord : public ActivityScreen<livingmountainsord>
{
public:
    livingmountainsord() : ActivityScreen(mountainsOrdering) {}
};
