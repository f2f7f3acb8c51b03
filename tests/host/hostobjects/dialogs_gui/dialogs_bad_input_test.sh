#!/usr/bin/env bash
# Standard dialogs given input at or past their limits (64 KB texts, a filter without pairs, a
# missing initial folder, font sizes of 0 and 10,000 points, a colour above 0xFFFFFF), answered with
# real keys under Wine:   dialogs_bad_input_test.sh VEXIL.exe PREFIX SCRIPT
set -u
runner="$1" prefix="$2" script="$3"
tools="$(cd "$(dirname "$0")/../../../../tools" && pwd)"
if [ -z "${DISPLAY:-}" ]; then echo "no display: skipped"; exit 77; fi
work=$(mktemp -d)
trap 'kill "$pid" 2>/dev/null; rm -rf "$work"' EXIT
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }
out="$work/run.out"
"$tools/wine-run.sh" --prefix "$prefix" "$runner" "$script" >"$out" 2>&1 &
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
# answer STEP TITLE-START KEY
answer() {
  wait_line "ready $1" || return
  local w=""
  for _ in $(seq 1 100); do
    w=$(xdotool search --onlyvisible --name "^$2" 2>/dev/null | head -n 1)
    [ -n "$w" ] && break
    sleep 0.1
  done
  [ -n "$w" ] || { fail "$1: no window titled '$2...'"; return; }
  sleep 1
  xdotool windowfocus --sync "$w" >/dev/null 2>&1
  xdotool key "$3"
  for _ in $(seq 1 50); do
    xdotool search --onlyvisible --name "^$2" >/dev/null 2>&1 || break
    sleep 0.1
  done
}
answer "huge caption" "WWWW" Return
answer "unpaired filter" "Open" Escape
answer "huge name" "Open" Escape
answer "huge font" "Font" Return
answer "zero font" "Font" Return
answer "colour above 24 bits" "Color" Return
answer "missing folder" "Browse for Folder" Escape
for _ in $(seq 1 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
wait "$pid" || fail "the runner failed"

trace=$(tr -d '\r' <"$out")
expect() { grep -qxF -- "$1" <<<"$trace" || fail "output lacks '$1'"; }
expect "msgBox -> 1"
expect "fileOpen unpaired -> false"
expect "fileOpen huge name -> false"
expect "chooseFont 10000 -> true colour 16777215"
expect "chooseFont 0 -> true"
expect "chooseColor -> 16711680"
expect "browse -> false"
expect "done"
if [ "$failures" -gt 0 ]; then
  echo "--- output"; echo "$trace" | cut -c1-200
  exit 1
fi
echo "dialogs with bad input: all checks passed"
