#!/usr/bin/env bash
# The main job: sets up, builds the Windows product (i686) and runs it under Wine.
# Until the screensaver exists, the product is the runtime's self-check over its demo package.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
tools/build-all.sh i686
exec tools/wine-run.sh --prefix "$PWD/build/wineprefix" build/i686/tools/selfcheck/selfcheck.exe
