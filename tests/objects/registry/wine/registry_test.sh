#!/usr/bin/env bash
# RegKey against Wine's own registry tool: values of every type written by RegKey are exported by
# `reg export` (exact UTF-16 text) and compared; values written by `reg add` are read by RegKey.
# Usage: registry_test.sh WINE_RUN PREFIX RUNNER SCRIPT_DIR
set -u
wine_run="$1" prefix="$2" runner="$3" dir="$4"
key='Software\VexilTest\registry_test'
work=$(mktemp -d)
run() { timeout 60 "$wine_run" --prefix "$prefix" "$@"; }
cleanup() {
  run reg delete "HKCU\\$key" /f >"$work/delete.out" 2>&1
  rm -rf "$work"
}
trap cleanup EXIT
run reg delete "HKCU\\$key" /f >"$work/delete.out" 2>&1

run "$runner" "$dir/reg_write.vxs" "VexilTest\\registry_test\\written" >"$work/write.out" 2>&1
status=$?
[ "$status" -eq 77 ] && exit 77
if [ "$(grep -c ' true' "$work/write.out")" != 11 ]; then
  echo "writes failed:"; cat "$work/write.out"; exit 1
fi
run reg export "HKCU\\$key\\written" "$(winepath_of() { echo "Z:${1//\//\\}"; }; winepath_of "$work/written.reg")" /y >"$work/export.out" 2>&1
/usr/bin/python3 - "$work/written.reg" <<'PY' || exit 1
import re, struct, sys
text = open(sys.argv[1], "rb").read().decode("utf-16")
text = text.replace("\\\r\n  ", "")
values = {}
for line in text.splitlines():
    m = re.match(r'^(@|"(?:[^"\\]|\\.)*")=(.*)$', line)
    if m:
        values[m.group(1)] = m.group(2)
def hexbytes(v):
    return bytes(int(x, 16) for x in v.split(":", 1)[1].split(",") if x)
def utf16z(s):
    return s.encode("utf-16-le")
expected = {
    "@": '"default text"',
    '"sz"': '"abc \u00e9\u4e2d\u0416"',
    '"dword"': "dword:ee6b2800",
}
for name, want in expected.items():
    if values.get(name) != want:
        sys.exit(f"{name}: {values.get(name)!r} != {want!r}")
checks = {
    '"expand"': ("hex(2)", utf16z("%SystemRoot%\\x\0")),
    '"binary"': ("hex", bytes([1, 2, 0x41, 0x42, 0xFF])),
    '"bigendian"': ("hex(5)", bytes([1, 2, 3, 4])),
    '"multi"': ("hex(7)", utf16z("one\0\u4e2dtwo\0003\0true\0\0")),
    '"qword"': ("hex(b)", struct.pack("<q", 1234567890123456789)),
    '"none"': ("hex(0)", b"xy"),
    '"packed"': ("hex", struct.pack("<id", 1, 2.5) + b"s\0" + struct.pack("<i", 1)),
    '"empty multi"': ("hex(7)", b"\0\0\0\0"),
}
for name, (kind, data) in checks.items():
    got = values.get(name, "")
    if not got.startswith(kind + ":") or hexbytes(got) != data:
        sys.exit(f"{name}: {got!r} is not {kind} {data.hex()}")
print("export: ok")
PY

add() { run reg add "HKCU\\$key\\added" "$@" /f >>"$work/add.out" 2>&1; }
add /v sz /t REG_SZ /d "plain $(printf '\xc3\xa9')"
add /v expand /t REG_EXPAND_SZ /d "%TEMP%\\y"
add /v binary /t REG_BINARY /d 0102ff
add /v dword /t REG_DWORD /d 4294967295
add /v bigendian /t REG_DWORD_BIG_ENDIAN /d 16909060
add /v multi /t REG_MULTI_SZ /d "a\\0b\\0c"
add /v qword /t REG_QWORD /d 0x7fffffffffffffff
add /v none /t REG_NONE /d ""
add /ve /d "the default"
run reg add "HKCU\\$key\\added\\sub$(printf '\xc3\xa9')" /f >>"$work/add.out" 2>&1
run "$runner" "$dir/reg_read.vxs" "VexilTest\\registry_test\\added" >"$work/read.out" 2>&1
# Wine's reg add stores a REG_DWORD_BIG_ENDIAN number in machine order, so RegKey's big-endian
# read sees the bytes 04 03 02 01; an empty REG_NONE is stored as an empty UTF-16 text (two zeros).
# A null traces as undefined.
expected="sz 1 string plain%20%E9
expand 2 string %25TEMP%25%5Cy
binary 3 string %01%02%FF
dword 4 number 4294967295
bigendian 5 number 67305985
multi 7 object a,b,c
qword 11 number 9223372036854775807
none 0 string %00%00
values 9
default the default undefined
subkeys sub%E9
missing undefined undefined
relative true
time true"
if [ "$(tr -d '\r' <"$work/read.out")" != "$expected" ]; then
  echo "read gave:"; cat "$work/read.out"; echo "add said:"; cat "$work/add.out"; exit 1
fi
echo "registry: ok"
