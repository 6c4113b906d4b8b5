// SPDX-License-Identifier: GPL-3.0-or-later
// What a climber sees on the way up a mountain, as five boxes on a picture of one.
#include "activities/livingmountainsord.h"

namespace {

const ActivityItem items[] = {
    {.text = "Permanent snow and ice.",
     .boxLeft = 4320,
     .boxTop = 1875,
     .startLeft = 60,
     .startTop = 7440},
    {.text = "Bare rocks, lichens and mosses.",
     .boxLeft = 4320,
     .boxTop = 4440,
     .startLeft = 6000,
     .startTop = 6960},
    {.text = "Thin grass and small flowering plants.",
     .boxLeft = 4320,
     .boxTop = 5400,
     .startLeft = 4020,
     .startTop = 7440},
    {.text = "Bare rock, no plants.",
     .boxLeft = 4320,
     .boxTop = 3480,
     .startLeft = 7980,
     .startTop = 7440},
    {.text = "Grass and coniferous trees.",
     .boxLeft = 4320,
     .boxTop = 6300,
     .startLeft = 2040,
     .startTop = 6960},
};

const ActivityCaption captions[] = {
    {.name = "Label8",
     .index = -1,
     .text = "Drag the labels into the correct boxes.",
     .left = 120,
     .top = 7860,
     .width = 2505,
     .height = 585,
     .style = {"Tahoma", 12, true, QColor(128, 255, 255), Alignment::Left}},
    {.name = "Label5",
     .index = -1,
     .text = "metres",
     .left = 2100,
     .top = 870,
     .width = 1215,
     .height = 375,
     .style = {"MS Sans Serif", 13.5, false, look::black, Alignment::Left}},
};

const ActivityPicture pictures[] = {
    {.index = 0,
     .file = "Images\\mountain2.jpg",
     .left = 720,
     .top = 480,
     .width = 10410,
     .height = 6900},
};

} // namespace

const Activity mountainsOrdering = {
    .screenName = "livingmountainsord",
    .items = items,
    .itemWidth = 3885,
    .itemHeight = 375,
    .itemFontSize = 9.75,
    .scoring = dragdrop::Scoring::byIndex,
    .title = {.name = "Label6",
              .index = -1,
              .text = "",
              .left = 120,
              .top = 120,
              .width = 5505,
              .height = 1185,
              .style = {"Times New Roman", 27.75}},
    .instruction = {.name = "Label7",
                    .index = -1,
                    .text = "Imagine that you are making a journey up a mountain. What would you "
                            "see as you climbed the mountain?",
                    .left = 7080,
                    .top = 0,
                    .width = 4665,
                    .height = 1905,
                    .style = {"Times New Roman", 20.25}},
    .captions = captions,
    .pictures = pictures,
};
