#!/usr/bin/env bash
# vxpack's command line: strict numbers and colours, usage mistakes exit 2 naming the argument,
# --help for every command.
#   vxpack_test.sh WORKDIR VXPACK [RUNNER...]   (RUNNER runs a Windows build under Wine)
set -uo pipefail
work="$1"
vxpack="$2"
shift 2
runner=("$@")
rm -rf "$work"
mkdir -p "$work"
failures=0

run() { "${runner[@]}" "$vxpack" "$@"; }
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# A colour written with or without 0x or # makes the same pixels (blue, green, red on disk).
for colour in E07A1F 0xE07A1F '#e07a1f'; do
  run bitmap "$work/c.bmp" 1 1 "$colour" 2> "$work/c.err" || fail "bitmap $colour: exit status $?"
  pixel=$(od -A n -t x1 -j 54 -N 3 "$work/c.bmp" 2>/dev/null | tr -d ' \n')
  [ "$pixel" = "1f7ae0" ] || fail "bitmap $colour: pixel $pixel, expected 1f7ae0"
done
run settings "$work/s.bin" wakeup=0x18 options=5 background=336699 || fail "good settings refused"

# Mistakes: exit 2, the argument named, no output written.
#   arguments | text the message must hold
cases=(
  "bitmap $work/bad.bmp 2 1 E07A1|bitmap colour"
  "bitmap $work/bad.bmp 2 1 0x1234567|bitmap colour"
  "bitmap $work/bad.bmp 99999 1 000000|bitmap width"
  "bitmap $work/bad.bmp -1 1 000000|bitmap width"
  "settings $work/bad.bin wakeup=banana|wakeup"
  "settings $work/bad.bin hotkey=0x10000|hotkey"
  "settings $work/bad.bin options=12x|options"
  "settings $work/bad.bin colour=1|unknown setting"
  "movielist $work/bad.lst 2z 1:a.swf|movie list flags"
  "bitmap $work/bad.bmp 2|usage: vxpack bitmap"
  "frobnicate|usage: vxpack blob"
)
for case in "${cases[@]}"; do
  read -r -a args <<<"${case%%|*}"
  want="${case#*|}"
  run "${args[@]}" > /dev/null 2> "$work/err.txt"
  status=$?
  [ $status = 2 ] || fail "${args[*]}: exit status $status, expected 2"
  grep -qF "$want" "$work/err.txt" || fail "${args[*]}: message does not name '$want': $(cat "$work/err.txt")"
done
ls "$work"/bad.* > /dev/null 2>&1 && fail "a refused command wrote its output"

# Help: every command describes itself on stdout with status 0.
run --help > "$work/help.txt" || fail "--help: exit status $?"
for command in blob id stamp settings movielist bitmap; do
  grep -q "vxpack $command " "$work/help.txt" || fail "--help does not describe $command"
  run "$command" --help > "$work/one.txt" || fail "$command --help: exit status $?"
  grep -q "usage: vxpack $command " "$work/one.txt" || fail "$command --help: $(cat "$work/one.txt")"
done

[ "$failures" = 0 ] && echo "vxpack: all checks passed"
exit $((failures > 0))
