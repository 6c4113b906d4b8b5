#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a test beside a private PulseAudio sound server whose one output is a null sink, so that
# the real speech engine speaks on a machine with no sound card. The server, its socket and its
# files live in a scratch folder and go with the test. Where pulseaudio or the flite engine is
# not installed, or the speech engine was not built (HABITARA_SPEECH_BUILT unset), the test runs
# as it is and skips what needs them; where all are there, it is told
# (HABITARA_SPEECH_EXPECTED) to fail rather than skip.
# Usage: soundserver.sh TEST [ARGUMENTS...]
set -euo pipefail

work=$(mktemp -d)
server=""
finish() {
    if [ -n "$server" ]; then
        kill "$server" 2>/dev/null || true
        wait "$server" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap finish EXIT

if command -v pulseaudio >/dev/null; then
    mkdir -m 700 "$work/run" "$work/home"
    # As root it only warns that it should not run as root.
    HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_RUNTIME_DIR="$work/run" \
        pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no --system=no \
        -L module-null-sink \
        -L "module-native-protocol-unix auth-anonymous=1 socket=$work/native" \
        >"$work/server.log" 2>&1 &
    server=$!
    for _ in $(seq 100); do
        [ -S "$work/native" ] && break
        kill -0 "$server" 2>/dev/null || break
        sleep 0.1
    done
    if [ -S "$work/native" ]; then
        export PULSE_SERVER="unix:$work/native" HOME="$work/home"
        if [ -n "${HABITARA_SPEECH_BUILT:-}" ] &&
            ls /usr/lib/*/qt6/plugins/texttospeech/libqtexttospeech_flite.so >/dev/null 2>&1; then
            export HABITARA_SPEECH_EXPECTED=1
        fi
    else
        echo "the sound server did not start:" >&2
        cat "$work/server.log" >&2
    fi
fi
"$@"
