#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A pupil and a teacher without a mouse: the built program in a real X server (Xvfb), driven
# with key presses alone (xdotool key, never a click, the pointer parked on the backdrop).
# From the title screen: the guide paged to its end, the mountains topic, its key facts, the
# whole quiz to full marks, a name typed and the certificate printed (to a PDF), the labelling
# activity to Check Score, a worksheet written and saved in the wizard, run from the catalogue,
# and out through the exit confirmation. After each step the focus mark (white just outside the
# control) is looked for on the control the step should end on; each step's key count is shown.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/xsession.sh"
start_built "$1" "$2"

mkdir -p "$work/pdf"
start_program --print-to-pdf "$work/pdf"
xdotool mousemove 5 5

keys=0 total=0
press() {
    local k
    for k in "$@"; do
        xdotool key "$k"
        keys=$((keys + 1))
        sleep 0.15
    done
}
# Types text one key press a character.
type_keys() {
    local text=$1 i c
    for ((i = 0; i < ${#text}; i++)); do
        c=${text:i:1}
        case "$c" in
        " ") press space ;;
        "?") press question ;;
        *) press "$c" ;;
        esac
    done
}
step() {
    printf '%-44s %4d keys\n' "$1" "$keys"
    total=$((total + keys))
    keys=0
}

# The title screen's corner is at $tx, $ty (its controls lie 90 twips higher), every standard
# screen's at $mx, $my.
# expect_focus LEFT TOP HEIGHT WHAT: the focus mark beside a control of a standard screen.
expect_focus() {
    expect_pixel $(($(px $mx 0 "$1") - 2)) "$(px $my 0 $(($2 + $3 / 2)))" ffffff "$4 has the focus"
}
# The page area of the reading screens, as a checksum of its pixels.
page_sum() {
    import -window root -crop "600x400+$((mx + 20))+$((my + 20))" rgb:- 2>/dev/null | md5sum
}

# A busy machine may take a while to show the first screen.
for _ in $(seq 75); do
    [ "$(pixel "$(px $tx 0 200)" "$(px $ty 0 1000)")" = c0c0c0 ] && break
    sleep 0.2
done
expect_pixel "$(px $tx 0 200)" "$(px $ty 0 1000)" c0c0c0 "the title screen"
press Return
expect_pixel "$(px $mx 0 9000)" "$(px $my 0 7400)" 004e98 "the main menu"
step "title screen to the main menu"

# The guide, paged to its end and closed with Escape.
press Tab Tab
expect_focus 120 1200 495 "Teachers' Guide"
press Return
expect_focus 10680 120 495 "the guide's Print"
first=$(page_sum)
press Next Next Right Next
last=$(page_sum)
[ "$first" != "$last" ] || fail "the guide's pages did not turn"
press Next
[ "$(page_sum)" = "$last" ] || fail "the guide turned past its last page"
press Escape
expect_focus 120 1200 495 "Teachers' Guide again"
step "the guide, paged to its end and back"

# The mountains topic and its key facts.
press Tab Return
expect_pixel "$(px $mx 0 11000)" "$(px $my 0 3000)" 273f89 "the mountains menu"
expect_focus 6360 120 495 "Key Facts"
press Return
expect_focus 10680 120 495 "the key facts' Print"
press Escape
expect_focus 6360 120 495 "Key Facts again"
step "into the mountains topic, Key Facts and back"

# The whole quiz: each right answer by the arrows, then Next (Previous comes first from
# question 2).
press Tab Tab
expect_focus 120 7920 495 "Multiple Choice"
press Return
quiz="multiple/Living in the Mountains.txt"
for q in $(seq 10); do
    right=$(sed -n "$((7 * q + 1))p" "$quiz" | tr -d '\r ')
    for _ in $(seq "$right"); do press Down; done
    expect_focus 2400 $((5400 + 600 * (right - 1))) 525 "answer $right of question $q"
    if [ "$q" -eq 1 ]; then press Tab; else press Tab Tab; fi
    expect_focus 6000 7920 495 "Next on question $q"
    press Return
