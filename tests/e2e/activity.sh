#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Starts the built program in a real X server (Xvfb) and plays the desert's true-or-false
# activity with xdotool drags as a pupil would: every label dragged into a box, "Check Score",
# the results read off the screen, back to the activity, "Start Again"; then played again with
# single clicks only (a click on a label picks it, a click on a box places it), no button held
# while the pointer moves, to full marks. Colours are read off the screen at points of each screen.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/xsession.sh"
start_built "$1" "$2"
# A point of a standard screen given in twips.
sx() { echo $(( mx + ($1 + 7) / 15 )); }
sy() { echo $(( my + ($1 + 7) / 15 )); }
# Drags with the left button from one point to another (twips), in small steps.
drag_twips() {
    local x0 y0 x1 y1
    x0=$(sx "$1") y0=$(sy "$2") x1=$(sx "$3") y1=$(sy "$4")
    xdotool mousemove "$x0" "$y0"
    sleep 0.1
    xdotool mousedown 1
    for k in 1 2 3 4 5 6; do
        xdotool mousemove $(( x0 + (x1 - x0) * k / 6 )) $(( y0 + (y1 - y0) * k / 6 ))
        sleep 0.05
    done
    sleep 0.1
    xdotool mouseup 1
    sleep 0.2
}

start_program
past_title # to the main menu
click_at "$(sx 5077)" "$(sy 2467)"                                  # Living in the Desert
expect_pixel "$(sx 11000)" "$(sy 3000)" 273f89 "the desert menu"
click_at "$(sx 8677)" "$(sy 8167)"                                  # Ordering Activity
expect_pixel "$(sx 11000)" "$(sy 3000)" 004e98 "the true-or-false activity"
# A statement: yellow on black, bordered, at Left 1200 beside its box.
expect_pixel "$(sx 1260)" "$(sy 2100)" 000000 "a statement"

# Each label (1245 x 375) from its starting place into a box of its group.
starts=(6000 7320 8640 9960 4680 2040 3360 720)
boxes=(2640 4440 5040 3240 6240 3840 2040 5640)
for i in 0 1 2 3 4 5 6 7; do
    drag_twips $(( starts[i] + 622 )) 7507 $(( 9360 + 622 )) $(( boxes[i] + 187 ))
done
# Every box holds a label: black inside each box.
for top in "${boxes[@]}"; do
    expect_pixel "$(sx 9400)" "$(sy $(( top + 60 )))" 000000 "the label in the box at Top $top"
done
# "Check Score" has appeared: the pointer over it shows its black background.
xdotool mousemove "$(sx 11000)" "$(sy 5000)"
xdotool mousemove "$(sx 7282)" "$(sy 8167)"
expect_pixel "$(sx 6060)" "$(sy 7980)" 000000 "the Check Score button"
click_at "$(sx 7282)" "$(sy 8167)"                                  # Check Score

# Full marks on the results screen: the white name box for the certificate shows, where
# below full marks only the screen's blue would be.
expect_pixel "$(sx 3300)" "$(sy 7100)" ffffff "the name box of full marks"
sleep 0.5
click_at "$(sx 11182)" "$(sy 8167)"                                 # Exit
# Back on the activity with the labels where they were.
expect_pixel "$(sx 9400)" "$(sy 2700)" 000000 "a label still in its box"
click_at "$(sx 4642)" "$(sy 8167)"                                  # Start Again
expect_pixel "$(sx 9400)" "$(sy 2700)" 004e98 "the box emptied by Start Again"
expect_pixel "$(sx 6060)" "$(sy 7380)" 000000 "a label at its starting place"

# Clicks alone: each label clicked where it starts (picked: its colours turned round, the
# colour of its word now filling it), then its box clicked.
# The four "False" labels are red, the four "True" labels green.
colours=(ff0000 ff0000 ff0000 ff0000 00ff00 00ff00 00ff00 00ff00)
for i in 0 1 2 3 4 5 6 7; do
    click_at "$(sx $(( starts[i] + 622 )))" "$(sy 7507)"
    expect_pixel "$(sx $(( starts[i] + 60 )))" "$(sy 7500)" "${colours[i]}" "label $i picked by a click"
    click_at "$(sx $(( 9360 + 622 )))" "$(sy $(( boxes[i] + 187 )))"
    expect_pixel "$(sx 9400)" "$(sy $(( boxes[i] + 60 )))" 000000 "label $i placed by a click"
done
xdotool mousemove "$(sx 11000)" "$(sy 5000)"
xdotool mousemove "$(sx 7282)" "$(sy 8167)"
expect_pixel "$(sx 6060)" "$(sy 7980)" 000000 "the Check Score button after clicks alone"
click_at "$(sx 7282)" "$(sy 8167)"                                  # Check Score
expect_pixel "$(sx 3300)" "$(sy 7100)" ffffff "full marks by clicks alone"
sleep 0.5
click_at "$(sx 11182)" "$(sy 8167)"                                 # Exit
expect_pixel "$(sx 9400)" "$(sy 2700)" 000000 "a clicked label still in its box"
click_at "$(sx 11182)" "$(sy 8167)"                                 # Exit the activity
expect_pixel "$(sx 11000)" "$(sy 3000)" 273f89 "the desert menu again"

kill "$program_pid"
wait "$program_pid" 2>/dev/null || true
program_pid=""
echo "1 passed, 0 failed"
