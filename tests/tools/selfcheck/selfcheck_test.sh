#!/usr/bin/env bash
# selfcheck of another saver's file reads that file's package, not its own: the demo saver's
# product name is not selfcheck's. A file that is not a program fails; a usage mistake exits 2.
# Copies of the demo saver broken one way each (with `vxpack put`, or an archive appended) fail
# with exit status 1 and a last line naming that problem first.
#   selfcheck_test.sh WORKDIR SELFCHECK SAVER VXPACK RUNNER...
set -uo pipefail
work="$1"
selfcheck="$2"
saver="$3"
vxpack="$4"
shift 4
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

# A blob of any bytes, as the package stores its items.
blob_of() {  # blob_of NAME TEXT: writes $work/NAME.blob
  printf '%s' "$2" > "$work/$1.raw"
  "${runner[@]}" "$vxpack" blob "$work/$1.raw" "$work/$1.blob" >/dev/null 2>&1
}
blob_of notscript "not a compiled script"
blob_of shortsettings "abc"
printf 'junk' > "$work/junk.raw"
head -c 16 /dev/zero > "$work/zero.raw"
# An archive whose one file's compressed bytes are damaged (its checksum no longer matches).
python3 - "$work/damaged.archive" <<'PY'
import struct, sys, zlib
def text(s):
    u = (s + "\0").encode("utf-16-le")
    return struct.pack("<I", len(u) // 2) + u
data = bytearray(zlib.compress(b"hello hello hello"))
data[-5] ^= 0x40
file_bytes = bytes(data) + struct.pack("<I", zlib.crc32(b"hello hello hello"))
entry = struct.pack("<I", 0) + text("note.txt") + struct.pack("<I", len(file_bytes)) + file_bytes
body = b"LAF\0" + struct.pack("<I", 1) + text("Application") + struct.pack("<I", len(entry)) + entry
open(sys.argv[1], "wb").write(body + struct.pack("<II", len(body), 1))
PY

#   case | vxpack put arguments (TYPE NAME FILE), or "append FILE" | text the last line must hold
cases=(
  "script|VEXIL INITIALIZE $work/notscript.blob|script INITIALIZE: not a compiled script"
  "stamp|LUMARC CS $work/zero.raw|settings stamp: does not match the settings"
  "movies|LUMARC ML $work/junk.raw|movie list"
  "settings|LUMARC ST $work/shortsettings.blob|settings record"
  "archive|append $work/damaged.archive|additional files: * note.txt: damaged compressed data"
)
for case in "${cases[@]}"; do
  IFS='|' read -r name change expected <<<"$case"
  copy="$work/broken-$name.scr"
  cp "$saver" "$copy"
  read -r -a words <<<"$change"
  if [ "${words[0]}" = append ]; then
    cat "${words[1]}" >> "$copy"
  else
    "${runner[@]}" "$vxpack" put "$copy" "${words[@]}" > "$work/$name.put" 2>&1 || fail "$name: vxpack put: $(cat "$work/$name.put")"
  fi
  "${runner[@]}" "$selfcheck" "$copy" > "$work/$name.out" 2>&1
  status=$?
  [ $status = 1 ] || fail "$name: exit status $status, expected 1"
  last=$(tr -d '\r' < "$work/$name.out" | tail -n 1)
  case "$last" in
    "self-check FAILED ("*"): "$expected*) ;;  # the expected text may hold a * of its own
    *) fail "$name: last line '$last' does not name '$expected' first" ;;
  esac
done

[ "$failures" = 0 ] && echo "selfcheck: all checks passed"
exit $((failures > 0))
