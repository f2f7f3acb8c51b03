#!/usr/bin/env bash
# Shell.runAndWait inside the real screensaver, under Wine on the virtual display:
#   shell_saver_test.sh LAUNCHER SAVER.scr PREFIX CHILD.exe
# The start-up script waits for a child that sleeps for a minute. A key press during the wait must
# end the screensaver while the child still sleeps (it has not written its "done" file), and the
# script's wait must have returned. The child is then ended by its process id.
set -u
launcher="$1" saver="$2" prefix="$3" child="$4"
tools="$(cd "$(dirname "$0")/../../../../tools" && pwd)"
if [ -z "${DISPLAY:-}" ]; then echo "no display: skipped"; exit 77; fi
export WINEPREFIX="$prefix" WINEDEBUG=-all
source "$(dirname "$0")/../../app/saver_test_lib.sh"

profile='HKCU\Software\Vexil Tests\shell_saver\Test'
trace_file="$work/trace.txt"
mkdir -p "$work/scratch"
wine reg add "$profile" /v trace /t REG_SZ /d "$(winpath "$trace_file")" /f >/dev/null 2>&1
wine reg add "$profile" /v child /t REG_SZ /d "$(winpath "$child")" /f >/dev/null 2>&1
wine reg add "$profile" /v scratch /t REG_SZ /d "$(winpath "$work/scratch")" /f >/dev/null 2>&1

start run "$saver" /s
w=$(window_of "$(basename "$saver")")
[ -n "$w" ] || fail "no window"
for _ in $(seq 1 200); do
  [ -s "$work/scratch/pid.txt" ] && break
  sleep 0.1
done
[ -s "$work/scratch/pid.txt" ] || fail "the child never started"
grep -q "waiting" "$trace_file" 2>/dev/null || fail "the script did not begin its wait"
settle
alive || fail "the screensaver ended before any input"
xdotool windowactivate --sync "$w" >/dev/null 2>&1
xdotool key a
# The child sleeps for a minute; the screensaver must end while it still sleeps.
for _ in $(seq 1 400); do
  alive || break
  [ -e "$work/scratch/done.txt" ] && break
  sleep 0.1
done
alive && fail "the screensaver did not end on a key press during runAndWait"
[ -e "$work/scratch/done.txt" ] && fail "the screensaver ended only after the child"
finish run
child_pid=$(tr -d '\r\n' <"$work/scratch/pid.txt" 2>/dev/null)
[ -n "$child_pid" ] && wine taskkill /f /pid "$child_pid" >/dev/null 2>&1
wine reg delete 'HKCU\Software\Vexil Tests\shell_saver' /f >/dev/null 2>&1

grep -qxF "runAndWait returned" <(tr -d '\r' <"$trace_file") || fail "the wait did not return"
if [ "$failures" -gt 0 ]; then
  echo "--- trace"; cat "$trace_file" 2>/dev/null
  echo "--- output"; cat "$work/run.out"
  exit 1
fi
echo "runAndWait in the screensaver: all checks passed"
