#!/usr/bin/env bash
# sendTo and bind by host name, with a name the machine's hosts file gives a loopback address (so
# the look-up never leaves the machine); skipped when the hosts file has none besides localhost.
# Usage: host_names_test.sh WINE_RUN PREFIX RUNNER SOURCE_DIR
set -u
wine_run="$1" prefix="$2" runner="$3" here="$4"
name=$(awk '$1 ~ /^127\./ { for (i = 2; i <= NF; i++) if ($i !~ /^#/ && tolower($i) != "localhost" && $i ~ /^[A-Za-z0-9-]+$/) { print $i; exit } }' /etc/hosts)
[ -n "$name" ] && getent ahostsv4 "$name" | grep -q '^127\.' || { echo "no loopback name in /etc/hosts"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
timeout 60 "$wine_run" --prefix "$prefix" "$runner" "$here/host_names.vxs" "$name" >"$work/out.txt" 2>&1
status=$?
[ "$status" -eq 77 ] && exit 77  # this machine cannot run the build's programs
expected="first try: -1/10035
last try: 7
arrived: by name
create on the known name: true loopback true
sendTo the known name at once: 7"
got=$(tr -d '\r' <"$work/out.txt")
if [ "$got" != "$expected" ]; then
  echo "unexpected output for name $name (status $status):"; cat "$work/out.txt"
  echo "expected:"; echo "$expected"
  exit 1
fi
echo "socket host names ($name): ok"
