#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package and has Debian's own checker, lintian, look at it: any error or
# warning fails the test. Skipped (77) where lintian is not installed.
# Usage: package.sh BUILD_FOLDER
set -euo pipefail
build=$1
command -v lintian >/dev/null || { echo "lintian is not installed"; exit 77; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cpack --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; echo "FAIL: cpack failed" >&2; exit 1; }
deb=$(ls "$work"/habitara_*.deb)
# --fail-on makes lintian's exit status say whether it found an error or a warning; the tags it
# names are shown either way.
if ! lintian --fail-on error,warning --tag-display-limit 0 "$deb" 2>&1 | tee "$work/lintian.txt"; then
    echo "FAIL: lintian finds fault with the package" >&2
    exit 1
fi
if grep -q '^[EW]: ' "$work/lintian.txt"; then
    echo "FAIL: lintian reports an error or a warning" >&2
    exit 1
fi
echo "lintian: no error and no warning in $(basename "$deb")"
