// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/controlarray.h"
#include "platform/controls.h"
#include "platform/form.h"
#include "platform/hover.h"

struct Worksheet;

/// The Multiple Choice Wizard: a teacher writes a title and ten questions of four answers,
/// ticks the right answer of each, and saves the worksheet for the catalogue.
class wizard : public Form
{
public:
    wizard();
    void Form_Load() override;
    void Form_MouseMove(int button, int shift, float x, float y) override;

    void Label3_Click(int Index);
    void Label3_MouseMove(int Index);
    void Text1_KeyPress(int KeyAscii);
    void Text2_KeyPress(int Index, int KeyAscii);
    void Text3_KeyPress(int Index, int KeyAscii);
    /// Checks the entries, names the first problem, and saves when there is none.
    void genwork();
    /// Writes the worksheet's file, registers its title and tells the teacher the result.
    void saveworksheet();

    ControlArray<Label> Label1;
    TextBox Text1;
    ControlArray<TextBox> Text2;
    ControlArray<TextBox> Text3;
    ControlArray<CheckBox> Check1;
    ControlArray<Label> Label3;

private:
    Worksheet entries() const;
    HoverHighlight m_hover;
};
