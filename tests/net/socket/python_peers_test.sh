#!/usr/bin/env bash
# Socket against Python peers this test starts on 127.0.0.1 and stops by their process ids.
# Usage: python_peers_test.sh WINE_RUN PREFIX RUNNER SOURCE_DIR
set -u
wine_run="$1" prefix="$2" runner="$3" here="$4"
work=$(mktemp -d)
server="" client="" tcp="" udp="" mid=""
cleanup() {
  [ -n "$server" ] && kill "$server" 2>/dev/null
  [ -n "$client" ] && kill "$client" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
timeout 150 python3 "$here/python_peers.py" serve "$work/ports" >"$work/server.log" 2>&1 &
server=$!
for _ in $(seq 1 100); do [ -s "$work/ports" ] && break; sleep 0.1; done
read -r tcp udp mid _ < <(cat "$work/ports" 2>/dev/null; echo)
[ -n "$mid" ] || { echo "the peers did not start"; cat "$work/server.log"; exit 1; }
listen=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
timeout 120 python3 "$here/python_peers.py" client "$listen" "$work/client.txt" >"$work/client.log" 2>&1 &
client=$!
timeout 120 "$wine_run" --prefix "$prefix" "$runner" "$here/python_peers.vxs" "$tcp" "$udp" "$mid" "$listen" \
  >"$work/out.txt" 2>&1
status=$?
[ "$status" -eq 77 ] && exit 77  # this machine cannot run the build's programs
wait "$client"
client=""
expected="server: true true
tcp echo: connected 0, sent 13
tcp echo: hello python
udp echo: sent 9
udp echo: datagram from 127.0.0.1 port ok true length 9
mid-close: onClose 0 after 300000 bytes; receive now 0
$(sed -n 2p "$work/client.txt")"
got=$(tr -d '\r' <"$work/out.txt")
echo_line=$(sed -n 1p "$work/client.txt" 2>/dev/null)
if [ "$got" != "$expected" ] || [ "$echo_line" != "echo of 10485760 bytes: same SHA-256" ]; then
  echo "unexpected output (status $status):"; cat "$work/out.txt"
  echo "expected:"; echo "$expected"
  echo "client: $echo_line"; cat "$work/client.log"
  echo "server log:"; cat "$work/server.log"
  exit 1
fi
echo "socket python peers: ok"
