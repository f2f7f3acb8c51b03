#!/usr/bin/env bash
# Starts a virtual X display for the Windows tests and prints its DISPLAY value:
#   display=$(tools/xvfb.sh start) ... tools/xvfb.sh stop
# The server's pid is kept in build/xvfb.pid so a later call can stop it.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
pidfile="$root/build/xvfb.pid"
mkdir -p "$root/build"

case "${1:-}" in
  start)
    fifo=$(mktemp -u)
    mkfifo "$fifo"
    Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp 5>"$fifo" >/dev/null 2>&1 &
    echo $! >"$pidfile"
    read -r -t 30 number <"$fifo" || { echo "xvfb: no display" >&2; rm -f "$fifo"; exit 1; }
    rm -f "$fifo"
    echo ":$number"
    ;;
  stop)
    if [ -f "$pidfile" ]; then kill "$(cat "$pidfile")" 2>/dev/null || true; rm -f "$pidfile"; fi
    ;;
  *)
    echo "usage: xvfb.sh start|stop" >&2
    exit 2
    ;;
esac
