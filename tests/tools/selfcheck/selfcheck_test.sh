#!/usr/bin/env bash
# selfcheck of another saver's file reads that file's package, not its own: the demo saver's
# product name is not selfcheck's. A file that is not a program fails; a usage mistake exits 2.
#   selfcheck_test.sh WORKDIR SELFCHECK SAVER RUNNER...
set -uo pipefail
work="$1"
selfcheck="$2"
saver="$3"
shift 3
runner=("$@")
rm -rf "$work"
mkdir -p "$work"
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

"${runner[@]}" "$selfcheck" "$saver" > "$work/saver.out" 2> "$work/saver.err"
status=$?
[ $status = 0 ] || fail "selfcheck of the demo saver: exit status $status: $(cat "$work/saver.out" "$work/saver.err")"
grep -q 'identity .*ok' "$work/saver.out" || fail "no identity line: $(cat "$work/saver.out")"
grep -qF "$(basename "$saver")" "$work/saver.out" || fail "the report does not name the checked file"

"${runner[@]}" "$selfcheck" > "$work/own.out" 2>&1 || fail "selfcheck of itself: exit status $?"
# The two packages differ: selfcheck carries its own demo package with its own identity.
own=$(grep '^identity' "$work/own.out")
other=$(grep '^identity' "$work/saver.out")
[ "$own" != "$other" ] || fail "the other saver's identity equals selfcheck's own: $own"

printf 'not a program\n' > "$work/text.scr"
"${runner[@]}" "$selfcheck" "$work/text.scr" > /dev/null 2> "$work/text.err"
[ $? = 1 ] || fail "a text file: exit status is not 1"

"${runner[@]}" "$selfcheck" --frobnicate > /dev/null 2>&1
[ $? = 2 ] || fail "an unknown option: exit status is not 2"

[ "$failures" = 0 ] && echo "selfcheck: all checks passed"
exit $((failures > 0))
