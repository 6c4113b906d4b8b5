// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/controlarray.h"
#include "platform/controls.h"
#include "platform/form.h"
#include "platform/hover.h"

/// The worksheet catalogue: the registered titles, twenty-four to a page; a click on one runs
/// it as a quiz, opens it in the wizard or removes it, as the mode boxes say.
class worksheets : public Form
{
public:
    worksheets();
    void Form_Load() override;
    void Form_MouseMove(int button, int shift, float x, float y) override;
    bool Form_KeyDown(int KeyCode, int Shift) override;

    /// Fills the title slots and the paging captions for catpage.
    void workpage();
    /// Copies the loaded worksheet into the wizard and shows it.
    void editworksheet();
    void Label2_Click(int Index);
    void Label2_MouseMove(int Index);
    void Label3_Click(int Index);
    void Check1_Click();
    void Check2_Click();

    Label Label1;
    CheckBox Check1;
    CheckBox Check2;
    ControlArray<Label> Label2;
    ControlArray<Label> Label3;
    Label Label4;
    /// Says the catalogue is empty, where the titles would be.
    Label Label5;

private:
    /// The number of titles in memory, never beyond what worksheetnames holds.
    int titleCount() const;
    /// Shows Label5 when the list holds no title.
    void showWhetherEmpty(bool listUsable);
    HoverHighlight m_hover;
};
