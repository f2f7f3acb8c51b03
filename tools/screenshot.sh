#!/usr/bin/env bash
# Saves the whole virtual display as a PNG: screenshot.sh OUT.png  (uses $DISPLAY)
set -euo pipefail
[ -n "${DISPLAY:-}" ] || { echo "screenshot: no DISPLAY" >&2; exit 1; }
import -window root "$1"
