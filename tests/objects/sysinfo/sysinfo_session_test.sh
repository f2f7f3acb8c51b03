#!/usr/bin/env bash
# SysInfo's writes and its session ends, in a throwaway Wine prefix of this test's own (nothing it
# changes reaches the shared test prefix):
#  - the version: the prefix is set to Windows 10; the runner answers what `cmd /c ver` says, and
#    the same runner stripped of its resources (its manifest) gets the older version Wine gives
#    programs that do not name the system as supported;
#  - screensaver settings and the computer name written by the class, read back by the class and
#    by `reg query`;
#  - logOff, shutdown, reboot and powerOff: Wine ends the session by asking every program with
#    windows to end and ending it (the runner itself, having no window, carries on). The test
#    starts Wine's notepad, calls the member, and sees notepad end; a run that calls nothing
#    leaves notepad running.
# Usage: sysinfo_session_test.sh WINE_RUN RUNNER WORKDIR OBJCOPY
set -u
wine_run="$1" runner="$2" work="$3" objcopy="$4"
# notepad needs a display
[ -n "${DISPLAY:-}" ] || { echo "no display: skipped"; exit 77; }
prefix="$work/prefix"
notepad=""
cleanup() {
  WINEPREFIX="$prefix" wineserver -k >/dev/null 2>&1
  rm -rf "$work"
}
rm -rf "$work"
mkdir -p "$work"
trap cleanup EXIT
winpath() { echo 'Z:'"${1//\//\\}"; }
run() {  # run OUTPUT PROGRAM ARGS...
  local out="$1"
  shift
  timeout 60 "$wine_run" --prefix "$prefix" "$@" >"$work/$out" 2>&1
  local status=$?
  [ $status -eq 0 ] || echo "(exit status $status)" >>"$work/$out.status"
  return $status
}
script() {  # script NAME TEXT: writes NAME.vxs
  printf '%s\n' "$2" >"$work/$1.vxs"
}
failed=0
expect() {
  if [ "$2" != "$3" ]; then
    echo "$1: got '$2', expected '$3'"
    failed=1
  fi
}
numbers() { grep -oE '[0-9]+\.[0-9]+\.[0-9]+' | head -1 | awk -F. '{ printf "%d.%d.%d", $1, $2, $3 }'; }

# --- version
run reg.txt reg add 'HKCU\Software\Wine' /v Version /d win10 /f
[ $? -eq 77 ] && exit 77
script version 'trace(SysInfo.version);'
"$objcopy" --remove-section .rsrc "$runner" "$work/plain.exe"
run version.txt "$runner" "$(winpath "$work/version.vxs")"
run version_plain.txt "$work/plain.exe" "$(winpath "$work/version.vxs")"
run ver.txt cmd /c ver
expect "version" "$(numbers <"$work/version.txt")" "$(tr -d '\r' <"$work/ver.txt" | numbers)"
expect "version named by cmd" "$(tr -d '\r' <"$work/ver.txt" | numbers | cut -d. -f1)" "10"
plain="$(numbers <"$work/version_plain.txt")"
[ -n "$plain" ] && [ "$plain" != "$(numbers <"$work/version.txt")" ] ||
  { echo "version without the manifest: '$plain' (expected an older one)"; failed=1; }

# --- screensaver settings
script settings '
SysInfo.screenSaverTimeout = 600;
trace(SysInfo.screenSaverTimeout);
SysInfo.screenSaverActive = false;
trace(SysInfo.screenSaverActive);
SysInfo.screenSaverActive = 1;
trace(SysInfo.screenSaverActive);
var saver = SysInfo.sysDir + "\\notepad.exe";
SysInfo.screenSaver = saver;
trace(SysInfo.screenSaver.toLowerCase() == saver.toLowerCase());
SysInfo.screenSaver = "C:\\no such folder\\none.scr";
trace(SysInfo.screenSaver.toLowerCase() == saver.toLowerCase());
SysInfo.screenSaverTimeout = "12";
trace(SysInfo.screenSaverTimeout);
SysInfo.computerName = "VEXILPC";
trace(SysInfo.computerName != "VEXILPC");'
run settings.txt "$runner" "$(winpath "$work/settings.vxs")"
expect "settings" "$(tr -d '\r' <"$work/settings.txt" | paste -sd' ')" "600 false true true true 600 true"
run reg_query.txt reg query 'HKCU\Control Panel\Desktop' /v SCRNSAVE.EXE
grep -qi 'SCRNSAVE.EXE.*REG_SZ.*C:\\windows\\system32\\notepad.exe' "$work/reg_query.txt" ||
  { echo "reg query does not show the screensaver:"; cat "$work/reg_query.txt"; failed=1; }

# The new computer name is the one the system takes at its next start: stored, not yet in use.
run name_query.txt reg query 'HKLM\System\CurrentControlSet\Control\ComputerName\ComputerName' /v ComputerName
grep -q 'ComputerName.*REG_SZ.*VEXILPC' "$work/name_query.txt" ||
  { echo "reg query does not show the new computer name:"; cat "$work/name_query.txt"; failed=1; }

# --- ending the session
alive() { kill -0 "$1" 2>/dev/null; }
for member in none logOff shutdown reboot powerOff; do
  setsid "$wine_run" --prefix "$prefix" notepad >"$work/notepad-$member.txt" 2>&1 &
  notepad=$!
  sleep 3
  alive "$notepad" || { echo "$member: notepad did not start"; failed=1; continue; }
  if [ "$member" = none ]; then
    script end 'trace("returned");'
  else
    script end "SysInfo.$member(); trace(\"returned\");"
  fi
  run end-$member.txt "$runner" "$(winpath "$work/end.vxs")"
  expect "$member: the runner" "$(tr -d '\r' <"$work/end-$member.txt")" "returned"
  for _ in $(seq 1 50); do alive "$notepad" || break; sleep 0.2; done
  if [ "$member" = none ]; then
    alive "$notepad" || { echo "notepad ended without a session end"; failed=1; }
    WINEPREFIX="$prefix" wineserver -k >/dev/null 2>&1
    wait "$notepad" 2>/dev/null
  else
    alive "$notepad" && { echo "$member: notepad still runs: the session did not end"; failed=1; }
  fi
  wait "$notepad" 2>/dev/null
done

if [ $failed -ne 0 ]; then
  for f in "$work"/*.txt "$work"/*.status; do [ -f "$f" ] && { echo "--- $f"; cat "$f"; }; done
  exit 1
fi
echo "sysinfo session: ok"
