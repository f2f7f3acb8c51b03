#!/usr/bin/env bash
# Sets up, builds and runs every test of every target: native, native under ASan/UBSan,
# Windows i686 and x86_64 under Wine (with a virtual display), and a short run of each fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/setup.sh
tools/build-all.sh

display=$(tools/xvfb.sh start)
trap 'tools/xvfb.sh stop; wineserver -k >/dev/null 2>&1 || true' EXIT
export DISPLAY="$display"

status=0
for preset in native native-asan i686 x86_64; do
  echo "== test $preset"
  ctest --preset "$preset" -j2 || status=1
done
echo "== fuzz"
tools/fuzz-smoke.sh 15 || status=1

if [ $status -eq 0 ]; then echo "all targets passed"; else echo "some tests failed"; fi
exit $status
