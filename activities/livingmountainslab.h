// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "activities/dragdrop.h"

extern const Activity mountainsLabelling;

/// The mountains' labelling activity: four mountain animals matched with their adaptations.
class livingmountainslab : public ActivityScreen<livingmountainslab>
{
public:
    livingmountainslab() : ActivityScreen(mountainsLabelling) {}
};
