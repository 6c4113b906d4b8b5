#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# On a large display the program grows its design by itself: on 1616 x 1248 it draws the title
# screen and the main menu at twice their size, exactly as when told to with --scale 2 or
# QT_SCALE_FACTOR=2, and not at their own size.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/xsession.sh"
program=$1
work=$(mktemp -d)
cp -r "$2"/. "$work"/
log="$work/program.log"
start_x 1616x1248
cd "$work"

# A point given in twips on a screen whose corner is at ORIGIN, at twice the size.
px2() { echo $((2 * $(px "$1" 0 "$2"))); }

# Starts the program with the given environment and options, saves the whole display on the
# title screen and on the main menu as NAME-title.png and NAME-menu.png, and ends it.
shoot() {
    local name=$1
    shift
    env "$@" >"$log" 2>&1 &
    program_pid=$!
    # The title screen centred on the 808 x 624 display the program sees: where it lies at its
    # own size, the backdrop shows.
    local tx=222 ty=93
    expect_pixel "$(px2 $tx 200)" "$(px2 $ty 1000)" c0c0c0 "$name: the title screen at twice its size"
    expect_pixel 5 5 3085d6 "$name: the backdrop"
    sleep 0.5
    import -window root "$name-title.png"
    click_at "$(px2 $tx 1987)" "$(px2 $ty 6097)"                       # OK
    local mx=4 my=12
    expect_pixel "$(px2 $mx 9000)" "$(px2 $my 7400)" 004e98 "$name: the main menu"
    xdotool mousemove "$(px2 $mx 9000)" "$(px2 $my 7400)"
    sleep 0.5
    import -window root "$name-menu.png"
    kill "$program_pid"
    wait "$program_pid" 2>/dev/null || true
    program_pid=""
}

shoot fitted "$program"
shoot option "$program" --scale 2
shoot variable QT_SCALE_FACTOR=2 "$program"
for screen in title menu; do
    for asked in option variable; do
        differ=$(compare -metric AE "fitted-$screen.png" "$asked-$screen.png" null: 2>&1 || true)
        [ "$differ" = 0 ] || fail "the fitted $screen differs from the one with $asked in $differ pixels"
    done
done
echo "PASS: the design fits the display by itself, as when its scale is asked for"
