#!/usr/bin/env bash
# Inet and IPConfig under Wine. Mode "local": ping of 127.0.0.1 and of names that cannot exist,
# then the interface table and name servers against Wine's own ipconfig /all and resolv.conf.
# Modes "mx" and "url": mxfind and getUrl against servers this test starts on 127.0.0.1 (a DNS
# server and a small HTTP server of its own, and python3 -m http.server), stopped by their ids.
# Usage: inet_servers_test.sh MODE WINE_RUN PREFIX RUNNER SOURCE_DIR
set -u
mode="$1" wine_run="$2" prefix="$3" runner="$4" here="$5"
work=$(mktemp -d)
servers="" files=""
cleanup() {
  [ -n "$servers" ] && kill "$servers" 2>/dev/null
  [ -n "$files" ] && kill "$files" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
if [ "$mode" = local ]; then
  timeout 100 "$wine_run" --prefix "$prefix" "$runner" "$here/inet_local.vxs" >"$work/out.txt" 2>&1
  status=$?
  [ "$status" -eq 77 ] && exit 77  # this machine cannot run the build's programs
  timeout 30 "$wine_run" --prefix "$prefix" ipconfig /all >"$work/ipconfig.txt" 2>&1
  failed=0
  got=$(tr -d '\r' <"$work/out.txt" | grep -v -e '^if|' -e '^dns|')
  expected=$(cat "$here/inet_local.expected")
  if [ "$got" != "$expected" ]; then
    echo "unexpected output (status $status):"
    diff <(echo "$expected") <(echo "$got")
    failed=1
  fi
  python3 "$here/inet_servers.py" compare "$work/ipconfig.txt" "$work/out.txt" || failed=1
  if [ "$failed" -ne 0 ]; then
    echo "script output:"; cat "$work/out.txt"
    echo "ipconfig:"; cat "$work/ipconfig.txt"
    exit 1
  fi
  echo "inet local: ok"
  exit 0
fi

unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY all_proxy ALL_PROXY no_proxy
mkdir -p "$work/root" "$work/scratch"
head -c 5242880 /dev/urandom >"$work/root/big.bin"
files_port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
(cd "$work/root" && exec timeout 150 python3 -m http.server --bind 127.0.0.1 "$files_port") >"$work/files.log" 2>&1 &
files=$!
timeout 150 python3 "$here/inet_servers.py" serve "$work/ports" "$files_port" >"$work/servers.log" 2>&1 &
servers=$!
for _ in $(seq 1 100); do
  [ -s "$work/ports" ] && python3 -c "import socket; socket.create_connection(('127.0.0.1', $files_port), 1)" 2>/dev/null && break
  sleep 0.1
done
read -r dns_port trick_port _ < <(cat "$work/ports" 2>/dev/null; echo)
[ -n "$trick_port" ] || { echo "the servers did not start"; cat "$work/servers.log" "$work/files.log"; exit 1; }
echo old >"$work/scratch/kept.txt"
scratch_windows="Z:$(echo "$work/scratch" | tr / '\\')"
timeout 150 "$wine_run" --prefix "$prefix" "$runner" "$here/inet_servers.vxs" "$dns_port" "$files_port" "$trick_port" \
  "$scratch_windows" "$mode" >"$work/out.txt" 2>&1
status=$?
[ "$status" -eq 77 ] && exit 77  # this machine cannot run the build's programs
failed=0
got=$(tr -d '\r' <"$work/out.txt" | sed "s|$here/inet_servers.vxs|SCRIPT|g")
expected=$(cat "$here/inet_$mode.expected")
if [ "$got" != "$expected" ]; then
  echo "unexpected output (status $status):"
  diff <(echo "$expected") <(echo "$got")
  failed=1
fi
if [ "$mode" = url ]; then
  cmp "$work/root/big.bin" "$work/scratch/big.copy" || { echo "the 5 MB download differs"; failed=1; }
  cmp "$work/root/big.bin" "$work/scratch/redirect.copy" || { echo "the redirected download differs"; failed=1; }
  cmp "$work/root/big.bin" "$work/scratch/thrown.copy" || { echo "the download with a throwing handler differs"; failed=1; }
  [ "$(cat "$work/scratch/kept.txt")" = old ] || { echo "a failed download replaced the file"; failed=1; }
  for gone in stall.copy short.copy cancel.copy; do
    [ -e "$work/scratch/$gone" ] && { echo "$gone exists after a failed download"; failed=1; }
  done
  leftovers=$(ls "$work/scratch" | grep -c '\.download$')
  [ "$leftovers" -eq 0 ] || { echo "temporary files left: $(ls "$work/scratch")"; failed=1; }
fi
if [ "$failed" -ne 0 ]; then
  echo "script output:"; cat "$work/out.txt"
  echo "servers:"; cat "$work/servers.log"
  exit 1
fi
echo "inet $mode: ok"
