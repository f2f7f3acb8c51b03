#!/usr/bin/env bash
# The sheet fits a 1024x768 screen at 96 and at 144 dots per inch, shows a Help button when the
# package names a help file, and its About page shows the package's texts:
#   settings_layout_test.sh LAUNCHER PLAIN.scr TEXTS.scr MOVIE.scr PROBE.exe PREFIX
# PLAIN has version 2.5, an e-mail link with a caption and a picture; TEXTS has the version
# "version 3.0", an e-mail address without "mailto:" and no caption for it, and a help file; MOVIE
# shows its first movie on the About page, in the player it carries.
set -u
launcher="$1" plain="$2" texts="$3" movie="$4" probe_exe="$5" prefix="$6"
tools="$(cd "$(dirname "$0")/../../../tools" && pwd)"
if [ -z "${DISPLAY:-}" ]; then echo "no display: skipped"; exit 77; fi
command -v xdotool >/dev/null || { echo "no xdotool: skipped"; exit 77; }
source "$(dirname "$0")/settings_test_lib.sh"

set_dpi() {
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
  wine reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' /v LogPixels \
    /t REG_DWORD /d "$1" /f >/dev/null 2>&1
}

# open_about NAME SCR DPI: the sheet of SCR, its size checked; its controls are left in NAME.sheet,
# and those of the About page, chosen by a click on its tab, in NAME.about.
open_about() {
  start "$1" "$2" /c
  w=$(sheet_window)
  [ -n "$w" ] || { fail "$1: no sheet"; return; }
  sleep 0.5
  geometry=$(xdotool getwindowgeometry "$w" 2>/dev/null | sed -n 's/.*Geometry: *//p')
  width=${geometry%x*} height=${geometry#*x}
  echo "$1: sheet ${width}x${height}"
  { [ "${width:-9999}" -le 1024 ] && [ "${height:-9999}" -le 768 ]; } || fail "$1: sheet $geometry exceeds 1024x768"
  probe >"$work/$1.sheet"
  # Wine's sheet takes no Ctrl+Tab; the tab sits at (125, 18) at 96 dpi, further out with the font.
  xdotool mousemove --window "$w" $((125 * $3 / 96)) $((18 * $3 / 96)) click 1
  sleep 0.5
  probe >"$work/$1.about"
  focus "$w"
  xdotool key Escape
  finish "$1"
}
expect() {  # expect NAME LINE...
  local name="$1"; shift
  for line in "$@"; do grep -qF "$line" "$work/$name" || fail "$name: no '$line' in: $(cat "$work/$name")"; done
}

sizes=()
for dpi in 96 144; do
  set_dpi "$dpi"
  open_about "plain$dpi" "$plain" "$dpi"
  sizes+=("$width")
done
# The larger font makes a larger sheet: the setting was in force.
[ "${sizes[1]:-0}" -gt "${sizes[0]:-0}" ] || fail "the sheet at 144 dpi is not wider than at 96: ${sizes[*]}"
expect plain96.about "control 6003 Static 0 1 Settings Test Saver" "control 6004 Static 0 1 Version 2.5" \
  "control 6005 Static 0 1 Made for the tests" "control 6010 ORVURL 0 1 Vexil on the web" \
  "control 6011 ORVURL 0 1 Write to us" "Physical memory available to Windows:" "Memory usage:"
expect plain144.about "control 6003 Static 0 1 Settings Test Saver"
grep -qE "^control 9 Button 0 1 " "$work/plain96.sheet" && fail "a Help button without a help file"

set_dpi 96
open_about texts "$texts" 96
expect texts.about "control 6003 Static 0 1 Texts Saver" "control 6004 Static 0 1 version 3.0" \
  "control 6011 ORVURL 0 1 mailto:me@example.org"
expect texts.sheet "control 9 Button 0 1 Help"

# The movie plays in a player over the picture area (its window has the page's player id, 65535),
# and no warning about a missing player comes up.
open_about movie "$movie" 96
expect movie.about "control 6003 Static 0 1 Movie Saver" "control 65535 "
grep -qE "^control 6000 Static 0 1 " "$work/movie.about" && fail "the picture area shows beside the player"

[ "$failures" -eq 0 ] || exit 1
echo "settings layout passed"
