#!/usr/bin/env bash
# swfinfo's command line: --help, usage mistakes exit 2, one JSON line per file with an error line
# and exit status 1 for a file it cannot read.
#   swfinfo_cli_test.sh WORKDIR SWFINFO [RUNNER...]   (RUNNER runs a Windows build under Wine)
set -uo pipefail
work="$1" swfinfo="$2"
shift 2
runner=("$@")
rm -rf "$work"
mkdir -p "$work"
failures=0
run() { "${runner[@]}" "$swfinfo" "$@" > "$work/out" 2> "$work/err"; }
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

run --help
[ $? -eq 0 ] || fail "--help: exit status"
grep -q "usage: swfinfo FILE" "$work/out" || fail "--help prints no usage"
for args in "" "--frames" "-x"; do
  # shellcheck disable=SC2086
  run $args
  [ $? -eq 2 ] || fail "'$args': not a usage error"
  grep -q "usage: swfinfo" "$work/err" || fail "'$args': no usage on standard error"
done

# The smallest movie: header (15 bytes in all), an empty stage, 12 fps, one frame, the End tag.
movie="$work/good.swf"
printf 'FWS\x05\x0f\x00\x00\x00\x00\x00\x0c\x01\x00\x00\x00' > "$movie"
printf 'FWS\x05not a movie' > "$work/broken.swf"
run "$movie" "$work/broken.swf"
[ $? -eq 1 ] || fail "a broken file does not give exit status 1"
[ "$(wc -l < "$work/out")" -eq 2 ] || fail "not one line per file: $(cat "$work/out")"
sed -n 1p "$work/out" | grep -q '"frameCount"' || fail "the good movie is not described"
sed -n 2p "$work/out" | grep -q '"error"' || fail "the broken movie has no error"
run "$movie"
[ $? -eq 0 ] || fail "a good movie alone: exit status"

rm -rf "$work"
[ $failures -eq 0 ] && echo "swfinfo command line: all checks passed"
exit $((failures > 0))
