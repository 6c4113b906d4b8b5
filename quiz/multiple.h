// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/controlarray.h"
#include "platform/controls.h"
#include "platform/form.h"
#include "platform/hover.h"

/// The quiz screen: ten questions one at a time, four answers each, scored at the end and
/// handed to the results screen; the whole quiz can be printed as a worksheet.
class multiple : public Form
{
public:
    multiple();
    void Form_Load() override;
    void Form_MouseMove(int button, int shift, float x, float y) override;

    void showquest();
    void Label3_Click(int Index);
    void Label3_MouseMove(int Index);
    void Option1_Click(int Index);
    /// Prints the loaded quiz as a paper worksheet.
    void Printpage();

    Label Label1;
    Label Label5;
    Label Label6;
    Label Label4;
    Label Label2;
    ControlArray<OptionButton> Option1;
    PictureBox Picture1;
    ControlArray<Label> Label3;

private:
    HoverHighlight m_hover;
};
