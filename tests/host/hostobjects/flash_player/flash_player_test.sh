#!/usr/bin/env bash
# FlashPlayer and MovieClip inside the real screensaver, under Wine on the virtual display:
#   flash_player_test.sh LAUNCHER SAVER.scr PREFIX HOSTED.swf PROJECTOR.exe PLAYER.dll
# The movie's first frame runs the start-up script's checks, which write a trace file named in the
# profile and end with "done"; the test takes a screenshot (the control the script placed over the
# movie shows its own movie's colour in its rectangle), wakes the screensaver with Esc and reads
# the trace.
set -u
launcher="$1" saver="$2" prefix="$3" hosted="$4" projector="$5" player="$6"
tools="$(cd "$(dirname "$0")/../../../../tools" && pwd)"
if [ -z "${DISPLAY:-}" ]; then echo "no display: skipped"; exit 77; fi
export WINEPREFIX="$prefix" WINEDEBUG=-all
source "$(dirname "$0")/../../app/saver_test_lib.sh"

profile='HKCU\Software\Vexil Tests\flash_player_saver\Test'
trace_file="$work/trace.txt"
wine reg add "$profile" /v trace /t REG_SZ /d "$(winpath "$trace_file")" /f >/dev/null 2>&1
wine reg add "$profile" /v compressed /t REG_SZ /d "$(winpath "$hosted")" /f >/dev/null 2>&1
wine reg add "$profile" /v exe /t REG_SZ /d "$(winpath "$projector")" /f >/dev/null 2>&1
wine reg add "$profile" /v player /t REG_SZ /d "$(winpath "$player")" /f >/dev/null 2>&1

start run "$saver" /s
w=$(window_of "$(basename "$saver")")
[ -n "$w" ] || fail "no window"
for _ in $(seq 1 150); do
  grep -q "^done" "$trace_file" 2>/dev/null && break
  sleep 0.1
done
settle
"$tools/screenshot.sh" "$work/shot.png"
colour() { convert "$work/shot.png" -format "%[hex:p{$1,$2}]" info: 2>/dev/null | cut -c1-6; }
[ "$(colour 60 45)" = "60A040" ] || fail "inside the hosted control's rectangle: $(colour 60 45), not 60A040"
[ "$(colour 300 300)" = "204060" ] || fail "the movie around it: $(colour 300 300), not 204060"
[ "$(colour 5 500)" = "204060" ] || fail "left of the hosted control: $(colour 5 500), not 204060"
xdotool windowactivate --sync "$w" >/dev/null 2>&1
xdotool key Escape
finish run
wine reg delete 'HKCU\Software\Vexil Tests\flash_player_saver' /f >/dev/null 2>&1

expected="$(dirname "$0")/flash_player.expected"
if [ ! -f "$trace_file" ]; then
  fail "no trace file"
elif ! diff <(tr -d '\r' <"$trace_file") "$expected" >"$work/diff.txt"; then
  fail "trace differs from flash_player.expected:"; cat "$work/diff.txt"
fi
[ "$failures" -eq 0 ] && echo "flash player: ok"
[ "$failures" -eq 0 ]
