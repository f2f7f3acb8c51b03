#!/usr/bin/env bash
# Measures the processor time the demo screensaver uses while it runs full screen (/s) under Wine:
#   saver-cpu.sh [ARCH] [SECONDS]      (default x86_64, 20 s)
# Starts a virtual display when none is set, lets the saver settle for 5 s, then reads the
# saver's user and system time from /proc before and after SECONDS and prints the share of one
# core it took (and, for comparison, the X server's). SAVER_CPU_SHOT=FILE.png also takes a
# screenshot at the end. Stops the saver with Esc. A measurement for people, not a test: it
# asserts nothing.
set -euo pipefail
cd "$(dirname "$0")/.."
arch="${1:-x86_64}"
seconds="${2:-20}"
saver="build/$arch/host/demo/vexil.scr"
[ -f "$saver" ] || { echo "no $saver: build the $arch preset first" >&2; exit 1; }
prefix="$PWD/build/wineprefix"
started_display=""
if [ -z "${DISPLAY:-}" ]; then
  DISPLAY=$(tools/xvfb.sh start)
  export DISPLAY
  started_display=yes
fi
cleanup() {
  WINEPREFIX="$prefix" wineserver -w 2>/dev/null || true
  [ -z "$started_display" ] || tools/xvfb.sh stop
}
trap cleanup EXIT

tools/wine-run.sh --prefix "$prefix" "$saver" /s >/dev/null 2>&1 &
launcher=$!
sleep 5
ticks() { [ -n "$1" ] && [ -r "/proc/$1/stat" ] && awk '{print $14 + $15}' "/proc/$1/stat" 2>/dev/null || echo 0; }
# The saver's own process: of the processes whose command line names the .scr (the launcher
# script and Wine's loader name it too), the one that has used the most time.
pid_of() {
  local best="" most=-1
  for dir in /proc/[0-9]*; do
    if { tr '\0' ' ' <"$dir/cmdline"; } 2>/dev/null | grep -q "$1"; then
      local used
      used=$(ticks "$(basename "$dir")")
      if [ "$used" -gt "$most" ]; then best=$(basename "$dir"); most=$used; fi
    fi
  done
  echo "$best"
}
saver_pid=$(pid_of 'vexil\.scr')
x_pid=$(cat build/xvfb.pid 2>/dev/null || true)
[ -n "$saver_pid" ] || { echo "the saver did not start" >&2; exit 1; }
hz=$(getconf CLK_TCK)
before=("$(ticks "$saver_pid")" "$(ticks "$x_pid")")
start=$(date +%s.%N)
sleep "$seconds"
after=("$(ticks "$saver_pid")" "$(ticks "$x_pid")")
[ -z "${SAVER_CPU_SHOT:-}" ] || tools/screenshot.sh "$SAVER_CPU_SHOT"
elapsed=$(awk -v a="$start" -v b="$(date +%s.%N)" 'BEGIN { printf "%.1f", b - a }')
share() { awk -v a="$1" -v b="$2" -v hz="$hz" -v s="$elapsed" 'BEGIN { printf "%.1f", 100 * (b - a) / hz / s }'; }
echo "demo saver ($arch, pid $saver_pid: $({ tr '\0' ' ' <"/proc/$saver_pid/cmdline"; } 2>/dev/null | cut -c1-60)) over ${elapsed%.*} s: $(share "${before[0]}" "${after[0]}") % of one core" \
     "(the X server: $(share "${before[1]}" "${after[1]}") %)"
DISPLAY=$DISPLAY xdotool key Escape 2>/dev/null || true
wait "$launcher" 2>/dev/null || true
