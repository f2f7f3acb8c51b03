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
  "movie $work/bad.swf 0 10 000000|movie: width and height"
  "movie $work/bad.swf 10 10 red|movie colour"
  "build $work/p.json|usage: vxpack build"
  "build $work/p.json --stub $work/stub.scr|build: expected PROJECT.json -o OUT.scr"
  "build $work/p.json -o $work/bad.scr --verbose|build: unknown option --verbose"
  "build $work/p.json $work/q.json -o $work/bad.scr|build: more than one project file"
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
for command in blob id stamp settings movielist bitmap movie build put; do
  grep -q "vxpack $command " "$work/help.txt" || fail "--help does not describe $command"
  run "$command" --help > "$work/one.txt" || fail "$command --help: exit status $?"
  grep -q "usage: vxpack $command " "$work/one.txt" || fail "$command --help: $(cat "$work/one.txt")"
done

# A project mistake is not a usage mistake: exit 1, the file and line named, nothing written.
printf '{"identity": "a/b",\n "movies": ["gone.swf"]}' > "$work/p.json"
printf 'MZ' > "$work/stub.scr"
run build "$work/p.json" -o "$work/bad.scr" --stub "$work/stub.scr" > /dev/null 2> "$work/err.txt"
status=$?
[ $status = 1 ] || fail "build of a project naming a missing movie: exit status $status, expected 1"
grep -qF "p.json:2: movies: file not found: gone.swf" "$work/err.txt" || fail "build: $(cat "$work/err.txt")"
# A stub that is not a program is named.
run movie "$work/m.swf" 8 8 000000 || fail "movie: exit status $?"
printf '{"identity": "a/b", "movies": ["m.swf"], "player": false}' > "$work/p.json"
run build "$work/p.json" -o "$work/bad.scr" --stub "$work/stub.scr" > /dev/null 2> "$work/err.txt"
status=$?
[ $status = 1 ] || fail "build with a stub that is not a program: exit status $status, expected 1"
grep -qF "stub.scr" "$work/err.txt" || fail "build with a bad stub: $(cat "$work/err.txt")"
[ "$(head -c 3 "$work/m.swf")" = FWS ] || fail "vxpack movie wrote no SWF header"

[ "$failures" = 0 ] && echo "vxpack: all checks passed"
exit $((failures > 0))
