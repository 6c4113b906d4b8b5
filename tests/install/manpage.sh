#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The manual page and the program's --help list the same options, each with the same argument,
# and name the same environment variables; the page renders without a warning.
# Usage: manpage.sh PROGRAM MANUAL_PAGE
set -euo pipefail
program=$1 page=$2

fail() { echo "FAIL: $*" >&2; exit 1; }

help=$("$program" --help) || fail "--help ended with an error"
from_help=$(sed -n 's/^ \{1,4\}\(--[a-z-]*\)\(\( [A-Za-z|][A-Za-z|]*\)*\)  .*/\1\2/p' <<<"$help" | sort)
# In the page each option opens a tagged paragraph: .B \-\-help or .BI \-\-scale " FACTOR".
from_page=$(awk '/^\.SH /{ options = ($2 == "OPTIONS") } options' "$page" |
    sed -n 's/^\.BI\? \(\\-\\-[a-z\\-]*\)\( " \([A-Za-z| ]*\)"\)\?$/\1 \3/p' |
    sed 's/\\-/-/g; s/ $//' | sort)
[ -n "$from_help" ] || fail "no option was found in --help:"$'\n'"$help"
[ "$from_help" = "$from_page" ] ||
    fail "--help and the manual page differ:"$'\n'"$(diff <(echo "$from_help") <(echo "$from_page"))"

for variable in $(grep -o 'HABITARA_[A-Z_]*' <<<"$help" | sort -u); do
    awk '/^\.SH /{ env = ($2 == "ENVIRONMENT") } env' "$page" | grep -q "^\.B $variable\$" ||
        fail "the manual page's ENVIRONMENT does not name $variable"
done

warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null) || true
[ -z "$warnings" ] || fail "the manual page does not render cleanly: $warnings"
echo "$(wc -l <<<"$from_help") options agree"
