#!/usr/bin/env bash
# MSXML2.XMLHTTP through the bridge, against a web server this test starts on 127.0.0.1 and stops
# by its process id. Usage: xmlhttp_test.sh WINE_RUN PREFIX RUNNER SCRIPT
set -u
wine_run="$1" prefix="$2" runner="$3" script="$4"
work=$(mktemp -d)
server=""
cleanup() {
  [ -n "$server" ] && kill "$server" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work/site"
printf 'hello over http' >"$work/site/hello.txt"
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
timeout 120 python3 -m http.server --bind 127.0.0.1 --directory "$work/site" "$port" >"$work/server.log" 2>&1 &
server=$!
for _ in $(seq 1 50); do
  python3 -c "import socket; socket.create_connection(('127.0.0.1', $port), 0.2)" 2>/dev/null && break
  sleep 0.1
done
timeout 60 "$wine_run" --prefix "$prefix" "$runner" "$script" "http://127.0.0.1:$port" >"$work/out.txt" 2>&1
status=$?
[ "$status" -eq 77 ] && exit 77  # this machine cannot run the build's programs
expected=$'status 200, text hello over http\nstatus 404'
got=$(tr -d '\r' <"$work/out.txt")
if [ "$got" != "$expected" ]; then
  echo "unexpected output:"; cat "$work/out.txt"; echo "server log:"; cat "$work/server.log"
  exit 1
fi
echo "xmlhttp: ok"
