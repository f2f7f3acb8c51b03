#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's test prefix:
#   wine-run.sh [--prefix DIR] PROGRAM.exe [ARGS...]
# The prefix is created once (wineboot) under a lock, so parallel callers wait for it instead of
# racing; later calls reuse it. Wine's own chatter is silenced.
set -euo pipefail
prefix="${VEXIL_WINEPREFIX:-}"
if [ "${1:-}" = "--prefix" ]; then prefix="$2"; shift 2; fi
[ -n "$prefix" ] || { echo "wine-run: no prefix given" >&2; exit 2; }

export WINEPREFIX="$prefix"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEARCH=win64
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export LC_ALL="${VEXIL_WINE_LOCALE:-C.UTF-8}"

mkdir -p "$(dirname "$prefix")"
exec 9>"$prefix.lock"
flock 9
if [ ! -f "$prefix/.vexil-ready" ]; then
  rm -rf "$prefix"
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w || true
  touch "$prefix/.vexil-ready"
fi
flock -u 9
exec 9>&-

exec wine "$@"
