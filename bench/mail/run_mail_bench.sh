#!/usr/bin/env bash
# One run of the mail bench and of Python's email package doing the same steps, printed one after
# the other (time and memory peak per step).
#   run_mail_bench.sh [BUILD_DIR] [MEGABYTES]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="${1:-$here/../../build/native}"
megabytes="${2:-50}"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
echo "== Mail ($megabytes MB attachment)"
"$build/bench/mail/mail_bench" "$megabytes" "$scratch"
echo "== Python email ($megabytes MB attachment)"
/usr/bin/python3 "$here/python_mail_bench.py" "$megabytes" "$scratch"
