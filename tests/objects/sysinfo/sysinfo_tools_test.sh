#!/usr/bin/env bash
# SysInfo's names, version and folders against what Wine's own tools report: hostname.exe,
# `cmd /c ver` and cmd's %WINDIR% and %USERNAME%. Each program's output goes to a file.
# The computer name is the NetBIOS form (upper case) and hostname.exe prints the host's own
# spelling, so those two compare without case.
# Usage: sysinfo_tools_test.sh WINE_RUN PREFIX RUNNER WORKDIR
set -u
wine_run="$1" prefix="$2" runner="$3" work="$4"
rm -rf "$work"
mkdir -p "$work"
run() {  # run OUTPUT PROGRAM ARGS...
  local out="$1"
  shift
  timeout 60 "$wine_run" --prefix "$prefix" "$@" >"$work/$out" 2>&1
}
cat >"$work/facts.vxs" <<'VXS'
trace(SysInfo.computerName);
trace(SysInfo.userName);
trace(SysInfo.version);
trace(SysInfo.winDir);
trace(SysInfo.sysDir);
VXS
run facts.txt "$runner" 'Z:'"${work//\//\\}"'\facts.vxs'
[ $? -eq 77 ] && exit 77
run hostname.txt hostname
run ver.txt cmd /c ver
run windir.txt cmd /c 'echo %WINDIR%'
run username.txt cmd /c 'echo %USERNAME%'

line() { sed -n "${2}p" "$work/$1" | tr -d '\r'; }
failed=0
expect() {  # expect WHAT GOT EXPECTED
  if [ "$2" != "$3" ]; then
    echo "$1: got '$2', Wine's tools say '$3'"
    failed=1
  fi
}
lower() { tr '[:upper:]' '[:lower:]'; }
expect "computer name" "$(line facts.txt 1 | lower)" "$(line hostname.txt 1 | lower)"
expect "user name" "$(line facts.txt 2)" "$(line username.txt 1)"
# " 10.00.18362 " against "Microsoft Windows 10.0.18362": the three numbers.
numbers() { grep -oE '[0-9]+\.[0-9]+\.[0-9]+' | head -1 | awk -F. '{ printf "%d.%d.%d", $1, $2, $3 }'; }
expect "version" "$(line facts.txt 3 | numbers)" "$(tr -d '\r' <"$work/ver.txt" | numbers)"
[ -n "$(line facts.txt 3 | numbers)" ] || { echo "version: no numbers in '$(line facts.txt 3)'"; failed=1; }
expect "windows folder" "$(line facts.txt 4)" "$(line windir.txt 1)"
expect "system folder" "$(line facts.txt 5 | lower)" "$(line windir.txt 1 | lower)\\system32"
if [ $failed -ne 0 ]; then
  for f in facts hostname ver windir username; do echo "--- $f"; cat "$work/$f.txt"; done
  exit 1
fi
rm -rf "$work"
echo "sysinfo against Wine's tools: ok"
