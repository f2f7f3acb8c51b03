#!/usr/bin/env bash
# Script menus under Wine on the virtual display, driven with real keys:
#   menu_gui_test.sh VEXIL.exe PREFIX SCRIPT [SCREENSHOT.png]
# The script opens a pop-up twice (the test picks the second item with Down Down Return, then
# closes it with Escape) and then waits in the message loop for the accelerator Ctrl+K. A pop-up
# has no title: keys go to its owner, the console runner's one-pixel "Vexil menus" window.
set -u
runner="$1" prefix="$2" script="$3" shot="${4:-}"
tools="$(cd "$(dirname "$0")/../../../../tools" && pwd)"
if [ -z "${DISPLAY:-}" ]; then echo "no display: skipped"; exit 77; fi
work=$(mktemp -d)
trap 'kill "$pid" 2>/dev/null; rm -rf "$work"' EXIT
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }
out="$work/run.out"

"$tools/wine-run.sh" --prefix "$prefix" "$runner" "$script" >"$out" 2>&1 &
pid=$!

wait_line() {  # wait_line TEXT: up to 30 s for the script to print a line holding TEXT
  for _ in $(seq 1 300); do
    grep -qF -- "$1" "$out" 2>/dev/null && return 0
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  fail "no '$1' from the script"
  return 1
}
owner() { xdotool search --sync --name "Vexil menus" 2>/dev/null | head -n 1; }
# The pop-up takes a moment after the owner comes forward; keys sent earlier go nowhere.
press() {  # press KEY...: focus the owner and send the keys
  local w
  w=$(owner)
  [ -n "$w" ] || { fail "no owner window"; return; }
  xdotool windowfocus --sync "$w" >/dev/null 2>&1
  xdotool key --delay 150 "$@"
}

wait_line "ready 1" && {
  sleep 2
  [ -n "$shot" ] && import -window root -crop 260x160+40+40 "$shot" 2>/dev/null
  press Down Down Return
}
wait_line "ready 2" && { sleep 2; press Escape; }
wait_line "ready 3" && { sleep 1; press ctrl+k; }
for _ in $(seq 1 300); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
wait "$pid" || fail "the runner failed"

trace=$(tr -d '\r' <"$out")
expect() { grep -qxF -- "$1" <<<"$trace" || fail "output lacks '$1'"; }
expect "chosen second"
expect "chosen undefined"  # null reads as "undefined" in text
expect "onCommand second this [object Menu]"
expect "accelerator gave second"
[ "$(grep -c '^onCommand' <<<"$trace")" -eq 1 ] || fail "onCommand ran for a pop-up choice too"
if [ "$failures" -gt 0 ]; then
  echo "--- output"; echo "$trace"
  exit 1
fi
echo "menus: all checks passed"
