#!/usr/bin/env bash
# Shortcut and URLShortcut files read by readers nobody here wrote, and Shell's folders and
# environment compared with what Wine's cmd says:
#   shell_readers_test.sh WINE_RUN PREFIX RUNNER CHILD SOURCE_DIR SCRATCH
# The system's own link object (through the child program) writes system.lnk, which the script
# reads; the script writes made.lnk and made.url, which `file`, the header's bytes and Python's
# configparser read back.
set -u
wine_run="$1" prefix="$2" runner="$3" child="$4" source="$5" scratch="$6"
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }
winpath() { echo "Z:$1" | sed 's|/|\\|g'; }
run() { timeout 60 "$wine_run" --prefix "$prefix" "$@"; }

rm -rf "$scratch"
mkdir -p "$scratch"
trap 'rm -rf "$scratch"' EXIT
child_win=$(winpath "$child")

run "$child" link "$(winpath "$scratch/system.lnk")" "$child_win" "from the system" >"$scratch/link.out" 2>&1
status=$?
[ "$status" -eq 77 ] && exit 77
[ "$status" -eq 0 ] || fail "the system's link object wrote nothing (exit $status)"
file "$scratch/system.lnk" | grep -q "MS Windows shortcut" || fail "system.lnk is no shortcut: $(file "$scratch/system.lnk")"
head -c 60 "$scratch/system.lnk" >"$scratch/truncated.lnk"

run "$runner" "$source/shortcut_files.vxs" "$child_win" "$(winpath "$scratch")" >"$scratch/out.txt" 2>&1
# Wine's own complaints about the Z: drive's volume go to the same output; they are not ours.
if ! diff <(tr -d '\r' <"$scratch/out.txt" | grep -v '^wine: ') "$source/shortcut_files.out" >"$scratch/diff.txt"; then
  fail "shortcut_files output differs:"; cat "$scratch/diff.txt"
fi
[ "$(head -c 60 "$scratch/truncated.lnk" | wc -c)" -eq 60 ] || fail "the refused truncated link was changed"
grep -q "this is not a shell link" "$scratch/text.lnk" || fail "the refused text file was changed"

# `file` names the link and its parts; the header's show command (offset 60) and hot key (64) are
# what the script set: SW_SHOWMAXIMIZED, and F5 with control and alt.
kind=$(file "$scratch/made.lnk")
[[ "$kind" == *"MS Windows shortcut"* ]] || fail "made.lnk: $kind"
[[ "$kind" == *"Has command line arguments"* && "$kind" == *"Icon number=4"* ]] || fail "made.lnk parts: $kind"
[ "$(od -An -tu4 -j60 -N4 "$scratch/made.lnk" | tr -d ' ')" = 3 ] || fail "show command in the header"
[ "$(od -An -tx2 -j64 -N2 "$scratch/made.lnk" | tr -d ' ')" = 0674 ] || fail "hot key in the header"
strings -e l "$scratch/made.lnk" >"$scratch/strings.txt"
grep -qF "write out.txt \"two words\" 3" "$scratch/strings.txt" || fail "the arguments are not in made.lnk"
strings "$scratch/made.lnk" | grep -qF "shell_child.exe" || fail "the target is not in made.lnk"

python3 - "$scratch/made.url" >"$scratch/url.txt" 2>&1 <<'PY' || fail "made.url: $(cat "$scratch/url.txt")"
import configparser, sys
parser = configparser.ConfigParser(interpolation=None)
parser.read(sys.argv[1], encoding="latin-1")
url = parser["InternetShortcut"]["URL"]
assert url == "http://example.com/path?q=1", url
PY

