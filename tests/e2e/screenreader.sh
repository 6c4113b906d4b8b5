#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Starts the built program in Xvfb on a private D-Bus session with the AT-SPI accessibility bus,
# as a desktop with a screen reader would, and lets screenreader.py walk and drive it.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$here/xsession.sh"
start_built "$1" "$2"

# A session bus of the test's own, and the accessibility bus with its registry on it.
eval "$(dbus-launch --sh-syntax)"
bus_pid=$DBUS_SESSION_BUS_PID
launcher=""
stop_bus() {
    kill "$launcher" 2>/dev/null || true
    kill "$bus_pid" 2>/dev/null || true
    cleanup
}
trap stop_bus EXIT
/usr/libexec/at-spi-bus-launcher --launch-immediately >"$work/atspi.log" 2>&1 &
launcher=$!
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1

start_program

/usr/bin/python3 "$here/screenreader.py" "$work" || fail "the screen reader's walk"
kill "$program_pid"
wait "$program_pid" 2>/dev/null || true
program_pid=""
