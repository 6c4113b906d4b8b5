#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Starts the built program in a real X server (Xvfb) and drives it with xdotool as a teacher
# would: the main menu, the Multiple Choice Wizard typed into with the keyboard (Enter moves
# from box to box), the saved worksheet found in the catalogue and run to the results screen.
# Colours are read off the screen at points of each screen; the saved files are compared.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/xsession.sh"
start_built "$1" "$2"

start_program
past_title # to the main menu

# The wizard: the title box has the focus; Enter walks through every box in turn.
click_at "$(px $mx 0 9517)" "$(px $my 0 6007)"                      # Multiple Choice Wizard
expect_pixel "$(px $mx 0 11000)" "$(px $my 0 300)" ffffff "the wizard's title box"
title="Rivers of the World"
write_worksheet "$title" multiple
printf ' 1\r\n%s\r\n' "$title" | cmp -s - multiple/track.txt || fail "the register is not ' 1', '$title'"
expected=$(mktemp)
{
    printf '%s\r\n \r\n' "$title"
    for q in $(seq 10); do
        printf 'Which river is number %s?\r\nA%s\r\nB%s\r\nC%s\r\nD%s\r\n%s\r\n \r\n' \
            "$q" "$q" "$q" "$q" "$q" $(((q - 1) % 4 + 1))
    done
} >"$expected"
cmp -s "$expected" "multiple/$title.txt" || fail "the worksheet file differs from what was typed"
rm -f "$expected"

click_at "$(px $mx 0 11182)" "$(px $my 0 8167)"                     # Exit the wizard
expect_pixel "$(px $mx 0 9000)" "$(px $my 0 7400)" 004e98 "the main menu again"
click_at "$(px $mx 0 9517)" "$(px $my 0 6847)"                      # Worksheet Catalogue
# The catalogue: the page label is white, and the one title fills slot 1.
expect_pixel "$(px $mx 0 200)" "$(px $my 0 8000)" ffffff "the catalogue's page label"
click_at "$(px $mx 0 2977)" "$(px $my 0 907)"                       # the worksheet, run mode
expect_pixel "$(px $mx 0 11000)" "$(px $my 0 3000)" 004e98 "the quiz"
[ "$(pixel "$(px $mx 0 7000)" "$(px $my 0 400)")" != 004e98 ] || fail "the quiz shows no picture"
for q in $(seq 10); do
    click_at "$(px $mx 0 3000)" "$(px $my 0 $((5662 + 600 * ((q - 1) % 4))))"   # the right answer
    click_at "$(px $mx 0 7882)" "$(px $my 0 8167)"                   # Next / Check Score
done
# Full marks: the results screen offers the name box for the certificate.
expect_pixel "$(px $mx 0 5900)" "$(px $my 0 7000)" ffffff "the name box of full marks"
sleep 0.5
[ "$(pixel "$(px $mx 0 8280)" "$(px $my 0 3240)")" != 004e98 ] || fail "the results picture is missing"

kill "$program_pid" 2>/dev/null || true
wait "$program_pid" 2>/dev/null || true
program_pid=""
echo "1 passed, 0 failed"
