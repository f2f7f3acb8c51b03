#!/usr/bin/env bash
# The compiler tool's exit codes and outputs:
#   vexilc_test.sh WORKDIR VEXILC [RUNNER...]   (RUNNER runs a Windows build under Wine)
set -uo pipefail
work="$1"
vexilc="$2"
shift 2
runner=("$@")
rm -rf "$work"
mkdir -p "$work"
failures=0

run() { "${runner[@]}" "$vexilc" "$@"; }
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
expect_status() {  # expected actual what
  [ "$1" = "$2" ] || fail "$3: exit status $2, expected $1"
}

printf 'return true;\n' > "$work/ok.vxs"
printf 'x = ;\n' > "$work/bad.vxs"
printf 'a = 1\nb = 2\n' > "$work/warn.vxs"
printf 'function f(a) { return a + 1; }\nf(2);\n' > "$work/prog.script"

# Compiling: the default output replaces the extension; nothing on stderr.
run "$work/ok.vxs" 2> "$work/ok.err"
expect_status 0 $? "compile ok.vxs"
[ -s "$work/ok.err" ] && fail "compile ok.vxs wrote to stderr: $(cat "$work/ok.err")"
[ "$(head -c 4 "$work/ok.vxc" 2>/dev/null)" = "VS1b" ] || fail "ok.vxc is not a compiled file"
[ "$(stat -c %s "$work/ok.vxc" 2>/dev/null)" = 72 ] || fail "ok.vxc is not 72 bytes"

# -o and -g: the debug section names the source.
run -g -o "$work/out.bin" "$work/prog.script"
expect_status 0 $? "compile -g -o"
[ -f "$work/out.bin" ] || fail "-o did not write out.bin"
[ -f "$work/prog.vxc" ] && fail "-o still wrote the default output"
run --dis "$work/out.bin" > "$work/out.dis"
expect_status 0 $? "--dis out.bin"
grep -q "^source: .*prog.script" "$work/out.dis" || fail "--dis shows no source name"
grep -q "GetArg 2" "$work/out.dis" || fail "--dis shows no code"
grep -q "  f @0000" "$work/out.dis" || fail "--dis shows no function table"
grep -q "; line 1" "$work/out.dis" || fail "--dis shows no source lines"

# An error: exit 1, the diagnostics naming the file and the line counted from 1, no output file.
run "$work/bad.vxs" 2> "$work/bad.err"
expect_status 1 $? "compile bad.vxs"
printf '%s:1: error: syntax error: invalid expression\r\n' "$work/bad.vxs" > "$work/bad.expected"
cmp -s "$work/bad.err" "$work/bad.expected" || fail "bad.vxs diagnostics: $(od -c "$work/bad.err" | head -3)"
[ -f "$work/bad.vxc" ] && fail "bad.vxs left an output file"

# Warnings do not fail.
run -Wsemicolon "$work/warn.vxs" 2> "$work/warn.err"
expect_status 0 $? "compile -Wsemicolon"
grep -q "warn.vxs:1: warning: missing ;" "$work/warn.err" || fail "no missing-semicolon warning: $(cat "$work/warn.err")"
run "$work/warn.vxs" 2> "$work/warn2.err"
[ -s "$work/warn2.err" ] && fail "warning without -Wsemicolon"

# The tree.
run --tree "$work/prog.script" > "$work/prog.tree"
expect_status 0 $? "--tree"
grep -q "FunctionDefinition" "$work/prog.tree" || fail "--tree: $(cat "$work/prog.tree")"

# Refusals.
run --dis "$work/ok.vxs" 2> /dev/null
expect_status 1 $? "--dis of a source"
run "$work/none.vxs" 2> "$work/none.err"
expect_status 1 $? "missing file"
grep -q "can't open the script file: " "$work/none.err" || fail "missing file: $(cat "$work/none.err")"
run 2> /dev/null
expect_status 2 $? "no arguments"
run -x "$work/ok.vxs" 2> /dev/null
expect_status 2 $? "unknown option"
run --help > "$work/help.out"
expect_status 0 $? "--help"
grep -q "vexilc --dis FILE" "$work/help.out" || fail "--help does not describe --dis"

[ "$failures" = 0 ] && echo "vexilc: all checks passed"
exit $((failures > 0))
