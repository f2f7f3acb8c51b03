#!/usr/bin/env bash
# Events from an out-of-process automation server. Wine's browser needs a display, and it does not
# end on Quit, so the test ends it by its process id. Usage: browser_events_test.sh WINE_RUN PREFIX
# RUNNER SCRIPT
set -u
wine_run="$1" prefix="$2" runner="$3" script="$4"
[ -n "${DISPLAY:-}" ] || { echo "no display"; exit 77; }
out=$(mktemp)
stop_browser() {
  for pid in $(pgrep -f 'iexplore.exe -Embedding'); do
    [ "$(tr '\0' '\n' </proc/"$pid"/environ 2>/dev/null | grep -c "^WINEPREFIX=$prefix$")" -gt 0 ] && kill "$pid"
  done
}
trap 'stop_browser; rm -f "$out"' EXIT
# A port nothing listens on: bind one, note it, let it go.
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
url="http://127.0.0.1:$port/page.html"
timeout 90 "$wine_run" --prefix "$prefix" "$runner" "$script" "$url" >"$out" 2>&1
status=$?
[ "$status" -eq 77 ] && exit 77
expected="BeforeNavigate2 $url, cancel false, browser object
DownloadBegin
NavigateError $url, cancel false
done"
got=$(grep -v ':fixme:' "$out" | tr -d '\r')
if [ "$status" -ne 0 ] || [ "$got" != "$expected" ]; then
  echo "exit status $status; output:"; cat "$out"
  exit 1
fi
echo "browser events: ok"
