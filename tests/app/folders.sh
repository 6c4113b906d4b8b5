#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The command line refuses a worksheet or PDF folder the user cannot write to, or cannot make,
# and takes one they can. Run as root it drops to the user nobody (setpriv), for whom the
# folders are locked; root may write anywhere and would never see the refusal.
# Usage: folders.sh PROGRAM
set -euo pipefail
program=$1

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"
as_user=()
if [ "$(id -u)" -eq 0 ]; then
    as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups --)
    chown nobody:nogroup "$work"
fi
mkdir -m 555 "$work/locked"
mkdir -m 700 "$work/runtime"
[ "$(id -u)" -ne 0 ] || chown nobody:nogroup "$work/runtime" "$work/locked"
cd "$work"

failures=0
# start EXPECTED_STATUS EXPECTED_TEXT [VAR=VALUE ...] -- OPTIONS...
start() {
    local status=$1 says=$2 got=0
    shift 2
    local environment=()
    while [ "$1" != -- ]; do environment+=("$1"); shift; done
    shift
    env -u HABITARA_WORKSHEETS QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$work/runtime" \
        HOME="$work" "${environment[@]}" timeout 4 "${as_user[@]}" "$program" "$@" \
        >"$work/out.txt" 2>&1 || got=$?
    if [ "$got" != "$status" ] || { [ -n "$says" ] && ! grep -qF -- "$says" "$work/out.txt"; }; then
        echo "FAIL: habitara $* ended with $got, not $status, saying:" >&2
        cat "$work/out.txt" >&2
        failures=$((failures + 1))
    fi
}

start 2 "worksheet folder cannot be used: the folder \"$work/locked\" cannot be written to" \
    -- --worksheets "$work/locked"
start 2 "worksheet folder cannot be used: the folder \"locked\" cannot be written to" \
    HABITARA_WORKSHEETS=locked --
start 2 "worksheet folder cannot be used: the folder \"$work/locked/school\" cannot be made" \
    -- --worksheets "$work/locked/school"
start 2 "PDF folder cannot be used: the folder \"$work/locked\" cannot be written to" \
    -- --print-to-pdf "$work/locked"
start 2 "PDF folder cannot be used: the folder \"locked/pdf\" cannot be made" \
    -- --print-to-pdf locked/pdf
[ -z "$(ls -A "$work/locked")" ] || { echo "FAIL: something was made in the locked folder" >&2; exit 1; }

# Folders the user may write to, or make, are taken: the program starts and keeps running
# until it is stopped (timeout's 124), with the worksheet folder made and its register in it.
start 124 "" -- --worksheets "$work/school/worksheets" --print-to-pdf "$work/pdf"
[ -f "$work/school/worksheets/track.txt" ] ||
    { echo "FAIL: the worksheet folder was not made and prepared" >&2; failures=$((failures + 1)); }
[ -d "$work/pdf" ] || { echo "FAIL: the PDF folder was not made" >&2; failures=$((failures + 1)); }

[ "$failures" -eq 0 ] || exit 1
echo "7 passed, 0 failed"
