#!/usr/bin/env bash
# Ini against Python's configparser both ways (the profile functions trim values and end lines in
# CR LF under Wine), then bad input: a folder, a 100 MB file and binary garbage as profiles, and
# registry paths and values no key can hold. Usage: ini_test.sh WINE_RUN PREFIX RUNNER SCRIPT_DIR
set -u
wine_run="$1" prefix="$2" runner="$3" dir="$4"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
win() { echo "Z:${1//\//\\}"; }
run() { timeout 60 "$wine_run" --prefix "$prefix" "$@"; }

run "$runner" "$dir/ini_write.vxs" "$(win "$work/written.ini")" >"$work/write.out" 2>&1
status=$?
[ "$status" -eq 77 ] && exit 77
/usr/bin/python3 - "$work/written.ini" <<'PY' || { cat "$work/write.out"; exit 1; }
import configparser, sys
raw = open(sys.argv[1], "rb").read()
assert b"\r\n" in raw, raw
p = configparser.ConfigParser()
p.read_string(raw.decode("ascii"))
assert p.sections() == ["main", "list"], p.sections()
assert p["main"]["name"] == "padded value", repr(p["main"]["name"])
assert p["main"]["count"] == "-7"
assert dict(p["list"]) == {"a": "1", "b": "two"}, dict(p["list"])
print("configparser: ok")
PY

/usr/bin/python3 - "$work" <<'PY'
import configparser, os, sys
work = sys.argv[1]
p = configparser.ConfigParser()
p["first"] = {"key": "value with spaces", "number": "-12"}
p["second"] = {"long": "L" * 5000, "wide": "\u00e9\u4e2d"}
with open(os.path.join(work, "python.ini"), "w", encoding="utf-16") as f:
    p.write(f)
os.mkdir(os.path.join(work, "folder.ini"))
with open(os.path.join(work, "big.ini"), "wb") as f:
    f.write(b"[s]\r\nk=v\r\n")
    f.truncate(100 * 1024 * 1024)
with open(os.path.join(work, "garbage.ini"), "wb") as f:
    f.write(bytes((i * 7919) % 256 for i in range(200000)))
PY
run "$runner" "$dir/ini_read.vxs" "$(win "$work/python.ini")" "$(win "$work/folder.ini")" "$(win "$work/big.ini")" \
    "$(win "$work/garbage.ini")" >"$work/read.out" 2>&1
expected="[object INI] value with spaces -12 key not found
first|second 2 wide%3D%E9%u4E2D
5000 %E9%u4E2D
undefined undefined
key not found 0 false
v true
0 true
undefined undefined undefined undefined
mega name false
mega data true undefined
short dword undefined
true"
if [ "$(tr -d '\r' <"$work/read.out")" != "$expected" ]; then
  echo "read gave:"; cat "$work/read.out"; exit 1
fi
echo "ini: ok"
