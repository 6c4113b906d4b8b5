// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/topicmenu.h"

/// The menu of the topic "Living in the Desert".
class livingdesert : public TopicMenu
{
public:
    livingdesert() : TopicMenu(desertTopic) {}

private:
    void closeMenu() override;
};
