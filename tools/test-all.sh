#!/usr/bin/env bash
# Sets up, builds and runs every test of every target: native, native under ASan/UBSan,
# Windows i686 and x86_64 under Wine (with a virtual display), and a short run of each fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/setup.sh
tools/build-all.sh

# Wine binds its desktop to the display its session started with: let the build's Wine session
# (the packager runs under Wine) end before the tests start one on the virtual display.
WINEPREFIX="$PWD/build/wineprefix" wineserver -w 2>/dev/null || true
display=$(tools/xvfb.sh start)
trap 'tools/xvfb.sh stop; wineserver -k >/dev/null 2>&1 || true' EXIT
export DISPLAY="$display"

status=0 passed=0 failed=0 skipped=0
summary=build/test-summary.txt
for preset in native native-asan i686 x86_64; do
  if [ "$preset" = i686 ] && ! tools/runs-32bit.sh; then
    # Built and linked above; nothing 32-bit can start on this machine, Wine's loader included.
    echo "== test i686: not run: this machine cannot run 32-bit programs"
    skipped=$((skipped + 1))
    continue
  fi
  echo "== test $preset"
  ctest --preset "$preset" -j2 | tee "$summary" || status=1
  # "100% tests passed, 0 tests failed out of 8"
  line=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$summary" | tail -n 1)
  if [ -n "$line" ]; then
    total=$(sed -E 's/.*out of ([0-9]+).*/\1/' <<<"$line")
    bad=$(sed -E 's/.* ([0-9]+) tests failed.*/\1/' <<<"$line")
    passed=$((passed + total - bad)) failed=$((failed + bad))
  else
    failed=$((failed + 1))
  fi
done
echo "== fuzz"
if tools/fuzz-smoke.sh 15; then passed=$((passed + 1)); else failed=$((failed + 1)) status=1; fi

[ $failed -eq 0 ] || status=1
if [ $skipped -eq 0 ]; then
  echo "$passed passed, $failed failed"
else
  echo "$passed passed, $failed failed, $skipped skipped"
fi
exit $status
