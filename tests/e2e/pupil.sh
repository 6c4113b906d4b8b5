#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Starts the built program in a real X server (Xvfb) and drives it with xdotool as a pupil
# would: title screen, main menu, a topic, a whole quiz, and out through the exit confirmation.
# Colours are read off the screen at points of each screen.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/xsession.sh"
start_built "$1" "$2"

start_program
past_title # to the main menu
# Entries start lit; the bare screen clears them; the pointer on an entry lights it.
entry_x=$(px $mx 0 300) entry_y=$(px $my 0 3740)
expect_pixel "$entry_x" "$entry_y" 000000 "a lit entry"
xdotool mousemove "$(px $mx 0 9000)" "$(px $my 0 7400)"
expect_pixel "$entry_x" "$entry_y" 004e98 "an entry after the pointer crossed the screen"
xdotool mousemove "$(px $mx 0 1700)" "$(px $my 0 3900)"
expect_pixel "$entry_x" "$entry_y" 000000 "the entry under the pointer"

click_at "$(px $mx 0 1717)" "$(px $my 0 3907)"                      # Living in the Mountains
expect_pixel "$(px $mx 0 11000)" "$(px $my 0 3000)" 273f89 "the mountains menu"
click_at "$(px $mx 0 1717)" "$(px $my 0 8167)"                      # Multiple Choice
expect_pixel "$(px $mx 0 11000)" "$(px $my 0 3000)" 004e98 "the quiz"
for q in $(seq 10); do
    click_at "$(px $mx 0 3000)" "$(px $my 0 $((5662 + 600 * (q % 4))))"   # an answer
    click_at "$(px $mx 0 7882)" "$(px $my 0 8167)"                   # Next / Check Score
done
# The results screen shows its picture in the top right.
expect_pixel "$(px $mx 0 5900)" "$(px $my 0 7000)" 004e98 "the results screen"
sleep 0.5
[ "$(pixel "$(px $mx 0 8280)" "$(px $my 0 3240)")" != 004e98 ] || fail "the results picture is missing"
click_at "$(px $mx 0 11182)" "$(px $my 0 8167)"                     # Exit: back to the topic
expect_pixel "$(px $mx 0 11000)" "$(px $my 0 3000)" 273f89 "the mountains menu again"
click_at "$(px $mx 0 11182)" "$(px $my 0 8167)"                     # Exit: back to the menu
expect_pixel "$(px $mx 0 9000)" "$(px $my 0 7400)" 004e98 "the main menu again"
click_at "$(px $mx 0 11182)" "$(px $my 0 8167)"                     # Exit
expect_pixel "$(px $tx 0 200)" "$(px $ty 0 1000)" c0c0c0 "the exit confirmation"
# The backdrop shows again where the main menu lay.
expect_pixel "$(px $mx 0 9000)" "$(px $my 0 7400)" 3085d6 "the backdrop where the main menu was"
expect_pixel "$(px $mx 0 300)" "$(px $my 0 300)" 3085d6 "the backdrop in the main menu's corner"
click_at "$(px $tx 0 3427)" "$(px $ty 0 6097)"                      # Exit

finish_program
echo "1 passed, 0 failed"
