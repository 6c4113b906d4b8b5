// SPDX-License-Identifier: GPL-3.0-or-later
// Eight statements about life in the desert, each to be marked "True" or "False".
#include "activities/livingdesertord.h"

// The tables keep one row to a line, as tables read.
// clang-format off
namespace {

const QColor red(255, 0, 0);
const QColor green(0, 255, 0);

// Boxes 0 to 3 are the "False" boxes, 4 to 7 the "True" ones. The labels start in one row,
// from the left 7, 5, 6, 4, 0, 1, 2, 3.
const ActivityItem items[] = {
    {.text = "False", .boxLeft = 9360, .boxTop = 2640, .startLeft = 6000, .startTop = 7320, .color = red},
    {.text = "False", .boxLeft = 9360, .boxTop = 4440, .startLeft = 7320, .startTop = 7320, .color = red},
    {.text = "False", .boxLeft = 9360, .boxTop = 5040, .startLeft = 8640, .startTop = 7320, .color = red},
    {.text = "False", .boxLeft = 9360, .boxTop = 3240, .startLeft = 9960, .startTop = 7320, .color = red},
    {.text = "True",  .boxLeft = 9360, .boxTop = 6240, .startLeft = 4680, .startTop = 7320, .color = green},
    {.text = "True",  .boxLeft = 9360, .boxTop = 3840, .startLeft = 2040, .startTop = 7320, .color = green},
    {.text = "True",  .boxLeft = 9360, .boxTop = 2040, .startLeft = 3360, .startTop = 7320, .color = green},
    {.text = "True",  .boxLeft = 9360, .boxTop = 5640, .startLeft = 720,  .startTop = 7320, .color = green},
};

// From the top of the screen down; each stands on the row of the box it goes with.
const ActivityStatement statements[] = {
    {9,  "People and animals have to adapt to survive in hot desert conditions.", 2040},
    {13, "Nothing grows in the desert.", 2640},
    {14, "No one lives in deserts.", 3240},
    {11, "Millions of people live in or on the edges of the world\u2019s deserts.", 3840},
    {12, "Bedouins who live in the desert are very unfriendly people.", 4440},
    {10, "All desert people live in the same place all their life.", 5040},
    {15, "An oasis is a place in the desert where water can be found.", 5640},
    {8,  "Some desert people are nomads.", 6240},
};

const ActivityCaption captions[] = {dragTheLabels};

} // namespace

const Activity desertOrdering = {
    .screenName = "livingdesertord",
    .items = items,
    .itemWidth = 1245,
    .itemHeight = 375,
    .itemFontSize = 14.25,
    .scoring = dragdrop::Scoring::byGroup,
    .title = {0, 120, 5145, 825, {"Times New Roman", 27.75}},
    .instruction = {120, 1080, 11625, 585, {"Times New Roman", 24},
                    "Are these statements about life in the desert true or false?"},
    .captions = captions,
    .statements = statements,
    .statementLeft = 1200,
    .statementWidth = 8085,
    .statementHeight = 375,
    .statementFontSize = 11.25,
};
// clang-format on
