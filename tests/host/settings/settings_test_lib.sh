# Shared by the settings dialog tests and the full-screen question test. Callers set tools, prefix (the project's Wine prefix) and
# launcher, then source this file. Each test runs in a prefix of its own: its own registry (copies
# of the prefix's .reg files) over the shared prefix's drive C, so its settings, and any display
# resolution it sets, touch no other test.
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

work=$(mktemp -d "${TMPDIR:-/tmp}/vexil-settings.XXXXXX")
own="$work/prefix"
cleanup() {
  WINEPREFIX="$own" wineserver -k >/dev/null 2>&1
  rm -rf "$work"
}
trap cleanup EXIT
# The shared prefix is made ready (created once) before it is copied.
"$tools/wine-run.sh" --prefix "$prefix" reg query 'HKCU\Control Panel' >/dev/null 2>&1
mkdir -p "$own/dosdevices"
cp -p "$prefix"/*.reg "$prefix/.update-timestamp" "$prefix/.vexil-ready" "$own/" 2>/dev/null
ln -s "$prefix/drive_c" "$own/drive_c"
ln -s ../drive_c "$own/dosdevices/c:"
ln -s / "$own/dosdevices/z:"
export WINEPREFIX="$own" WINEDEBUG=-all

# Settings that another run left in the shared prefix are not this test's starting point.
for saver_key in saver_settings saver_settings_texts; do
  "$tools/wine-run.sh" --prefix "$own" reg delete "HKCU\\Software\\Vexil Tests\\$saver_key" /f >/dev/null 2>&1
done

winpath() { echo "Z:$1" | sed 's|/|\\|g'; }
wine() { "$tools/wine-run.sh" --prefix "$own" "$@"; }

# start NAME SCR ARGS...: runs the screensaver in the background with a fresh temp directory.
start() {
  local name="$1"; shift
  mkdir -p "$work/$name"
  wine "$launcher" "$(winpath "$work/$name")" "$@" >"$work/$name.out" 2>&1 &
  pid=$!
}
# finish NAME: waits (at most 20 s) for the run; checks its exit code and its empty temp directory.
finish() {
  local code
  for _ in $(seq 1 200); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$pid" 2>/dev/null; then
    fail "$1: still running"
    kill "$pid" 2>/dev/null
  fi
  wait "$pid"
  code=$?
  [ "$code" -eq 0 ] || fail "$1: exit code $code"
  [ -z "$(ls -A "$work/$1")" ] || fail "$1: temp directory left behind"
}
alive() { kill -0 "$pid" 2>/dev/null; }
# The sheet's X window (dialogs take 0.5 to 3 s to appear here).
sheet_window() { timeout 30 xdotool search --sync --name '^Configurations$' 2>/dev/null | head -n 1; }
focus() { xdotool windowfocus --sync "$1" >/dev/null 2>&1; }
# The controls of the open sheet as settings_probe lists them.
probe() { wine "$probe_exe" controls >"$work/probe.out" 2>&1; cat "$work/probe.out"; }
# The stored settings section of a saver's profile, as reg prints it (a file: never a pipe from wine).
stored() {
  wine reg query "HKCU\\Software\\Vexil Tests\\$1\\SSettings" >"$work/reg.out" 2>&1
  tr -d '\r' <"$work/reg.out" | grep REG_BINARY
}
