#!/usr/bin/env bash
# The GUI harness end to end: a Windows window under Wine on the virtual display is seen in a
# screenshot and answers a real key press.   gui_smoke_test.sh PROBE.exe WINE_PREFIX SHOT.png
set -u
probe="$1" prefix="$2" shot="$3"
tools="$(cd "$(dirname "$0")/../../../tools" && pwd)"
if [ -z "${DISPLAY:-}" ]; then echo "no display: skipped"; exit 77; fi

out=$(mktemp)
"$tools/wine-run.sh" --prefix "$prefix" "$probe" >"$out" 2>&1 &
pid=$!
for _ in $(seq 1 100); do grep -q shown "$out" && break; sleep 0.1; done
window=""
for _ in $(seq 1 50); do
  window=$(xdotool search --name "Vexil window probe" 2>/dev/null | head -n 1)
  [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || { echo "probe window not found"; cat "$out"; kill $pid; exit 1; }
sleep 0.5

"$tools/screenshot.sh" "$shot"
pixel=$(convert "$shot" -format '%[hex:p{200,175}]' info: 2>/dev/null)
echo "pixel at (200,175): $pixel"

xdotool windowactivate --sync "$window" >/dev/null 2>&1 || xdotool windowfocus "$window" >/dev/null 2>&1
xdotool key Escape  # real input through XTEST, to the focused window
wait $pid
code=$?
echo "probe exit code: $code"
rm -f "$out"
case "$pixel" in 336699*) ;; *) echo "expected the probe's colour 336699"; exit 1 ;; esac
[ "$code" -eq 0 ] || { echo "the probe did not receive Esc"; exit 1; }
echo "gui smoke passed"
