#!/usr/bin/env bash
# Configures (once) and builds every preset: native, native-asan, i686, x86_64 and fuzz.
# Build directories are reused, so a second run only rebuilds what changed.
#   build-all.sh [PRESET...]
set -euo pipefail
cd "$(dirname "$0")/.."
presets=("$@")
[ ${#presets[@]} -gt 0 ] || presets=(native native-asan i686 x86_64 fuzz)
for preset in "${presets[@]}"; do
  echo "== build $preset"
  if [ ! -f "build/$preset/build.ninja" ]; then
    cmake --preset "$preset" >/dev/null
  fi
  cmake --build --preset "$preset"
done
