#!/usr/bin/env bash
# The starter project becomes a working saver with one vxpack command:
#   starter_test.sh WORKDIR STARTER_DIR STUB LAUNCHER SELFCHECK PREFIX windows|native|listed VXPACK
# ("listed" builds with the native packager and stops after the resource listing: for a stub this
# machine cannot run.)
# With the Windows packager (run under Wine: the system's resource-update functions) or the native
# one (the portable PE writer): a copy of the project gets its movie from `vxpack movie`, `vxpack build` makes the saver, wrestool (an
# independent reader) lists its package resources, selfcheck passes it, and the saver runs full
# screen under Wine: its start-up script traces, its timer shows a label (seen on a screenshot),
# and a key press wakes it, which the script hears before it ends with status 0.
set -u
root="$1" starter="$2" stub="$3" launcher="$4" selfcheck="$5" prefix="$6" packager="$7" vxpack="$8"
tools="$(cd "$(dirname "$0")/../../tools" && pwd)"
if [ -z "${DISPLAY:-}" ] && [ "$packager" != listed ]; then echo "no display: skipped"; exit 77; fi
command -v wrestool >/dev/null || { echo "wrestool (icoutils) missing: skipped"; exit 77; }
export WINEPREFIX="$prefix" WINEDEBUG=-all
source "$(dirname "$0")/../host/app/saver_test_lib.sh"
rm -rf "$root"
mkdir -p "$root"
profile='HKCU\Software\My Company\Starter Saver'

# check_build NAME VXPACK-COMMAND...: one packager from project to a running saver.
check_build() {
  local name="$1"; shift
  local dir="$root/$name"
  cp -r "$starter" "$dir"
  (cd "$dir" && "$@" movie movie.swf 640 480 '#1E3A5F' >"$dir/movie.out" 2>&1) || fail "$name: vxpack movie: $(cat "$dir/movie.out")"
  (cd "$dir" && "$@" build starter.json -o Starter.scr --stub "$stub_arg" >"$dir/build.out" 2>&1) ||
    fail "$name: vxpack build: $(cat "$dir/build.out")"
  [ -f "$dir/Starter.scr" ] || { fail "$name: no saver written"; return; }

  wrestool -l "$dir/Starter.scr" >"$dir/resources.txt" 2>&1 || fail "$name: wrestool cannot read the saver"
  [ "$(grep -c "type='LUMARC'" "$dir/resources.txt")" -ge 5 ] || fail "$name: package resources missing: $(cat "$dir/resources.txt")"
  grep -q "type='VEXIL'" "$dir/resources.txt" || fail "$name: no compiled script listed"
  grep -q "type=group_icon" "$dir/resources.txt" || fail "$name: the stub's icon was lost"
  for item in LUMARC:ID LUMARC:ST LUMARC:CS LUMARC:ML LUMARC:BK LUMARC:FP VEXIL:INITIALIZE; do
    [ -n "$(wrestool -x --raw --type="${item%%:*}" --name="${item#*:}" "$dir/Starter.scr" 2>/dev/null | head -c 1)" ] ||
      fail "$name: wrestool finds no ${item}"
  done
  if [ "$packager" = listed ]; then
    echo "$name: $(tail -n 1 "$dir/build.out")"
    return
  fi

  "$tools/wine-run.sh" --prefix "$prefix" "$selfcheck" "$dir/Starter.scr" >"$dir/selfcheck.out" 2>&1 ||
    fail "$name: selfcheck: $(cat "$dir/selfcheck.out")"

  local trace="$dir/trace.txt"
  wine reg add "$profile\\Starter" /v trace /t REG_SZ /d "$(winpath "$trace")" /f >/dev/null 2>&1
  start "$name-run" "$dir/Starter.scr" /s
  local w
  w=$(window_of Starter.scr)
  [ -n "$w" ] || fail "$name: no window"
  for _ in $(seq 1 150); do
    grep -q "label shown" "$trace" 2>/dev/null && break
    sleep 0.1
  done
  settle
  "$tools/screenshot.sh" "$dir/screenshot.png"
  # The label's top left corner (the label is 320x40 around the centre), away from its text.
  local size x y pixel
  size=$(convert "$dir/screenshot.png" -format '%w %h' info: 2>/dev/null)
  x=$(( ${size% *} / 2 - 150 )) y=$(( ${size#* } / 2 - 15 ))
  pixel=$(convert "$dir/screenshot.png" -format "%[hex:p{$x,$y}]" info: 2>/dev/null)
  case "$pixel" in 1E3A5F*|000000*|"") fail "$name: no label on the screen (pixel $pixel at $x,$y)" ;; esac
  alive || fail "$name: the saver ended before it was woken"
  xdotool windowactivate --sync "$w" >/dev/null 2>&1
  xdotool key Escape
  finish "$name-run"
  wine reg delete "$profile" /f >/dev/null 2>&1
  local line
  for line in "starter: started with 1 movie(s)" "starter: readme found true" "starter: label shown true" \
              "starter: woken up"; do
    grep -qxF -- "$line" <(tr -d '\r' <"$trace" 2>/dev/null) || fail "$name: trace lacks '$line': $(cat "$trace" 2>/dev/null)"
  done
  echo "$name: $(tail -n 1 "$dir/build.out")"
}

if [ "$packager" = windows ]; then
  # The Windows packager runs under Wine and takes a Windows path for its stub.
  stub_arg="$(winpath "$stub")"
  check_build windows "$tools/wine-run.sh" --prefix "$prefix" "$vxpack"
else
  stub_arg="$stub"
  check_build "$packager" "$vxpack"
fi

if [ "$failures" -gt 0 ]; then
  for out in "$work"/*.out; do echo "--- $out"; cat "$out"; done
  exit 1
fi
echo "starter project: all checks passed"
