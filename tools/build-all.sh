#!/usr/bin/env bash
# Configures (once) and builds every preset: native, native-asan, i686, x86_64 and fuzz.
# Build directories are reused, so a second run only rebuilds what changed.
#   build-all.sh [PRESET...]
# On a machine that cannot run 32-bit programs the Windows builds run their build-time generators
# from the native build (built first when it is not asked for).
set -euo pipefail
cd "$(dirname "$0")/.."
presets=("$@")
[ ${#presets[@]} -gt 0 ] || presets=(native native-asan i686 x86_64 fuzz)

windows_options=()
if ! tools/runs-32bit.sh; then
  echo "== this machine cannot run 32-bit programs: the Windows builds use the native build's generators"
  windows_options=(-DVEXIL_HOST_TOOLS="$PWD/build/native")
  case " ${presets[*]} " in
    *" native "*) ;;
    *) presets=(native "${presets[@]}") ;;
  esac
fi

for preset in "${presets[@]}"; do
  echo "== build $preset"
  options=()
  case "$preset" in i686|x86_64) options=("${windows_options[@]}") ;; esac
  if [ ! -f "build/$preset/build.ninja" ] || [ ${#options[@]} -gt 0 ]; then
    cmake --preset "$preset" "${options[@]}" >/dev/null
  fi
  cmake --build --preset "$preset"
done
