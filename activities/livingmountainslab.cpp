// SPDX-License-Identifier: GPL-3.0-or-later
// Four mountain animals, each to be matched with how it survives in the mountains.
#include "activities/livingmountainslab.h"

// The tables keep one row to a line, as tables read.
// clang-format off
namespace {

const QColor blue(0, 0, 255);

// Each box lies on its animal's picture (llamas, bears, yaks, goats); the labels start in a
// column at the left, from the top 0, 2, 1, 3.
const ActivityItem items[] = {
    {.text = "Have large heart and lungs to cope with thin atmosphere.", .boxLeft = 2250, .boxTop = 3555, .startLeft = 120, .startTop = 5400},
    {.text = "Hibernate in the winter when there is no food.",           .boxLeft = 8550, .boxTop = 7065, .startLeft = 120, .startTop = 6840},
    {.text = "Have thick woolly coats.",                                 .boxLeft = 4170, .boxTop = 7050, .startLeft = 120, .startTop = 6120},
    {.text = "Can live on poor grasses and are agile on steep slopes.",  .boxLeft = 6990, .boxTop = 2295, .startLeft = 120, .startTop = 7560},
};

// Llamas, goats, yaks, bears: the pictures load in this order, each with its name across it.
const ActivityPicture pictures[] = {
    {0, "Images\\llamamd.jpg", 1320, 840,  4860, 3330},
    {1, "Images\\goatsm.jpg",  6480, 120,  3960, 2790},
    {3, "Images\\yakssm.jpg",  3360, 4440, 4605, 3225},
    {2, "Images\\bearssm.jpg", 8280, 3120, 3525, 4560},
};

const ActivityCaption captions[] = {
    {"Label5", 0, "Llamas", 1275, 840,  4905, 705, {"Times New Roman", 20.25, false, blue}},
    {"Label5", 1, "Goats",  6480, 120,  3945, 585, {"Times New Roman", 20.25, false, look::yellow}},
    {"Label5", 3, "Yaks",   3360, 4560, 4305, 465, {"Times New Roman", 20.25, false, blue}},
    {"Label5", 2, "Bears",  8280, 3240, 3465, 465, {"Times New Roman", 20.25, false, blue}},
};

} // namespace

const Activity mountainsLabelling = {
    .screenName = "livingmountainslab",
    .items = items,
    .itemWidth = 3015,
    .itemHeight = 615,
    .itemFontSize = 9.75,
    .scoring = dragdrop::Scoring::byIndex,
    .title = {240, 120, 4665, 675, {"Times New Roman", 24}},
    .instruction = {240, 4440, 2895, 945, {"Tahoma", 11.25, true},
                    "Match the animals with their adaptations for survival in the mountains."},
    .captions = captions,
    .pictures = pictures,
};
// clang-format on
