#!/usr/bin/env bash
# Which player the screensaver uses, under Wine with real input:
#   provisioning_test.sh LAUNCHER PLAIN.scr OLD.dll NEW.dll PREFIX REGVIEW(32|64)
# The test registers the player machine-wide, where COM looks on this system.
# With no player registered, or one older than 7.0.32.0, the packaged player is unpacked as
# flash.ocx into the run's temp directory; with a new enough one registered, nothing is unpacked.
# Either way the temp directory is empty after the run.
set -u
launcher="$1" plain="$2" old="$3" new="$4" prefix="$5" view="$6"
tools="$(cd "$(dirname "$0")/../../../tools" && pwd)"
if [ -z "${DISPLAY:-}" ]; then echo "no display: skipped"; exit 77; fi
export WINEPREFIX="$prefix" WINEDEBUG=-all
source "$(dirname "$0")/saver_test_lib.sh"

key='HKLM\Software\Classes\CLSID\{D27CDB6E-AE6D-11CF-96B8-444553540000}'
unregister() { wine reg delete "$key" /f "/reg:$view" >/dev/null 2>&1 || true; }
register() {  # register DLL: the player of that file under the real player's class id
  unregister
  wine reg add "$key\\InprocServer32" /ve /t REG_SZ /d "$(winpath "$1")" /f "/reg:$view" >/dev/null 2>&1 &&
    wine reg add "$key\\InprocServer32" /v ThreadingModel /t REG_SZ /d Apartment /f "/reg:$view" >/dev/null 2>&1 ||
    fail "could not register $1"
}
trap 'unregister; rm -rf "$work"' EXIT

# run NAME EXPECTED: runs the screensaver full screen and checks whether it unpacked the player.
run() {
  local name="$1" expected="$2" w unpacked=no
  start "$name" "$plain" /s
  w=$(window_of "$(basename "$plain")")
  [ -n "$w" ] || fail "$name: no window"
  settle
  [ -n "$(find "$work/$name" -iname flash.ocx 2>/dev/null)" ] && unpacked=yes
  [ "$unpacked" = "$expected" ] || fail "$name: player unpacked: $unpacked, expected $expected"
  xdotool mousemove 300 300 click 2
  finish "$name"
}

unregister
run none yes
register "$old"
run old yes
register "$new"
run new no

[ "$failures" -eq 0 ] || exit 1
echo "provisioning passed"
