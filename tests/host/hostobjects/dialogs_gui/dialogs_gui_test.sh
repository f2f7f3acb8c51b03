#!/usr/bin/env bash
# The standard dialogs opened by a script under Wine on the virtual display, answered with real
# keys:   dialogs_gui_test.sh VEXIL.exe PREFIX SCRIPT
# Each dialog is found by its title (they take 0.5-3 s to appear), focused, and answered with
# Return or Escape; the script prints what it got back.
set -u
runner="$1" prefix="$2" script="$3"
tools="$(cd "$(dirname "$0")/../../../../tools" && pwd)"
if [ -z "${DISPLAY:-}" ]; then echo "no display: skipped"; exit 77; fi
work=$(mktemp -d)
trap 'kill "$pid" 2>/dev/null; rm -rf "$work"' EXIT
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }
out="$work/run.out"
scratch="$work/scratch"
mkdir -p "$scratch"
echo "picked" >"$scratch/picked.txt"
winpath() { echo "Z:$1" | sed 's|/|\\|g'; }

"$tools/wine-run.sh" --prefix "$prefix" "$runner" "$script" "$(winpath "$scratch")" >"$out" 2>&1 &
pid=$!

wait_line() {
  for _ in $(seq 1 300); do
    grep -qF -- "$1" "$out" 2>/dev/null && return 0
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  fail "no '$1' from the script"
  return 1
}
# answer STEP TITLE KEY: when the script reaches STEP, wait for the window titled TITLE and press KEY.
answer() {
  wait_line "ready $1" || return
  local w=""
  for _ in $(seq 1 100); do
    w=$(xdotool search --onlyvisible --name "^$2\$" 2>/dev/null | head -n 1)
    [ -n "$w" ] && break
    sleep 0.1
  done
  [ -n "$w" ] || { fail "$1: no window titled '$2'"; return; }
  sleep 1  # the dialog fills its controls after it appears
  xdotool windowfocus --sync "$w" >/dev/null 2>&1
  xdotool key "$3"
  # The next step starts only when this dialog is gone.
  for _ in $(seq 1 50); do
    xdotool search --onlyvisible --name "^$2\$" >/dev/null 2>&1 || break
    sleep 0.1
  done
}

steps=(
  "msgbox ok|Vexil dialog test|Return"
  "msgbox cancel|Vexil dialog test|Escape"
  "open ok|Open|Return"
  "open cancel|Open|Escape"
  "save ok|Save As|Return"
  "save cancel|Save As|Escape"
  "color ok|Color|Return"
  "color cancel|Color|Escape"
  "font ok|Font|Return"
  "font cancel|Font|Escape"
  "browse ok|Browse for Folder|Return"
  "browse cancel|Browse for Folder|Escape"
)
for s in "${steps[@]}"; do
  IFS='|' read -r step title key <<<"$s"
  answer "$step" "$title" "$key"
done
for _ in $(seq 1 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
wait "$pid" || fail "the runner failed"

trace=$(tr -d '\r' <"$out")
scratch_win=$(winpath "$scratch")
expect() { grep -qxF -- "$1" <<<"$trace" || fail "output lacks '$1'"; }
[ "$(grep -c '^msgBox -> 1$' <<<"$trace")" -eq 1 ] || fail "OK did not answer 1"
expect "msgBox -> 2"
expect "fileOpen -> $scratch_win\\picked.txt"
expect "fileOpen -> false"
expect "fileSave -> $scratch_win\\new name.txt"
expect "fileSave -> false"
expect "chooseColor -> 16711680"
expect "chooseColor -> false"
grep -qxF 'chooseFont -> [object FontObject] true 14 255 true' <<<"$trace" || fail "the font dialog's answer"
expect "chooseFont -> undefined"
expect "browse -> C:\\windows\\system32"
expect "browse -> false"
expect "done"
if [ "$failures" -gt 0 ]; then
  echo "--- output"; echo "$trace"
  exit 1
fi
echo "dialogs: all checks passed"
