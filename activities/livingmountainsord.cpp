// SPDX-License-Identifier: GPL-3.0-or-later
// What a climber sees on the way up a mountain, as five boxes on a picture of one.
#include "activities/livingmountainsord.h"

// The tables keep one row to a line, as tables read.
// clang-format off
namespace {

// From the top of the screen down the boxes run 0, 3, 1, 2, 4; the labels start in two rows
// below the picture.
const ActivityItem items[] = {
    {.text = "Permanent snow and ice.",                .boxLeft = 4320, .boxTop = 1875, .startLeft = 60,   .startTop = 7440},
    {.text = "Bare rocks, lichens and mosses.",        .boxLeft = 4320, .boxTop = 4440, .startLeft = 6000, .startTop = 6960},
    {.text = "Thin grass and small flowering plants.", .boxLeft = 4320, .boxTop = 5400, .startLeft = 4020, .startTop = 7440},
    {.text = "Bare rock, no plants.",                  .boxLeft = 4320, .boxTop = 3480, .startLeft = 7980, .startTop = 7440},
    {.text = "Grass and coniferous trees.",            .boxLeft = 4320, .boxTop = 6300, .startLeft = 2040, .startTop = 6960},
};

const ActivityCaption captions[] = {
    dragTheLabels,
    // The unit of the height scale drawn on the picture.
    {"Label5", -1, "metres", 2100, 870, 1215, 375, {"MS Sans Serif", 13.5, false, look::black, Alignment::Left}},
};

const ActivityPicture pictures[] = {
    {0, "Images\\mountain2.jpg", 720, 480, 10410, 6900},
};

} // namespace

const Activity mountainsOrdering = {
    .screenName = "livingmountainsord",
    .items = items,
    .itemWidth = 3885,
    .itemHeight = 375,
    .itemFontSize = 9.75,
    .scoring = dragdrop::Scoring::byIndex,
    .title = {120, 120, 5505, 1185, {"Times New Roman", 27.75}},
    .instruction = {7080, 0, 4665, 1905, {"Times New Roman", 20.25},
                    "Imagine that you are making a journey up a mountain. What would you see as "
                    "you climbed the mountain?"},
    .captions = captions,
    .pictures = pictures,
};
// clang-format on
