// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/controlarray.h"
#include "platform/controls.h"
#include "platform/form.h"
#include "platform/timer.h"

/// The notes viewer: a topic's key facts or teacher's notes page by page, or the
/// acknowledgments with the publisher's animated logo; any page can be printed.
class teacher : public Form
{
public:
    teacher();
    void Form_Load() override;
    bool Form_KeyDown(int KeyCode, int Shift) override;
    void Label3_Click(int Index);
    void Timer1_Timer();

    Image Image2;
    Image Image1;
    Label Label1;
    ControlArray<Label> Label3;
    PictureBox Picture1;
    PictureBox Picture2;
    Timer Timer1;

private:
    void showPage();
};
