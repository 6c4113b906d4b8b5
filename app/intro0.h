// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/controlarray.h"
#include "platform/controls.h"
#include "platform/form.h"
#include "platform/hover.h"

/// The main menu: the topics, the teachers' tools, the sound switch and the way out.
class intro0 : public Form
{
public:
    intro0();
    void Form_Load() override;
    void Form_MouseMove(int button, int shift, float x, float y) override;

    void Label2_Click(int Index);
    void Label2_MouseMove(int Index);
    void Option1_Click();
    void Option2_Click();
    /// The read-aloud switch.
    void Speaker_Click();

    Label Label1;
    OptionButton Option1;
    OptionButton Option2;
    Frame Frame1;
    Image Image1;
    Label Label3;
    ControlArray<Label> Label2;
    /// The speaker in the corner above Exit: turns reading aloud on and off, as F2 does.
    Image Speaker;

private:
    void showSpeaker(bool lit);
    HoverHighlight m_hover;
    bool m_speakerLit = true;
    bool m_speakerOn = false;
};
