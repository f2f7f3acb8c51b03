# Shared by the screensaver tests: runs under the launcher with a temp directory per run, and the
# checks made after each. Callers set launcher, prefix and tools before sourcing this file.
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
winpath() { echo "Z:$1" | sed 's|/|\\|g'; }
# Wine's own programs (reg) go through the project's runner, which picks the loader this machine can run.
wine() { "$tools/wine-run.sh" --prefix "$prefix" "$@"; }

# start NAME SCR ARGS...: runs the screensaver in the background with a fresh temp directory.
start() {
  local name="$1"; shift
  mkdir -p "$work/$name"
  "$tools/wine-run.sh" --prefix "$prefix" "$launcher" "$(winpath "$work/$name")" "$@" >"$work/$name.out" 2>&1 &
  pid=$!
}
# finish NAME: waits for the run and checks its exit code and that its temp directory is empty.
finish() {
  wait "$pid"
  local code=$?
  [ "$code" -eq 0 ] || fail "$1: exit code $code"
  [ -z "$(ls -A "$work/$1")" ] || fail "$1: temp directory left behind: $(ls -R "$work/$1")"
}
window_of() {  # the screensaver's X window, by its executable's name
  local w=""
  for _ in $(seq 1 100); do
    w=$(xdotool search --onlyvisible --classname "$1" 2>/dev/null | tail -n 1)
    [ -n "$w" ] && break
    sleep 0.1
  done
  echo "$w"
}
alive() { kill -0 "$pid" 2>/dev/null; }
settle() { sleep 1; }
