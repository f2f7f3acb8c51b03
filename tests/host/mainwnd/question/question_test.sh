#!/usr/bin/env bash
# A script's message box while the screensaver runs full screen: it shows above the movie, and a
# wake-up arriving while it is open ends the screensaver (the script sees the box cancelled):
#   question_test.sh LAUNCHER QUESTION.scr PREFIX
# The saver wakes on Esc and on the right button.
set -u
launcher="$1" saver="$2" prefix="$3"
tools="$(cd "$(dirname "$0")/../../../../tools" && pwd)"
if [ -z "${DISPLAY:-}" ]; then echo "no display: skipped"; exit 77; fi
command -v xdotool >/dev/null || { echo "no xdotool: skipped"; exit 77; }
source "$(dirname "$0")/../../settings/settings_test_lib.sh"

trace_file="$work/trace.txt"
wine reg add 'HKCU\Software\Vexil Tests\question_saver\Test' /v trace /t REG_SZ /d "$(winpath "$trace_file")" \
  /f >/dev/null 2>&1

# ask NAME: starts the saver and waits for its question; leaves the box's X window in $box.
ask() {
  start "$1" "$saver" /s
  box=$(timeout 30 xdotool search --sync --name '^Vexil question$' 2>/dev/null | head -n 1)
  [ -n "$box" ] || fail "$1: no question"
  sleep 1
}

# Esc, a wake-up key, given to the box.
ask escape
"$tools/screenshot.sh" "$work/question.png"
eval "$(xdotool getwindowgeometry --shell "$box" 2>/dev/null)"
pixel=$(convert "$work/question.png" -format "%[hex:p{$((X + WIDTH / 2)),$((Y + HEIGHT / 2))}]" info: 2>/dev/null)
corner=$(convert "$work/question.png" -format '%[hex:p{3,3}]' info: 2>/dev/null)
case "$corner" in 00FF00*) ;; *) fail "the movie's background is $corner, not 00FF00" ;; esac
case "$pixel" in 00FF00*|"") fail "the movie covers the question (pixel $pixel)" ;; esac
focus "$box"
xdotool key Escape
finish escape
grep -q "answer 2" "$trace_file" || fail "escape: the script did not see the box cancelled: $(cat "$trace_file")"

# The right button answers nothing in a message box; it still ends the screensaver.
ask right
eval "$(xdotool getwindowgeometry --shell "$box" 2>/dev/null)"
xdotool mousemove $((X + 10)) $((Y + HEIGHT / 2)) click 3
finish right
grep -q "answer 2" "$trace_file" || fail "right button: the script did not see the box cancelled: $(cat "$trace_file")"

[ "$failures" -eq 0 ] || exit 1
echo "question above the movie passed"
