#!/usr/bin/env bash
# The main job: sets up, builds the Windows product (i686), checks its package with the self-check,
# then runs the demo screensaver full screen (/s) under Wine — in a virtual display when none is
# present — takes a screenshot, wakes it with a key press and reports how it ended.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
# The product is the i686 build; a machine that cannot run 32-bit programs shows the x86_64 one.
arch=i686
tools/runs-32bit.sh || { arch=x86_64; echo "== this machine cannot run 32-bit programs: running the x86_64 build"; }
tools/build-all.sh "$arch"

prefix="$PWD/build/wineprefix"
run() { tools/wine-run.sh --prefix "$prefix" "$@"; }

started_display=""
if [ -z "${DISPLAY:-}" ]; then
  DISPLAY=$(tools/xvfb.sh start)
  export DISPLAY
  started_display=yes
fi
cleanup() {
  WINEPREFIX="$prefix" wineserver -w 2>/dev/null || true  # let Wine leave before its display goes
  [ -z "$started_display" ] || tools/xvfb.sh stop
}
trap cleanup EXIT

# Wine binds its desktop to the display of the first program of a session, so the display comes first.
run "build/$arch/tools/selfcheck/selfcheck.exe"

temp_dirs() { find "$prefix/drive_c/users" -maxdepth 3 -path '*/Temp/{*}' -type d 2>/dev/null | sort; }
before=$(temp_dirs)

echo "== demo screensaver /s"
run "build/$arch/host/demo/vexil.scr" /s &
saver=$!
# Wine can take a while to start the first time: wait (up to 30 s) until the movie shows.
shot=build/demo-screenshot.png
sleep 5
for _ in $(seq 1 25); do
  tools/screenshot.sh "$shot"
  [ "$(convert "$shot" -format '%[hex:p{640,512}]' info: 2>/dev/null)" != "000000" ] && break
  sleep 1
done
echo "screenshot: $shot (centre pixel #$(convert "$shot" -format '%[hex:p{640,512}]' info:))"
xdotool key Escape
status=0
wait $saver || status=$?
echo "screensaver exit status: $status"

left=$(comm -13 <(echo "$before") <(temp_dirs))
if [ -n "$left" ]; then
  echo "temporary directory left behind: $left"
  exit 1
fi
echo "temporary directory removed"
exit "$status"
