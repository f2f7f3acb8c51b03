#!/usr/bin/env bash
# DataFile across processes: one runner saves globals of every kind, a second, fresh one loads
# them. Usage: data_file_round_trip_test.sh SCRIPT_DIR RUNNER_COMMAND...
set -u
dir="$1"
shift
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$dir/save.vxs" "$dir/load.vxs" "$work/"
cd "$work" || exit 1
timeout 60 "$@" save.vxs >save.out 2>&1
status=$?
[ "$status" -eq 77 ] && exit 77
timeout 60 "$@" load.vxs >load.out 2>&1
expected_save=$'saved true\nsaved again true'
if [ "$(tr -d '\r' <save.out)" != "$expected_save" ]; then
  echo "save gave:"; cat save.out; exit 1
fi
if ! diff <(tr -d '\r' <load.out) "$dir/load.expected"; then
  echo "load gave:"; cat load.out; exit 1
fi
echo "data file round trip: ok"
