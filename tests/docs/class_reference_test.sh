#!/usr/bin/env bash
# Lists this build's script objects with the runner and checks the reference against them.
#   class_reference_test.sh DOCS_DIR WORKDIR VEXIL [RUNNER...]
set -uo pipefail
docs="$1" work="$2" vexil="$3"
shift 3
rm -rf "$work" && mkdir -p "$work"
"$@" "$vexil" --classes > "$work/classes.md" 2> "$work/err" || { echo "vexil --classes failed"; cat "$work/err"; exit 1; }
python3 "$(dirname "$0")/class_reference_test.py" "$docs" "$work/classes.md"
