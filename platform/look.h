// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/controlarray.h"
#include "platform/controls.h"

#include <QColor>
#include <QImage>

#include <initializer_list>

class HoverHighlight;

// The program's look, written once: its colours, its yellow-on-black bordered buttons and its
// plain captions. Screens list their captions as data and leave the styling to these helpers.
namespace look {

inline const QColor yellow{255, 255, 0};
inline const QColor black{0, 0, 0};
inline const QColor navy{0, 0, 128};
inline const QColor screenBlue{0, 78, 152};

/// One button of a screen: a bordered caption, centred yellow Tahoma bold on its background.
struct Button
{
    int index;
    const char *caption;
    float left, top, width, height;
    double size = 15.75;
    QColor back = black;
    bool enabled = true;
};

/// Gives a label the button look and places it.
void styleButton(Label &label, const Button &button);
/// Adds the buttons to the array; each joins the hover highlight when one is given.
void addButtons(ControlArray<Label> &labels, std::initializer_list<Button> buttons,
                HoverHighlight *hover = nullptr);

/// The font and colour of a plain caption.
struct Text
{
    const char *face;
    double size;
    bool bold = false;
    QColor color = yellow;
    Alignment align = Alignment::Center;
};

/// A caption on the bare screen: transparent, in the given font and colour.
void styleText(Label &label, const QString &caption, float left, float top, float width,
               float height, const Text &text);

/// The speaker of the read-aloud switch, in the buttons' colours: yellow on black when lit,
/// on the screen's own colour when not; sound waves when on, a cross when off. Drawn large,
/// for an Image that stretches it to its size.
QImage speakerImage(bool on, bool lit);

} // namespace look
