// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/hover.h"

#include "platform/controls.h"

void HoverHighlight::add(Label &label)
{
    m_labels.push_back(&label);
}

void HoverHighlight::light(Label &label)
{
    label.setOpaque(true);
}

void HoverHighlight::clear()
{
    for (Label *label : m_labels)
        label->setOpaque(false);
}
