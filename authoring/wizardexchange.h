// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class wizard;

// The wizard's "Import..." and "Export...": a GIFT or Aiken file brought into the wizard ten
// questions at a time, and what the wizard holds taken out as GIFT or Aiken.

/// Index of the two buttons in the wizard's Label3 array.
inline constexpr int importButton = 2;
inline constexpr int exportButton = 3;

/// Makes the two buttons reachable by Tab and pressed by Space or Enter, and names them.
void setUpExchangeButtons(wizard &w);
/// Asks for a file, fills the wizard with its next ten usable questions and reports the rest.
void importIntoWizard(wizard &w);
/// Checks the wizard as Save does, asks where to, and writes the file.
void exportFromWizard(wizard &w);
