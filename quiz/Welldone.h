// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/controlarray.h"
#include "platform/controls.h"
#include "platform/form.h"
#include "platform/hover.h"
#include "platform/timer.h"

/// The results screen at the end of every quiz and activity: the score in words, a picture, a
/// fanfare, and the certificate at full marks or the review of wrong answers below.
class Welldone : public Form
{
public:
    Welldone();
    void Form_Load() override;
    void Form_MouseMove(int button, int shift, float x, float y) override;

    void Label3_Click(int Index);
    void Label3_MouseMove(int Index);
    void Timer1_Timer();
    void Timer2_Timer();
    void Timer3_Timer();
    /// Prints the pupil's award certificate.
    void Printpage();

    Label Label4;
    PictureBox Picture1;
    Label Label1;
    Label Label5;
    Label Label6;
    TextBox Text1;
    Label Label2;
    ControlArray<Label> Label3;
    Timer Timer1;
    Timer Timer2;
    Timer Timer3;

private:
    HoverHighlight m_hover;
};
