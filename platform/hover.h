// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

class Label;

/// The lit captions of a screen: a caption under the pointer shows its background, and the
/// pointer on the bare screen clears them all. Captions start lit, as designed.
class HoverHighlight
{
public:
    void add(Label &label);
    /// The pointer moved over this caption.
    void light(Label &label);
    /// The pointer moved over the screen's bare surface.
    void clear();

private:
    std::vector<Label *> m_labels;
};
