// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/controlarray.h"
#include "platform/controls.h"
#include "platform/form.h"

/// The five-page teachers' guide, page by page, each page printable.
class guide : public Form
{
public:
    guide();
    void Form_Load() override;
    void Form_MouseMove(int button, int shift, float x, float y) override;
    bool Form_KeyDown(int KeyCode, int Shift) override;
    void Label3_Click(int Index);

    Image Image2;
    Image Image1;
    Label Label1;
    ControlArray<Label> Label3;
};
