// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "activities/dragdrop.h"

extern const Activity desertOrdering;

/// The desert's ordering activity: "True" and "False" beside eight statements about the desert.
class livingdesertord : public ActivityScreen<livingdesertord>
{
public:
    livingdesertord() : ActivityScreen(desertOrdering) {}
};
