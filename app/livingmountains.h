// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/topicmenu.h"

/// The menu of the topic "Living in the Mountains".
class livingmountains : public TopicMenu
{
public:
    livingmountains() : TopicMenu(mountainsTopic) {}

private:
    void closeMenu() override;
};
