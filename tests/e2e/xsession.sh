#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# What the tests that drive the real program in a real X server share, sourced by them.
#   start_built PROGRAM RUN   copies the built content RUN into a scratch folder $work, starts a
#                          1024 x 768 X server and sets $program and $log (the program's output)
#   start_x WIDTHxHEIGHT   starts Xvfb and sets DISPLAY, for a test that set $work and $log;
#                          everything stops when the test ends
#   pixel X Y              the colour of the screen at a point, as rrggbb
#   expect_pixel X Y RRGGBB WHAT   waits up to 6 s for that colour there, or fails
#   click_at X Y           moves the pointer there and clicks
#   px ORIGIN 0 TWIPS      a point given in twips on a screen whose corner is at ORIGIN
#   fail WHAT              ends the test, showing the program's output
#   start_program [OPTION...]   starts $program in $work with the options, its output in $log
#   past_title             waits for the title screen over its backdrop, clicks its OK and waits
#                          for the main menu (a standard screen, its corner at $mx, $my)
#   wait_for_file PATH WHAT   waits up to 5 s for a file to appear, or fails naming WHAT
#   finish_program         waits for the program to end by itself, and checks how it ended
#   write_worksheet TITLE FOLDER   types a whole worksheet into the open wizard and saves it

xvfb=""
program_pid=""
work=${work:-}
cleanup() {
    [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null || true
    stop_x
    [ -n "$work" ] && rm -rf "$work"
}
trap cleanup EXIT

# Ends the X server and waits until it has gone, so that the next one may take its display.
stop_x() {
    if [ -n "$xvfb" ]; then
        kill "$xvfb" 2>/dev/null || true
        wait "$xvfb" 2>/dev/null || true
        xvfb=""
    fi
}

# Starts Xvfb on a free display and waits until it answers. A server that took a display which
# another one was still giving up can die at once: then another is started.
start_x() {
    local attempt
    unset QT_QPA_PLATFORM
    for attempt in 1 2 3; do
        : >"$work/display"
        Xvfb -displayfd 3 -screen 0 "$1x24" -nolisten tcp 3>"$work/display" 2>/dev/null &
        xvfb=$!
        for _ in $(seq 100); do
            [ -s "$work/display" ] && break
            sleep 0.1
        done
        export DISPLAY=":$(cat "$work/display")"
        for _ in $(seq 100); do
            xdpyinfo >/dev/null 2>&1 && return 0
            kill -0 "$xvfb" 2>/dev/null || break
            sleep 0.1
        done
        stop_x
    done
    echo "FAIL: no X server could be started" >&2
    exit 1
}

start_built() {
    program=$1
    work=$(mktemp -d)
    cp -r "$2"/. "$work"/
    log="$work/program.log"
    start_x 1024x768
}

fail() {
    echo "FAIL: $*" >&2
    echo "--- program output:" >&2
    cat "$log" >&2 || true
    exit 1
}

pixel() {
    import -window root -crop "1x1+$1+$2" -depth 8 txt:- 2>/dev/null |
        sed -n '2p' | grep -o '#[0-9A-Fa-f]\{6\}' | tr -d '#' | tr 'A-F' 'a-f'
}
expect_pixel() {
    local got=""
    for _ in $(seq 30); do
        got=$(pixel "$1" "$2")
        [ "$got" = "$3" ] && return 0
        sleep 0.2
    done
    fail "$4: the screen at $1,$2 is #$got, not #$3"
}
click_at() {
    xdotool mousemove "$1" "$2"
    sleep 0.2
    xdotool click 1
    sleep 0.4
}
px() { echo $(( $1 + ($3 + 7) / 15 )); }

start_program() {
    cd "$work"
    "$program" "$@" >"$log" 2>&1 &
    program_pid=$!
}

# The title screen: 5460 x 6570 twips centred on the 1024 x 768 display (its corner at $tx,
# $ty, which the exit confirmation shares), over the backdrop.
tx=330 ty=165
# Standard screens: 12000 x 9000 twips centred.
mx=112 my=84
past_title() {
    expect_pixel 5 5 3085d6 "the backdrop"
    expect_pixel "$(px $tx 0 200)" "$(px $ty 0 1000)" c0c0c0 "the title screen"
    click_at "$(px $tx 0 1987)" "$(px $ty 0 6097)" # OK
    expect_pixel "$(px $mx 0 9000)" "$(px $my 0 7400)" 004e98 "the main menu"
}

wait_for_file() {
    for _ in $(seq 50); do
        [ -f "$1" ] && return 0
        sleep 0.1
    done
    fail "$2"
}

finish_program() {
    for _ in $(seq 50); do
        kill -0 "$program_pid" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$program_pid" 2>/dev/null; then
        fail "the program is still running after Exit"
    fi
    wait "$program_pid" || fail "the program ended with an error"
    program_pid=""
}

# In the Multiple Choice Wizard, open on a standard screen whose corner is at $mx, $my with the
# focus in its title box: types a worksheet TITLE whose question q reads "Which river is
# number q?" with answers Aq to Dq, ticks answer (q - 1) % 4 + 1, saves it, waits for its file
# in FOLDER and closes the message.
write_worksheet() {
    local title=$1 folder=$2 q a x0 y0 dx dy
    xdotool type --delay 15 "$title"
    xdotool key Return
    for q in $(seq 10); do
        xdotool type --delay 15 "Which river is number $q?"
        xdotool key Return
        for a in A B C D; do
            xdotool type --delay 15 "$a$q"
            xdotool key Return
        done
    done
    for q in $(seq 0 9); do
        a=$((q % 4))
        if [ "$q" -lt 5 ]; then x0=240; else x0=6120; fi
        y0=$((840 + 1440 * (q % 5)))
        if [ $((a % 2)) -eq 0 ]; then dx=240; else dx=3090; fi
        if [ "$a" -lt 2 ]; then dy=390; else dy=720; fi
        click_at "$(px $mx 0 $((x0 + dx + 100)))" "$(px $my 0 $((y0 + dy + 157)))"
    done
    click_at "$(px $mx 0 1822)" "$(px $my 0 8167)"                  # Save Worksheet
    wait_for_file "$folder/$title.txt" "the worksheet file was not written in $folder"
    # The message box lies over the middle of the screen; the key goes where the pointer is.
    sleep 0.5
    xdotool mousemove 512 384
    sleep 0.3
    xdotool key Return
    sleep 0.5
}