# Folders and variables as cmd sees them, beside what Shell answers.
cat >"$scratch/compare.vxs" <<'VXS'
var names = ["appdata", "windows", "system", "temp", "program files", "desktop", "my documents"];
for (var i = 0; i < names.length; i++) trace(names[i], "=", Shell.getSpecialFolder(names[i]));
var variables = ["APPDATA", "SystemRoot", "USERPROFILE", "ProgramFiles"];
for (var i = 0; i < variables.length; i++) trace(variables[i], "=", Shell.getEnvironmentVariable(variables[i]));
trace("expanded=", Shell.expandEnvironmentStrings("%USERPROFILE%\\x"));
VXS
run "$runner" "$(winpath "$scratch/compare.vxs")" >"$scratch/shell.txt" 2>&1
run cmd /c "echo appdata=%APPDATA%& echo windows=%SystemRoot%& echo system=%SystemRoot%\\system32& echo temp=%TMP%& echo program files=%ProgramFiles%& echo APPDATA=%APPDATA%& echo SystemRoot=%SystemRoot%& echo USERPROFILE=%USERPROFILE%& echo ProgramFiles=%ProgramFiles%& echo expanded=%USERPROFILE%\\x" >"$scratch/cmd.txt" 2>&1
tr -d '\r' <"$scratch/cmd.txt" >"$scratch/cmd.lf"
tr -d '\r' <"$scratch/shell.txt" >"$scratch/shell.lf"
while IFS= read -r line; do
  grep -qixF -- "$line" "$scratch/shell.lf" || fail "cmd says '$line', Shell does not"
done <"$scratch/cmd.lf"
profile=$(grep '^USERPROFILE=' "$scratch/cmd.lf" | cut -d= -f2)
grep -qi "^desktop=$(sed 's/[\\.]/\\&/g' <<<"$profile")\\\\Desktop$" "$scratch/shell.lf" || fail "desktop is not under $profile"

# Recent documents: the shell's Recent folder gets a link for the document, and the list is
# cleared (Wine drops the list's registry key and leaves the links, so the test removes its own).
recent_name="vx_shell_recent_$$.txt"
recent_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\RecentDocs'
echo "recent" >"$scratch/$recent_name"
cat >"$scratch/recent.vxs" <<VXS
trace("recent=", Shell.getSpecialFolder("recent"));
Shell.addToRecentDocs("$(winpath "$scratch/$recent_name" | sed 's/\\/\\\\/g')");
VXS
run "$runner" "$(winpath "$scratch/recent.vxs")" >"$scratch/recent.txt" 2>&1
recent_dir=$(tr -d '\r' <"$scratch/recent.txt" | sed -n 's/^recent=C:\\//p' | tr '\\' /)
recent_dir="$prefix/drive_c/$recent_dir"
ls "$recent_dir" 2>/dev/null | grep -qF "$recent_name" || fail "no link for the document in '$recent_dir'"
run reg query "$recent_key" >"$scratch/mru.txt" 2>&1 || fail "no recent-documents list after addToRecentDocs"
echo 'Shell.clearRecentDocs();' >"$scratch/clear.vxs"
run "$runner" "$(winpath "$scratch/clear.vxs")" >"$scratch/clear.txt" 2>&1
run reg query "$recent_key" >"$scratch/mru.txt" 2>&1 && fail "clearRecentDocs kept the list: $(cat "$scratch/mru.txt")"
rm -f "$recent_dir/$recent_name.lnk"

# The wallpaper: a small bitmap, neither kept in the profile nor broadcast, then none again.
python3 - "$scratch/paper.bmp" <<'PY'
import struct, sys
pixels = b"\x00\x00\xff\x00"  # one red pixel and its row padding
header = struct.pack("<IiiHHIIiiII", 40, 1, 1, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
size = 14 + len(header) + len(pixels)
open(sys.argv[1], "wb").write(b"BM" + struct.pack("<IHHI", size, 0, 0, 54) + header + pixels)
PY
cat >"$scratch/paper.vxs" <<VXS
trace("set ", Shell.setDesktopWallpaper("$(winpath "$scratch/paper.bmp" | sed 's/\\/\\\\/g')", false, false));
trace("none ", Shell.setDesktopWallpaper("", false, false));
VXS
run "$runner" "$(winpath "$scratch/paper.vxs")" >"$scratch/paper.txt" 2>&1
grep -q "^set true" <(tr -d '\r' <"$scratch/paper.txt") || fail "setDesktopWallpaper: $(cat "$scratch/paper.txt")"

if [ "$failures" -gt 0 ]; then
  echo "--- script output"; cat "$scratch/out.txt"; echo "--- compare"; cat "$scratch/shell.txt" "$scratch/cmd.txt"
  exit 1
fi
echo "shell readers: all checks passed"
