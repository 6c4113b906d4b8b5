// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <vector>

struct Activity;
class DragDrop;

// What a pupil playing an activity with the keyboard hears: where each box is, in the words
// the screen shows beside it, and what happens to the label being carried.

/// Each target box in words: "the box on the yaks" (the picture it lies on, by the caption
/// across that picture), "the box beside: Nothing grows in the desert" (the statement on its
/// row), or else "box 2 of 5" counted in reading order.
std::vector<QString> boxPlaces(const Activity &activity);

enum class LabelMove { lifted, carried, dropped, putBack };
/// Announces what the keyboard has just done with answer label Index: lifted and carried are
/// said as the label's own name ("Have thick woolly coats, lifted, over the box on the yaks");
/// a label set down is said as "placed in ...", "put back" or "put down".
void sayMove(DragDrop &screen, int Index, LabelMove move);
