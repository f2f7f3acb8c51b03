#!/usr/bin/env bash
# Runs every built fuzz target for a bounded time from its checked-in seeds:
#   fuzz-smoke.sh [SECONDS_PER_TARGET]
# Seeds are copied to a scratch corpus first; libFuzzer would otherwise add to the checked-in ones.
# Targets run side by side, one per processor (FUZZ_JOBS overrides), each for the full time.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-15}"
jobs="${FUZZ_JOBS:-$(nproc)}"
work="build/fuzz-work"
shopt -s nullglob
mkdir -p "$work"

# One target: its own scratch corpus and log; the exit status says whether it found a failure.
run_target() {
  local fuzzer="$1" group name seeds corpus dir
  group=$(basename "$(dirname "$fuzzer")")
  name=$(basename "$fuzzer" _fuzzer)
  seeds="fuzz/$group/seeds/$name"
  [ -d "$seeds" ] || seeds="fuzz/$group/seeds"
  corpus="$work/$group-$name"
  rm -rf "$corpus"
  mkdir -p "$corpus"
  [ -d "$seeds" ] && cp -r "$seeds/." "$corpus/"
  # Read-only corpora (outside test data) are listed one per line in fuzz/GROUP/NAME.corpus,
  # relative to the source root (or absolute, for data a Debian package installs); libFuzzer reads them but writes only to the first directory.
  local extra=()
  if [ -f "fuzz/$group/$name.corpus" ]; then
    while read -r dir; do [ -n "$dir" ] && [ -d "$dir" ] && { [[ "$dir" == /* ]] && extra+=("$dir") || extra+=("$PWD/$dir"); }; done < "fuzz/$group/$name.corpus"
  fi
  (cd "$work" && "../../$fuzzer" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 \
     -print_final_stats=1 "$(basename "$corpus")" "${extra[@]}" > "$name.log" 2>&1)
}

targets=(build/fuzz/fuzz/*/*_fuzzer)
declare -A pid_of
for fuzzer in "${targets[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n || true; done
  run_target "$fuzzer" &
  pid_of[$fuzzer]=$!
done

# Reported in the targets' order once all have ended.
failed=0
for fuzzer in "${targets[@]}"; do
  group=$(basename "$(dirname "$fuzzer")")
  name=$(basename "$fuzzer" _fuzzer)
  echo "== fuzz $group/$name for ${seconds}s"
  if ! wait "${pid_of[$fuzzer]}"; then
    echo "fuzz target $group/$name found a failure:"
    tail -n 40 "$work/$name.log"
    failed=1
  else
    grep -E '^stat::(number_of_executed_units|peak_rss_mb)' "$work/$name.log" || true
  fi
done
exit $failed
