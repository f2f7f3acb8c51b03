#!/usr/bin/env bash
# The Application and Preferences objects inside the real screensaver, under Wine on the virtual
# display:   app_objects_test.sh LAUNCHER SAVER.scr PREFIX
# The package's start-up script writes what it sees to a trace file named in its profile; the test
# starts it with a known command line, waits for its timers to reach the script that pumps
# messages, wakes it with Esc (which its main window's onQueryClose refuses once), wakes it again
# and reads the trace back.
set -u
launcher="$1" saver="$2" prefix="$3"
tools="$(cd "$(dirname "$0")/../../../tools" && pwd)"
if [ -z "${DISPLAY:-}" ]; then echo "no display: skipped"; exit 77; fi
export WINEPREFIX="$prefix" WINEDEBUG=-all
source "$(dirname "$0")/../app/saver_test_lib.sh"

profile='HKCU\Software\Vexil Tests\app_objects_saver\Test'
trace_file="$work/trace.txt"
wine reg add "$profile" /v trace /t REG_SZ /d "$(winpath "$trace_file")" /f >/dev/null 2>&1

expect() {  # expect LINE: the trace holds that exact line
  grep -qxF -- "$1" <(tr -d '\r' <"$trace_file") || fail "trace lacks '$1'"
}

# The errors no script caught go to the saver's error log under the user's local application data.
error_logs=("$prefix"/drive_c/users/*/AppData/Local/"Vexil Tests"/app_objects_saver/errors.log)
rm -f "${error_logs[@]}"
start run "$saver" /s '"a b"' "'c'" d
w=$(window_of "$(basename "$saver")")
[ -n "$w" ] || fail "no window"
for _ in $(seq 1 100); do
  grep -q "waits" "$trace_file" 2>/dev/null && break
  sleep 0.1
done
alive || fail "the screensaver ended before it was asked to"
xdotool windowactivate --sync "$w" >/dev/null 2>&1
xdotool key Escape
for _ in $(seq 1 50); do
  grep -q "query close 1" "$trace_file" 2>/dev/null && break
  sleep 0.1
done
settle
alive || fail "the screensaver ended although onQueryClose refused"
xdotool windowactivate --sync "$w" >/dev/null 2>&1
xdotool key Escape
finish run
wine reg delete 'HKCU\Software\Vexil Tests\app_objects_saver' /f >/dev/null 2>&1

if [ ! -f "$trace_file" ]; then
  fail "no trace file"
else
  expect "items 4: /s|a b|c|d"
  expect "isScr true isPreview false"
  expect "objects [object Application] [object Preferences] true"
  expect "wake 63"
  expect "hotkey CTRL+ALT+F5"
  expect "hotkey ALT+P"
  expect "wakeup 16"
  expect "movies 2"
  expect "hook kept true"
  expect "fraction 0"
  expect "no callee 0"
  expect "tick id true"
  expect "loaded second true"
  expect "base true"
  expect "base kept true"
  expect "movie second"
  expect "tick 1 x7"
  expect "tick 3 x7"
  expect "pump throws"
  expect "pump p waits"
  expect "late tick inside processMsg"
  expect "processMsg false"
  expect "query close 1"
  expect "query close 2"
  expect "closing"
  # Compiled without line records, the failures name their functions; the trace has them too.
  expect "Timer callback failed: in pumpRun(): a timer callback that throws"
  expect "Start-up hook failed: in movieLoaded(): a hook that throws changes nothing"
  error_logs=("$prefix"/drive_c/users/*/AppData/Local/"Vexil Tests"/app_objects_saver/errors.log)
  log="${error_logs[0]}"
  if [ ! -f "$log" ]; then
    fail "no error log"
  else
    head -1 "$log" | grep -q "^--- [0-9-]* [0-9:]* app_objects_saver /s" || fail "error log head: $(head -1 "$log")"
    grep -qF "Timer callback failed: in pumpRun(): a timer callback that throws" "$log" || fail "timer failure not logged"
    grep -qF "Start-up hook failed: in movieLoaded(): a hook that throws changes nothing" "$log" ||
      fail "hook failure not logged"
  fi
  grep -q "tick 4" "$trace_file" && fail "the cleared timer went on"
  grep -q "movie first" "$trace_file" && fail "the first movie was played despite the hook"
  [ "$(grep -c "late tick" "$trace_file")" -eq 1 ] || fail "a cleared timer fired again"
  [ "$(grep -c "hotkey" "$trace_file")" -eq 3 ] || fail "hot-key lines: $(grep hotkey "$trace_file")"
fi
if [ "$failures" -gt 0 ]; then
  echo "--- trace"; cat "$trace_file" 2>/dev/null
  echo "--- output"; cat "$work/run.out"
  exit 1
fi
echo "Application objects: all checks passed"
