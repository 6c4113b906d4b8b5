// SPDX-License-Identifier: GPL-3.0-or-later
// A Bedouin tent whose six parts are to be named, each box joined to its part by a line.
#include "activities/livingdesertlab.h"

// The tables keep one row to a line, as tables read.
// clang-format off
namespace {

// The labels start in one row along the bottom, from the left 1, 5, 2, 0, 3, 4.
const ActivityItem items[] = {
    {.text = "The men's section of the tent.",      .boxLeft = 3960, .boxTop = 1020, .startLeft = 6000, .startTop = 6840},
    {.text = "The owner of the tent's rifle.",      .boxLeft = 3480, .boxTop = 5520, .startLeft = 240,  .startTop = 6840},
    {.text = "The family section of the tent.",     .boxLeft = 6480, .boxTop = 1020, .startLeft = 4080, .startTop = 6840},
    {.text = "Tent pole supporting the roof.",      .boxLeft = 1320, .boxTop = 5520, .startLeft = 7920, .startTop = 6840},
    {.text = "The kitchen",                         .boxLeft = 8520, .boxTop = 1020, .startLeft = 9840, .startTop = 6840},
    {.text = "Bedouin tent - made from goat hair.", .boxLeft = 960,  .boxTop = 1020, .startLeft = 2160, .startTop = 6840},
};

const ActivityPicture pictures[] = {
    {0, "Images\\bedouin tent.jpg", 0, 960, 12000, 5520},
};

// Line1(0) to Line1(5), each joining a box to its part of the tent.
const ActivityLine lines[] = {
    {2520, 5460, 2520, 4080}, // box 3, the tent pole
    {4200, 5460, 4200, 4440}, // box 1, the rifle
    {4920, 3120, 4920, 1980}, // box 0, the men's section
    {7320, 3120, 7320, 1980}, // box 2, the family section
    {9480, 3480, 9480, 1980}, // box 4, the kitchen
    {1920, 3000, 1920, 1980}, // box 5, the goat-hair cloth
};

} // namespace

const Activity desertLabelling = {
    .screenName = "livingdesertlab",
    .items = items,
    .itemWidth = 1845,
    .itemHeight = 915,
    .itemFontSize = 11.25,
    .scoring = dragdrop::Scoring::byIndex,
    .title = {120, 120, 3825, 705, {"Times New Roman", 24}},
    .instruction = {4320, 120, 7425, 705, {"Times New Roman", 14.25},
                    "Bedouins live in the deserts of North Africa and the Middle East. Label this "
                    "picture of a Bedouin tent."},
    .pictures = pictures,
    .lines = lines,
};
// clang-format on
