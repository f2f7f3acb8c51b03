#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's test prefix:
#   wine-run.sh [--prefix DIR] PROGRAM.exe [ARGS...]
# The prefix is created once (wineboot) under a lock, so parallel callers wait for it instead of
# racing; later calls reuse it. Wine's own chatter is silenced.
#
# On a machine that cannot run 32-bit programs (tools/runs-32bit.sh) Wine's usual loader, itself a
# 32-bit program, cannot start: 64-bit programs then go straight to Wine's 64-bit loader, and a
# 32-bit program is refused with exit status 77, which the tests count as skipped.
set -euo pipefail
prefix="${VEXIL_WINEPREFIX:-}"
if [ "${1:-}" = "--prefix" ]; then prefix="$2"; shift 2; fi
[ -n "$prefix" ] || { echo "wine-run: no prefix given" >&2; exit 2; }

export WINEPREFIX="$prefix"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEARCH=win64
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export LC_ALL="${VEXIL_WINE_LOCALE:-C.UTF-8}"

here="$(cd "$(dirname "$0")" && pwd)"
wine=wine
if ! "$here/runs-32bit.sh"; then
  wine=/usr/lib/wine/wine64
  # The PE header's machine field: 0x8664 for x86_64, 0x014c for i386. A name that is no file
  # (reg, wineboot) is one of Wine's own programs, which the 64-bit loader runs.
  machine=8664
  if [ -f "$1" ]; then
    offset=$(od -An -tu4 -j60 -N4 "$1" 2>/dev/null | tr -d ' ')
    machine=$(od -An -tx2 -j$((${offset:-0} + 4)) -N2 "$1" 2>/dev/null | tr -d ' ')
  fi
  if [ "$machine" != "8664" ]; then
    echo "wine-run: $1 is a 32-bit program, and this machine cannot run 32-bit programs" >&2
    exit 77
  fi
fi

mkdir -p "$(dirname "$prefix")"
exec 9>"$prefix.lock"
flock 9
if [ ! -f "$prefix/.vexil-ready" ]; then
  rm -rf "$prefix"
  "$wine" wineboot -i >/dev/null 2>&1 || true
  wineserver -w || true
  touch "$prefix/.vexil-ready"
fi
flock -u 9
exec 9>&-

exec "$wine" "$@"
