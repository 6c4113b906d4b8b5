#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs Habitara into a scratch prefix and checks what a desktop needs of it; builds the
# Debian package and checks what it declares and holds; unpacks the package under another
# prefix and starts that program from an unrelated folder, as a user whose home is new, in a
# real X server: it reaches the main menu and a topic quiz, saves a worksheet from the wizard
# into the user's own folder, saves a page it cannot print as a PDF in the user's documents,
# and writes nothing among its installed files.
set -euo pipefail
build=$1

work=$(mktemp -d)
log="$work/program.log"
. "$(dirname "${BASH_SOURCE[0]}")/../e2e/xsession.sh"

# cmake --install
prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null
share="$prefix/share"
# The speech engine is built where Qt TextToSpeech was there to build it with.
modules=habitara-sound.so
[ ! -f "$build/platform/habitara-speech" ] || modules+=" habitara-speech"
for module in $modules; do
    [ -f "$prefix/lib/habitara/plugins/$module" ] || fail "the installation lacks $module"
done
for f in bin/habitara share/habitara/images/llama.jpg share/habitara/images/llama@2x.jpg \
         "share/habitara/multiple/Living in the Desert.txt" share/habitara/wmf/guide1.wmf \
         share/habitara/wav/click.wav share/habitara/logo/quil0019.gif \
         share/applications/org.habitara.Habitara.desktop \
         share/metainfo/org.habitara.Habitara.metainfo.xml \
         share/icons/hicolor/scalable/apps/org.habitara.Habitara.svg \
         share/icons/hicolor/48x48/apps/org.habitara.Habitara.png \
         share/icons/hicolor/256x256/apps/org.habitara.Habitara.png; do
    [ -f "$prefix/$f" ] || fail "the installation lacks $f"
done
[ ! -e "$share/habitara/multiple/track.txt" ] || fail "a register was installed with the content"
desktop-file-validate "$share/applications/org.habitara.Habitara.desktop" ||
    fail "the desktop entry is not valid"
appstreamcli validate --no-net "$share/metainfo/org.habitara.Habitara.metainfo.xml" >/dev/null ||
    fail "the AppStream data is not valid"

