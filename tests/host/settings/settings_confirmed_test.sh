#!/usr/bin/env bash
# The settings dialog edited with real keys and confirmed with OK; the next full-screen run follows
# the new settings:   settings_confirmed_test.sh LAUNCHER SAVER.scr PROBE.exe PREFIX SHOTDIR
# The saver's package wakes on Esc only, with no hot key and no background colour of its own.
set -u
launcher="$1" saver="$2" probe_exe="$3" prefix="$4" shots="$5"
tools="$(cd "$(dirname "$0")/../../../tools" && pwd)"
if [ -z "${DISPLAY:-}" ]; then echo "no display: skipped"; exit 77; fi
command -v xdotool >/dev/null || { echo "no xdotool: skipped"; exit 77; }
mkdir -p "$shots"
source "$(dirname "$0")/settings_test_lib.sh"

start sheet "$saver" /c
w=$(sheet_window)
[ -n "$w" ] || { fail "no sheet"; cat "$work/sheet.out"; exit 1; }
sleep 1
"$tools/screenshot.sh" "$shots/settings_sheet.png"
before=$(probe)
for line in "control 1145 Button 1 1 ESC" "control 1004 Button 0 1 Right mouse button click" \
            "control 1166 Button 0 1 0xFFFFFF" "control 1011 msctls_hotkey32" "control 12320 SysTabControl32"; do
  grep -qF "$line" <<<"$before" || fail "before editing, no '$line' in: $before"
done
# No Apply button; no Help button, as the package names no help file.
grep -qE "^control (12321|9) Button [01] 1 " <<<"$before" && fail "Apply or Help shown: $before"

# The first box has the focus. Right button, Custom Hot Key with Ctrl+Alt+W, Custom background
# colour, then the colour button opens the colour dialog, whose Red field has the focus.
focus "$w"
xdotool key Tab space Tab Tab Tab Tab space Tab ctrl+alt+w Tab space Tab space
c=$(timeout 30 xdotool search --sync --name '^Color$' 2>/dev/null | head -n 1)
[ -n "$c" ] || fail "no colour dialog"
focus "$c"
xdotool type 51; xdotool key Tab; xdotool type 102; xdotool key Tab; xdotool type 153; xdotool key Return
sleep 1
after=$(probe)
for line in "control 1004 Button 1 1" "control 1146 Button 1 1" "control 1015 Button 1 1" \
            "control 1166 Button 0 1 0x336699"; do
  grep -qF "$line" <<<"$after" || fail "after editing, no '$line' in: $after"
done
focus "$w"
xdotool key Return
finish sheet
stored saver_settings >"$work/stored"
grep -q "crc" "$work/stored" || fail "no stamp stored with the options: $(cat "$work/stored")"

# Full screen: the colour shows around the movie; a left click does nothing; Ctrl+Alt+W ends it.
start hotkey "$saver" /s
s=$(timeout 30 xdotool search --sync --onlyvisible --classname "$(basename "$saver")" 2>/dev/null | tail -n 1)
[ -n "$s" ] || fail "full screen: no window"
sleep 2
"$tools/screenshot.sh" "$work/full.png"
pixel=$(convert "$work/full.png" -format '%[hex:p{3,3}]' info: 2>/dev/null)
case "$pixel" in 336699*) ;; *) fail "background pixel $pixel, not 336699" ;; esac
focus "$s"
xdotool click 1; sleep 1
alive || fail "a left click ended a saver that wakes on the right button"
xdotool key ctrl+alt+w
finish hotkey

# The newly allowed right button ends it.
start right "$saver" /s
s=$(timeout 30 xdotool search --sync --onlyvisible --classname "$(basename "$saver")" 2>/dev/null | tail -n 1)
[ -n "$s" ] || fail "second full-screen run: no window"
sleep 1
focus "$s"
xdotool click 3
finish right

[ "$failures" -eq 0 ] || exit 1
echo "settings confirmed passed"
