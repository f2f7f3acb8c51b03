#!/usr/bin/env bash
# A script's menus in the real screensaver: the menu bar goes on the full-screen window, a pop-up
# chosen with Down Down Return gives the script its command, and the accelerator Ctrl+K reaches
# onCommand through the window:   menus_test.sh LAUNCHER MENUS.scr PREFIX
set -u
launcher="$1" saver="$2" prefix="$3"
tools="$(cd "$(dirname "$0")/../../../../tools" && pwd)"
if [ -z "${DISPLAY:-}" ]; then echo "no display: skipped"; exit 77; fi
command -v xdotool >/dev/null || { echo "no xdotool: skipped"; exit 77; }
source "$(dirname "$0")/../../settings/settings_test_lib.sh"

trace_file="$work/trace.txt"
wine reg add 'HKCU\Software\Vexil Tests\menus_saver\Test' /v trace /t REG_SZ /d "$(winpath "$trace_file")" \
  /f >/dev/null 2>&1
wait_trace() {  # wait_trace TEXT: up to 30 s for the script to trace a line holding TEXT
  for _ in $(seq 1 300); do
    grep -qF -- "$1" "$trace_file" 2>/dev/null && return 0
    alive || break
    sleep 0.1
  done
  fail "no '$1' in the trace: $(cat "$trace_file" 2>/dev/null)"
  return 1
}

start menus "$saver" /s
s=$(timeout 30 xdotool search --sync --onlyvisible --classname "$(basename "$saver")" 2>/dev/null | tail -n 1)
[ -n "$s" ] || fail "no window"
wait_trace "menu bar true"
wait_trace "ready" && {
  sleep 2
  focus "$s"
  xdotool key --delay 150 Down Down Return
}
wait_trace "chosen two"
sleep 0.5
focus "$s"
xdotool key ctrl+k
wait_trace "onCommand second"
[ "$(grep -c '^onCommand' "$trace_file")" -eq 1 ] || fail "onCommand ran for the pop-up choice too: $(cat "$trace_file")"
focus "$s"
xdotool click 2
finish menus

[ "$failures" -eq 0 ] || exit 1
echo "menus through the main window passed"