# cpack: the Debian package
cpack --config "$build/CPackConfig.cmake" -B "$work/deb" >/dev/null || fail "cpack failed"
deb=$(ls "$work"/deb/habitara_*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
for d in libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 libqt6multimedia6 \
         qt6-base-abi fonts-wine fonts-liberation2; do
    grep -q "$d" <<<"$depends" || fail "the package does not depend on $d: $depends"
done
if [[ $modules == *speech* ]]; then
    grep -q qt6-speech-flite-plugin <<<"$(dpkg-deb -f "$deb" Recommends)" ||
        fail "the package does not recommend the flite speech engine"
fi
[ "$(dpkg-deb -f "$deb" Section)" = education ] || fail "the package is not in education"
contents=$(dpkg-deb -c "$deb")
for module in $modules; do
    grep -q " ./usr/lib/habitara/plugins/$module\$" <<<"$contents" || fail "the package lacks $module"
done
for f in ./usr/bin/habitara \
         ./usr/share/habitara/images/camel.jpg ./usr/share/doc/habitara/copyright \
         ./usr/share/doc/habitara/changelog.gz ./usr/share/man/man1/habitara.1.gz \
         ./usr/share/applications/org.habitara.Habitara.desktop; do
    grep -q " $f\$" <<<"$contents" || fail "the package lacks $f"
done
if [ "$(id -u)" -eq 0 ]; then
    apt-get install --simulate -qq "$deb" >"$work/apt.txt" 2>&1 ||
        { cat "$work/apt.txt"; fail "apt cannot install the package"; }
fi

# The package unpacked under another prefix, started from elsewhere by a user with a new home.
root="$work/unpacked"
dpkg-deb -x "$deb" "$root"
program="$root/usr/bin/habitara"
find "$root" -type f -exec sha256sum {} + | sort >"$work/before.txt"
export HOME="$work/home"
mkdir -p "$HOME" "$work/elsewhere"
unset HABITARA_WORKSHEETS XDG_DATA_HOME
start_x 1024x768
cd "$work/elsewhere"
# No printer can be reached, whatever this machine has.
CUPS_SERVER=/nonexistent/cups.sock "$program" >"$log" 2>&1 &
program_pid=$!

tx=330 ty=165 mx=112 my=84
expect_pixel 5 5 3085d6 "the backdrop"
expect_pixel "$(px $tx 0 200)" "$(px $ty 0 1000)" c0c0c0 "the title screen"
click_at "$(px $tx 0 1987)" "$(px $ty 0 6097)"                      # OK
expect_pixel "$(px $mx 0 9000)" "$(px $my 0 7400)" 004e98 "the main menu"
[ "$(pixel "$(px $mx 0 9000)" "$(px $my 0 3000)")" != 004e98 ] || fail "the menu's picture is missing"
# The sound module was loaded after the first frame, and the speech engine started, from
# beside the program.
plugins="$root/usr/lib/habitara/plugins"
grep -q "$plugins/habitara-sound.so" "/proc/$program_pid/maps" ||
    fail "the program did not load its sound module from lib/habitara/plugins"
if [[ $modules == *speech* ]]; then
    speech=$(pgrep -P "$program_pid" -x habitara-speech) ||
        fail "the program did not start its speech engine"
    [ "$(readlink "/proc/$speech/exe")" = "$plugins/habitara-speech" ] ||
        fail "the speech engine did not come from lib/habitara/plugins"
fi
click_at "$(px $mx 0 1717)" "$(px $my 0 3907)"                      # Living in the Mountains
expect_pixel "$(px $mx 0 11000)" "$(px $my 0 3000)" 273f89 "the mountains menu"
click_at "$(px $mx 0 1717)" "$(px $my 0 8167)"                      # Multiple Choice
expect_pixel "$(px $mx 0 11000)" "$(px $my 0 3000)" 004e98 "the quiz"
grep -q "missing or damaged" "$log" && fail "the quiz file was not found"
click_at "$(px $mx 0 11182)" "$(px $my 0 8167)"                     # Exit the quiz
expect_pixel "$(px $mx 0 11000)" "$(px $my 0 3000)" 273f89 "the mountains menu again"

# The user's own worksheet folder was made with an empty register; a saved worksheet lands there.
folder="$HOME/.local/share/habitara/multiple"
[ "$(od -An -c "$folder/track.txt" | tr -s ' ')" = " 0 \r \n" ] ||
    fail "the user's register is not an empty one: $(od -c "$folder/track.txt")"
click_at "$(px $mx 0 11182)" "$(px $my 0 8167)"                     # Exit the topic
expect_pixel "$(px $mx 0 9000)" "$(px $my 0 7400)" 004e98 "the main menu again"
click_at "$(px $mx 0 9517)" "$(px $my 0 6007)"                      # Multiple Choice Wizard
expect_pixel "$(px $mx 0 11000)" "$(px $my 0 300)" ffffff "the wizard's title box"
write_worksheet "Rivers of the World" "$folder"
printf ' 1\r\nRivers of the World\r\n' | cmp -s - "$folder/track.txt" ||
    fail "the user's register does not list the worksheet"
[ "$(ls -A "$folder")" = "Rivers of the World.txt"$'\n'track.txt ] ||
    fail "the worksheet folder holds more than the worksheet and its register: $(ls -A "$folder")"
click_at "$(px $mx 0 11182)" "$(px $my 0 8167)"                     # Exit the wizard

# No printer: a printed page is saved as a PDF in the user's documents folder instead.
click_at "$(px $mx 0 1717)" "$(px $my 0 1447)"                      # Teachers' Guide
click_at "$(px $mx 0 11242)" "$(px $my 0 367)"                      # Print
# "There was a problem printing to your printer." comes first; the copy is saved after it.
sleep 1
xdotool mousemove 512 384
sleep 0.3
xdotool key Return
for _ in $(seq 100); do
    ls "$HOME"/Documents/Habitara\ page\ *.pdf >/dev/null 2>&1 && break
    sleep 0.1
done
pdf=$(ls "$HOME"/Documents/Habitara\ page\ *.pdf 2>/dev/null) || fail "no PDF of the page was saved"
pdftotext "$pdf" - | grep -q "Getting Started" || fail "the saved PDF does not hold the guide's page"
kill "$program_pid"
wait "$program_pid" 2>/dev/null || true
program_pid=""

# The sound output loads after the first frame, once: a machine without sound says so at most
# once, not once a sound.
[ "$(grep -c "No audio device" "$log")" -le 1 ] || fail "\"No audio device\" was said more than once"

find "$root" -type f -exec sha256sum {} + | sort >"$work/after.txt"
diff "$work/before.txt" "$work/after.txt" >&2 || fail "the program changed its installed files"
[ -z "$(ls -A "$work/elsewhere")" ] || fail "the program wrote into the folder it was started in"
echo "1 passed, 0 failed"
