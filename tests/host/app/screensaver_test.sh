#!/usr/bin/env bash
# The screensaver executable under Wine on the virtual display, driven by real input:
#   screensaver_test.sh LAUNCHER HOTKEY.scr PLAIN.scr MOUSE.scr PREFIX SHOTDIR
# HOTKEY wakes on Esc and Ctrl+Alt+Q and suppresses CD autorun; PLAIN wakes on nothing (only the
# middle button); MOUSE wakes on mouse movement. Every run gets its own temporary directory, which
# must be empty again after the run.
set -u
launcher="$1" hotkey="$2" plain="$3" mouse="$4" prefix="$5" shots="$6"
tools="$(cd "$(dirname "$0")/../../../tools" && pwd)"
if [ -z "${DISPLAY:-}" ]; then echo "no display: skipped"; exit 77; fi
mkdir -p "$shots"
export WINEPREFIX="$prefix" WINEDEBUG=-all
source "$(dirname "$0")/saver_test_lib.sh"
# Right after a session end Wine's server may still be going down, and one query can come back
# with nothing: an empty answer is asked again (a wrong value is not).
autorun() {
  local value=""
  for _ in 1 2 3 4 5; do
    value=$(wine reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Policies\Explorer' /v NoDriveTypeAutoRun \
              2>/dev/null | grep -o '0x[0-9a-fA-F]*' | head -n 1)
    [ -n "$value" ] && break
    sleep 1
  done
  echo "$value"
}

# A mode that ends at once, with no window. (/c and no argument show the settings dialog: the
# settings tests drive it.)
start quick "$hotkey" /x
finish quick

# Full screen with the hot key and the autorun option: 0x91 becomes 0xB1 while running.
wine reg add 'HKCU\Software\Microsoft\Windows\CurrentVersion\Policies\Explorer' /v NoDriveTypeAutoRun \
  /t REG_DWORD /d 0x91 /f >/dev/null 2>&1
start hotkey "$hotkey" /S
w=$(window_of "$(basename "$hotkey")")
[ -n "$w" ] || fail "hot-key saver: no window"
settle
"$tools/screenshot.sh" "$shots/fullscreen.png"
[ "$(autorun)" = "0xb1" ] || fail "autorun while running: $(autorun)"
xdotool windowactivate --sync "$w" >/dev/null 2>&1
xdotool key q; settle
alive || fail "Q alone ended the screensaver"
xdotool key ctrl+q; settle
alive || fail "Ctrl+Q ended the screensaver"
xdotool key ctrl+alt+shift+q
finish hotkey
[ "$(autorun)" = "0x91" ] || fail "autorun after exit: $(autorun)"
wine reg delete 'HKCU\Software\Microsoft\Windows\CurrentVersion\Policies\Explorer' /v NoDriveTypeAutoRun /f \
  >/dev/null 2>&1

# Wake-up method 0: Esc and mouse movement do nothing, the middle button ends it.
start plain "$plain" -s
w=$(window_of "$(basename "$plain")")
[ -n "$w" ] || fail "plain saver: no window"
xdotool windowactivate --sync "$w" >/dev/null 2>&1
xdotool key Escape; xdotool mousemove 200 200; xdotool mousemove 400 300; settle
alive || fail "Esc or a movement ended a saver that wakes on nothing"
xdotool click 2
finish plain

# Mouse movement: the first position is only a starting point. /setdefault is a switch here.
xdotool mousemove 640 512
start mouse "$mouse" /setdefault
w=$(window_of "$(basename "$mouse")")
[ -n "$w" ] || fail "mouse saver: no window"
xdotool windowactivate --sync "$w" >/dev/null 2>&1
xdotool mousemove 640 512; settle
alive || fail "the first mouse position ended the screensaver"
xdotool mousemove 700 600
finish mouse

# -SETDEFAULT installs (by the short path) and exits; the user's own choice is put back after.
desktop='HKCU\Control Panel\Desktop'
saved=$(wine reg query "$desktop" /v SCRNSAVE.EXE 2>/dev/null | sed -n 's/.*REG_SZ *//p' | tr -d '\r')
start install "$plain" -SETDEFAULT
finish install
installed=$(wine reg query "$desktop" /v SCRNSAVE.EXE 2>/dev/null | sed -n 's/.*REG_SZ *//p' | tr -d '\r')
case "${installed^^}" in *.SCR) ;; *) fail "-SETDEFAULT installed '$installed'" ;; esac
if [ -n "$saved" ]; then
  wine reg add "$desktop" /v SCRNSAVE.EXE /t REG_SZ /d "$saved" /f >/dev/null 2>&1
else
  wine reg delete "$desktop" /v SCRNSAVE.EXE /f >/dev/null 2>&1
fi

# The session ends under a running screensaver: it cleans up before the system ends it, autorun
# setting included.
wine reg add 'HKCU\Software\Microsoft\Windows\CurrentVersion\Policies\Explorer' /v NoDriveTypeAutoRun \
  /t REG_DWORD /d 0x91 /f >/dev/null 2>&1
start endsession --endsession "$hotkey" /s
for _ in $(seq 1 200); do grep -q "endsession" "$work/endsession.out" && break; sleep 0.1; done
grep -q "endsession allowed=1 temp=empty" "$work/endsession.out" || fail "end of session: $(cat "$work/endsession.out")"
finish endsession
[ "$(autorun)" = "0x91" ] || fail "autorun after the session ended: $(autorun)"
wine reg delete 'HKCU\Software\Microsoft\Windows\CurrentVersion\Policies\Explorer' /v NoDriveTypeAutoRun /f \
  >/dev/null 2>&1

# Preview inside a parent window made by the launcher.
start preview --preview "$plain"
for _ in $(seq 1 100); do grep -q "preview" "$work/preview.out" && break; sleep 0.1; done
# The preview is a child of that window and covers its client area.
grep -qE "preview shown ([0-9]+x[0-9]+) of \1" "$work/preview.out" || fail "preview: $(cat "$work/preview.out")"
settle
"$tools/screenshot.sh" "$shots/preview.png"
touch "$work/preview.close"
finish preview

[ "$failures" -eq 0 ] || exit 1
echo "screensaver runs passed"