done
step "the whole quiz, every answer right"

# Full marks: the name box has the focus; the certificate goes to a PDF.
expect_focus 3120 6600 615 "the name box"
type_keys "Ada Lovelace"
press shift+Tab
expect_focus 240 1800 495 "Print Certificate"
press Return
for _ in $(seq 50); do
    ls pdf/*.pdf >/dev/null 2>&1 && break
    sleep 0.1
done
pdf=$(ls pdf/*.pdf 2>/dev/null | head -1)
[ -n "$pdf" ] || fail "no certificate PDF was written"
pdftotext "$pdf" - | grep -q "Ada Lovelace" || fail "the certificate does not carry the name"
sleep 0.5
press Return # "Your certificate is now printing."
expect_focus 240 1800 495 "Print Certificate after the message"
press Tab Tab
expect_focus 10560 7920 495 "the results' Exit"
press Return
expect_focus 120 7920 495 "Multiple Choice again"
step "a name typed, the certificate printed, out"

# The labelling activity: each label lifted, carried through the boxes in reading order (the
# goats', the llamas', three homes, the yaks', the bears', the last home) and dropped.
press Tab
expect_focus 3600 7920 495 "Labelling Activity"
press Return
expect_focus 120 5400 375 "the first label"
press space shift+Tab space # into the llamas' box, the one before its home
press Tab space Tab Tab space
press Tab space Tab Tab space
press Tab space Tab space # round from the last home to the goats' box, the first
press Tab Tab
expect_focus 6000 7920 495 "Check Score"
press Return
expect_focus 3120 6600 615 "the name box after the activity"
press Tab Return
expect_focus 6000 7920 495 "Check Score again"
press Tab Return
expect_focus 3600 7920 495 "Labelling Activity again"
step "the labelling activity to full marks"

# The wizard: a worksheet typed and saved.
press Escape
expect_focus 120 3720 375 "Living in the Mountains"
press Down Down
expect_focus 7200 5760 495 "Multiple Choice Wizard"
press Return
title="Rivers"
type_keys "$title"
press Return
for q in $(seq 10); do
    type_keys "River $q?"
    press Return
    for a in A B C D; do
        type_keys "$a$q"
        press Return
    done
done
for i in $(seq 0 39); do
    press Tab
    q=$((i / 4))
    [ $((i % 4)) -eq $((q % 4)) ] && press space
done
press Tab
expect_focus 240 7920 495 "Save Worksheet"
press Return
wait_for_file "multiple/$title.txt" "the worksheet was not saved"
sleep 0.5
press Return # "Your worksheet has been saved."
press Tab Tab Tab # past Import... and Export... to Exit
expect_focus 10560 7920 495 "the wizard's Exit"
press Return
expect_focus 7200 5760 495 "Multiple Choice Wizard again"
step "a worksheet written and saved"

# The catalogue: the worksheet run as a quiz, then back.
press Down Return
expect_focus 120 120 375 "Edit Worksheet"
press Tab Tab
expect_focus 120 720 375 "the first title"
press Return
expect_focus 2400 5400 525 "the worksheet's answers"
press Tab Tab Return
expect_focus 120 720 375 "the first title again"
press Escape
expect_pixel "$(px $mx 0 9000)" "$(px $my 0 7400)" 004e98 "the main menu after the catalogue"
step "the catalogue, the worksheet run"

# Out through the exit confirmation, back past the read-aloud speaker.
press shift+Tab shift+Tab
expect_focus 10560 7920 495 "Exit"
press Return
expect_pixel "$(px $tx 0 200)" "$(px $ty 0 1000)" c0c0c0 "the exit confirmation"
press Tab Return
finish_program
step "out through the exit confirmation"
printf '%-44s %4d keys\n' "everything" "$total"
echo "1 passed, 0 failed"
