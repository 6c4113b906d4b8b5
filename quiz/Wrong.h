// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/controlarray.h"
#include "platform/controls.h"
#include "platform/form.h"

/// The review of a quiz: the questions the pupil answered wrongly, in question order.
class Wrong : public Form
{
public:
    Wrong();
    void Form_Load() override;
    bool Form_KeyDown(int KeyCode, int Shift) override;
    void Label3_Click(int Index);

    Label Label6;
    Label Label4;
    ControlArray<Label> Label2;
    Label Label5;
    ControlArray<Label> Label3;
};
