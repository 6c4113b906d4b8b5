# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by the end-to-end scripts, with the program and the run folder as $1 and $2: copies
# the content into a temporary folder, starts Xvfb at 1024 x 768 and gives the helpers that
# read colours off the screen and click as a pupil would. The script starts the program itself
# and keeps its process id in program_pid.
program=$1
run=$2

work=$(mktemp -d)
cp -r "$run"/. "$work"/
log="$work/program.log"

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb=$!
program_pid=""
cleanup() {
    [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null || true
    kill "$xvfb" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
export DISPLAY=":$(cat "$work/display")"
unset QT_QPA_PLATFORM
for _ in $(seq 100); do
    xdpyinfo >/dev/null 2>&1 && break
    sleep 0.1
done

fail() {
    echo "FAIL: $*" >&2
    echo "--- program output:" >&2
    cat "$log" >&2 || true
    exit 1
}

pixel() { # x y -> rrggbb of the screen at that point
    import -window root -crop "1x1+$1+$2" -depth 8 txt:- 2>/dev/null |
        sed -n '2p' | grep -o '#[0-9A-Fa-f]\{6\}' | tr -d '#' | tr 'A-F' 'a-f'
}
expect_pixel() { # x y colour what
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
