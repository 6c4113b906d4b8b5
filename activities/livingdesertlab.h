// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "activities/dragdrop.h"

extern const Activity desertLabelling;

/// The desert's labelling activity: the parts of a Bedouin tent named by six labels.
class livingdesertlab : public ActivityScreen<livingdesertlab>
{
public:
    livingdesertlab() : ActivityScreen(desertLabelling) {}
};
