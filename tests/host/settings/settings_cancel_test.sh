#!/usr/bin/env bash
# The settings dialog cancelled stores nothing, and /c:<window> is modal to that window:
#   settings_cancel_test.sh LAUNCHER SAVER.scr PROBE.exe PREFIX
set -u
launcher="$1" saver="$2" probe_exe="$3" prefix="$4"
tools="$(cd "$(dirname "$0")/../../../tools" && pwd)"
if [ -z "${DISPLAY:-}" ]; then echo "no display: skipped"; exit 77; fi
command -v xdotool >/dev/null || { echo "no xdotool: skipped"; exit 77; }
source "$(dirname "$0")/settings_test_lib.sh"

# A first run makes the user's copy from the package; it is what Cancel must leave alone.
start first "$saver" /c
w=$(sheet_window)
[ -n "$w" ] || fail "first run: no sheet"
focus "$w"
xdotool key Escape
finish first
stored saver_settings >"$work/before"
[ -s "$work/before" ] || fail "nothing stored by the first run"

# Boxes ticked, then Cancel: the profile is unchanged.
start cancelled "$saver" /c
w=$(sheet_window)
[ -n "$w" ] || fail "no sheet"
focus "$w"
xdotool key space Tab space Tab space
sleep 0.5
grep -qF "control 1172 Button 1 1" <<<"$(probe)" || fail "the first box was not ticked"
focus "$w"
xdotool key Escape
finish cancelled
stored saver_settings >"$work/after"
cmp -s "$work/before" "$work/after" || fail "Cancel changed the profile: $(diff "$work/before" "$work/after")"

# Modal to a window of the test's own: that window is the sheet's owner and disabled meanwhile.
mkdir -p "$work/owned"
wine "$probe_exe" owner "$(winpath "$work/owned")" "$saver" >"$work/owner.out" 2>&1 &
pid=$!
for _ in $(seq 1 300); do grep -q "^sheet" "$work/owner.out" && break; sleep 0.1; done
grep -q "sheet shown owned=1 owner-enabled=0" "$work/owner.out" || fail "modal: $(cat "$work/owner.out")"
w=$(sheet_window)
focus "$w"
xdotool key Escape
finish owned
grep -q "after owner-enabled=1 exit=0" "$work/owner.out" || fail "after the sheet: $(cat "$work/owner.out")"

[ "$failures" -eq 0 ] || exit 1
echo "settings cancel passed"
