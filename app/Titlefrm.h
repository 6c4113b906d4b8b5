// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/controls.h"
#include "platform/form.h"

/// The title screen the program starts on; opened again from the main menu it asks whether
/// to leave the program ("Cancel" or "Exit").
class Titlefrm : public Form
{
public:
    Titlefrm();
    void Form_Load() override;
    /// The picture in the middle of the screen, which the program loads ahead of the screen.
    static QString pictureFile();

    bool Form_KeyDown(int KeyCode, int Shift) override;
    void Command1_Click();
    void Command2_Click();

    Frame Frame1;
    Label Label4;
    PictureBox Picture1;
    Label Label1;
    Label Label5;
    Label Label3;
    CommandButton Command1;
    CommandButton Command2;
    Label Label2;
};
