#!/usr/bin/env bash
# Shell.emptyRecycleBin under Wine, with the desktop's data folder moved into a scratch folder so
# that only a bin of the test's own is emptied: the system asks for confirmation (flags 0), the
# test answers it on the virtual display, and the binned file is gone.
#   shell_recycle_bin_test.sh WINE_RUN PREFIX RUNNER SCRATCH
set -u
wine_run="$1" prefix="$2" runner="$3" scratch="$4"
if [ -z "${DISPLAY:-}" ]; then echo "no display: skipped"; exit 77; fi
winpath() { echo "Z:$1" | sed 's|/|\\|g'; }
rm -rf "$scratch"
mkdir -p "$scratch/xdg/Trash/files" "$scratch/xdg/Trash/info"
trap 'rm -rf "$scratch"' EXIT
echo "binned" >"$scratch/xdg/Trash/files/vx_binned.txt"
printf '[Trash Info]\nPath=/tmp/vx_binned.txt\nDeletionDate=2026-01-01T00:00:00\n' \
  >"$scratch/xdg/Trash/info/vx_binned.txt.trashinfo"
echo 'trace("emptied ", Shell.emptyRecycleBin());' >"$scratch/bin.vxs"
XDG_DATA_HOME="$scratch/xdg" timeout 60 "$wine_run" --prefix "$prefix" "$runner" "$(winpath "$scratch/bin.vxs")" \
  >"$scratch/out.txt" 2>&1 &
pid=$!
dialog=""
for _ in $(seq 1 200); do
  dialog=$(xdotool search --onlyvisible --name "Confirm deletion" 2>/dev/null | head -n 1)
  [ -n "$dialog" ] && break
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
if [ -n "$dialog" ]; then
  xdotool windowfocus --sync "$dialog" >/dev/null 2>&1
  xdotool key --window "$dialog" Return
fi
wait "$pid"
status=$?
[ "$status" -eq 77 ] && exit 77
failures=0
[ -n "$dialog" ] || { echo "FAILED: no confirmation was asked"; failures=1; }
[ -e "$scratch/xdg/Trash/files/vx_binned.txt" ] && { echo "FAILED: the binned file is still there"; failures=1; }
grep -q "emptied undefined" "$scratch/out.txt" || { echo "FAILED: output: $(cat "$scratch/out.txt")"; failures=1; }
[ "$failures" -eq 0 ] || exit 1
echo "emptyRecycleBin: all checks passed"
