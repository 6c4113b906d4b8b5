#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Prints a worksheet and a certificate through the program's default-printer path into a real
# CUPS queue, and reads back the PDFs that come out; then checks that with no printer at all the
# pupil only sees the failure message. The test runs a CUPS server of its own, in a temporary
# folder, whose default printer is a CUPS-PDF queue: the machine's own printers and settings are
# left alone. CUPS-PDF's backend runs only as root, so the test needs root.
set -euo pipefail
program=$1

if [ "$(id -u)" -ne 0 ]; then
    echo "SKIP: printing through CUPS-PDF needs root"
    exit 77
fi

dir=$(mktemp -d /tmp/habitara-cups.XXXXXX)
name=habitara-$$
pdfconf=/etc/cups/cups-pdf-$name.conf
cupsd_pid=""
cleanup() {
    if [ -n "$cupsd_pid" ]; then
        kill "$cupsd_pid" 2>/dev/null || true
        wait "$cupsd_pid" 2>/dev/null || true
    fi
    rm -f "$pdfconf"
    rm -rf "$dir" 2>/dev/null || true
}
trap cleanup EXIT
# The filters run as an unprivileged user and must reach the spool and temporary folders.
chmod 755 "$dir"
mkdir -p "$dir"/{conf,spool,cache,state,tmp,log,out}
chmod 1777 "$dir/tmp"

cat >"$dir/conf/cupsd.conf" <<CONF
Listen $dir/cups.sock
LogLevel warn
WebInterface No
Browsing Off
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF
cat >"$dir/conf/cups-files.conf" <<CONF
ServerRoot $dir/conf
RequestRoot $dir/spool
CacheDir $dir/cache
StateDir $dir/state
TempDir $dir/tmp
ErrorLog $dir/log/error_log
AccessLog $dir/log/access_log
PageLog $dir/log/page_log
CONF
# CUPS-PDF reads the settings named by its device URI: ours writes into the test's folder.
sed "s|^#\?Out .*|Out $dir/out|" /etc/cups/cups-pdf.conf >"$pdfconf"

cupsd -f -c "$dir/conf/cupsd.conf" -s "$dir/conf/cups-files.conf" &
cupsd_pid=$!
export CUPS_SERVER=$dir/cups.sock
running() { lpstat -r 2>/dev/null | grep -q 'scheduler is running'; }
for _ in $(seq 100); do
    running && break
    sleep 0.2
done
running || { echo "CUPS did not start" >&2; cat "$dir/log/error_log" >&2 || true; exit 1; }

# Converting through pdftocairo keeps the text of the pages readable in the PDFs.
lpadmin -p HabitaraPDF -E -v "cups-pdf:/$name" -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd \
    -o pdftops-renderer-default=pdftocairo
lpadmin -d HabitaraPDF

HABITARA_EXPECT_PRINTER=1 "$program"

count() { find "$dir/out" -name '*.pdf' | wc -l; }
for _ in $(seq 120); do
    [ "$(count)" -ge 2 ] && break
    sleep 0.5
done
if [ "$(count)" -lt 2 ]; then
    echo "CUPS-PDF made no worksheet and certificate" >&2
    lpstat -t >&2 || true
    cat "$dir/log/error_log" >&2 || true
    exit 1
fi
all=""
for pdf in "$dir"/out/*.pdf; do
    all+=$(pdftotext -layout "$pdf" - | tr -s ' ')
    all+=$'\n'
done
for expected in "Quillmoor Publishing Ltd" "Question 10" "Excellent Work" "Cups Pupil" \
                "You have scored 10 out of 10."; do
    if ! grep -qF "$expected" <<<"$all"; then
        echo "The printed PDFs lack \"$expected\"" >&2
        exit 1
    fi
done
echo "CUPS printed the worksheet and the certificate."

# No printer: the program asks a CUPS server that is not there.
CUPS_SERVER=$dir/none.sock HABITARA_EXPECT_PRINTER=0 "$program"
