#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Starts CUPS with the CUPS-PDF printer as the default, prints a worksheet and a certificate
# through the program's default-printer path, and reads the PDFs that come out. Then checks that
# with no printer at all the pupil only sees the failure message.
set -euo pipefail
program=$1

if [ "$(id -u)" -ne 0 ]; then
    echo "This test starts CUPS and adds a printer, so it runs as root." >&2
    exit 1
fi

# cups-pdf writes each user's PDFs to a spool folder of its own.
out=/var/spool/cups-pdf/root
conf=/etc/cups/cups-pdf.conf
if ! grep -q '^Out /var/spool/cups-pdf/\${USER}$' "$conf"; then
    sed -i 's|^#\?Out .*|Out /var/spool/cups-pdf/${USER}|' "$conf"
fi
mkdir -p "$out"

running() { lpstat -r 2>/dev/null | grep -q 'scheduler is running'; }
running || cupsd
for _ in $(seq 100); do
    running && break
    sleep 0.2
done
running || { echo "CUPS did not start" >&2; exit 1; }

# Converting through pdftocairo keeps the text of the pages readable in the PDFs.
lpadmin -p HabitaraPDF -E -v cups-pdf:/ -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd \
    -o pdftops-renderer-default=pdftocairo
lpadmin -d HabitaraPDF
cupsenable HabitaraPDF
cupsaccept HabitaraPDF

marker=$(mktemp)
HABITARA_EXPECT_PRINTER=1 "$program"

found=""
for _ in $(seq 120); do
    found=$(find "$out" -name '*.pdf' -newer "$marker" | sort)
    [ "$(echo "$found" | grep -c pdf)" -ge 2 ] && break
    sleep 0.5
done
rm -f "$marker"
if [ "$(echo "$found" | grep -c pdf)" -lt 2 ]; then
    echo "CUPS-PDF made no worksheet and certificate in $out" >&2
    lpstat -t >&2 || true
    exit 1
fi
all=""
while read -r pdf; do
    all+=$(pdftotext -layout "$pdf" - | tr -s ' ')
    all+=$'\n'
done <<<"$found"
for expected in "Quillmoor Publishing Ltd" "Question 10" "Excellent Work" "Cups Pupil" \
                "You have scored 10 out of 10."; do
    if ! grep -qF "$expected" <<<"$all"; then
        echo "The printed PDFs lack \"$expected\"" >&2
        exit 1
    fi
done
echo "CUPS printed the worksheet and the certificate."

# No printer: the program asks a CUPS server that is not there.
CUPS_SERVER=/nonexistent/cups.sock HABITARA_EXPECT_PRINTER=0 "$program"
