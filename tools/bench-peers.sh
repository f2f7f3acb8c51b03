#!/usr/bin/env bash
# Runs the interpreter benchmarks of bench/scripts on our runner and on every peer interpreter
# found on this machine (duk, mujs, lua5.4), interleaved over several repetitions, and prints
# the median CPU times, the ratios ours/peer, the memory peaks and the geometric means that the
# speed goals are stated in. Every run's output must equal the program's expected checksum line;
# a run that prints anything else is marked and left out of the ratios.
#
#   tools/bench-peers.sh [--reps N] [--callgrind[=all]] [--timeout SECONDS] [--no-build]
#                        [--wine EXE] [PROGRAM...]
#
# --reps N          repetitions of every run (default 5); the table shows medians.
# --callgrind       also counts the instructions of one run of every program on our runner
#                   (valgrind's callgrind; stable on a busy machine). The profiles are kept in
#                   build/bench-native/callgrind/ for callgrind_annotate.
# --callgrind=all   counts the peers' instructions too (slow: about fifty times the run time).
# --timeout S       a run that takes longer is stopped and marked (default 120).
# --no-build        use the runner as it is; do not configure or build.
# --wine EXE        also runs the Windows runner EXE (vexil.exe of a Windows build) under Wine in
#                   every repetition, with an empty script beside it, and prints a second table:
#                   its CPU time less the empty script's (Wine's start-up), beside the native
#                   runner's, and their ratio. A 32-bit EXE cannot run where the kernel runs no
#                   32-bit programs; its runs are then marked as skipped.
# PROGRAM...        names of programs to run (default: all of bench/scripts).
#
# Our runner is built in build/bench-native (the native preset, which is an optimised build);
# VEXIL=/path/to/vexil runs another binary instead. Times are user + system CPU seconds from
# /usr/bin/time, which a busy machine disturbs less than the wall clock; memory is the peak
# resident set size.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
scripts="$root/bench/scripts"
build_dir="$root/build/bench-native"

reps=5
callgrind=none
timeout_s=120
do_build=1
wine_exe=""
selected=()

usage() { sed -n '2,/^set -euo/p' "${BASH_SOURCE[0]}" | sed '$d' | sed 's/^# \{0,1\}//'; }

while [ $# -gt 0 ]; do
  case "$1" in
    --reps) reps="$2"; shift 2 ;;
    --reps=*) reps="${1#*=}"; shift ;;
    --callgrind) callgrind=ours; shift ;;
    --callgrind=all) callgrind=all; shift ;;
    --timeout) timeout_s="$2"; shift 2 ;;
    --timeout=*) timeout_s="${1#*=}"; shift ;;
    --no-build) do_build=0; shift ;;
    --wine) wine_exe="$2"; shift 2 ;;
    --wine=*) wine_exe="${1#*=}"; shift ;;
    -h|--help) usage; exit 0 ;;
    -*) echo "bench-peers: unknown option $1" >&2; usage >&2; exit 2 ;;
    *) selected+=("$1"); shift ;;
  esac
done

if ! [[ "$reps" =~ ^[1-9][0-9]*$ ]]; then
  echo "bench-peers: --reps needs a positive number" >&2
  exit 2
fi
if [ ! -x /usr/bin/time ]; then
  echo "bench-peers: /usr/bin/time is missing (Debian package time; tools/setup.sh installs it)" >&2
  exit 2
fi

# --- our runner ------------------------------------------------------------------------------

find_runner() {
  if [ -n "${VEXIL:-}" ]; then
    echo "$VEXIL"
    return
  fi
  find "$build_dir" -type f -name vexil -perm -u+x 2>/dev/null | head -n 1 || true
}

if [ "$do_build" -eq 1 ] && [ -z "${VEXIL:-}" ]; then
  if [ ! -f "$build_dir/CMakeCache.txt" ]; then
    echo "bench-peers: configuring $build_dir" >&2
    cmake --preset native -B "$build_dir" >/dev/null
  fi
  echo "bench-peers: building the runner (target vexil)" >&2
  if ! cmake --build "$build_dir" --target vexil -j2 >"$build_dir/bench-build.log" 2>&1; then
    echo "bench-peers: the runner did not build; see $build_dir/bench-build.log. Peers only." >&2
    tail -n 5 "$build_dir/bench-build.log" >&2 || true
  fi
fi
runner="$(find_runner)"

# --- interpreters ----------------------------------------------------------------------------
# Name, source extension, command. Ours comes first; a peer that is not installed is skipped.

names=()
exts=()
commands=()
add_interpreter() {
  names+=("$1")
  exts+=("$2")
  commands+=("$3")
}

if [ -n "$runner" ] && [ -x "$runner" ]; then
  add_interpreter vexil vxs "$runner"
else
  echo "bench-peers: no runner found; measuring the peers only" >&2
fi
command -v duk >/dev/null && add_interpreter duk js duk
command -v mujs >/dev/null && add_interpreter mujs js mujs
command -v lua5.4 >/dev/null && add_interpreter lua lua lua5.4

if [ -n "$wine_exe" ]; then
  if [ ! -f "$wine_exe" ]; then
    echo "bench-peers: no Windows runner $wine_exe" >&2
    exit 2
  fi
  wine_exe="$(cd "$(dirname "$wine_exe")" && pwd)/$(basename "$wine_exe")"
fi

if [ ${#names[@]} -eq 0 ]; then
  echo "bench-peers: nothing to run" >&2
  exit 1
fi

programs=()
if [ ${#selected[@]} -gt 0 ]; then
  for p in "${selected[@]}"; do
    if [ ! -f "$scripts/$p.expected" ]; then
      echo "bench-peers: no program $p in $scripts" >&2
      exit 2
    fi
    programs+=("$p")
  done
else
  for f in "$scripts"/*.expected; do
    programs+=("$(basename "$f" .expected)")
  done
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
results="$work/results.tsv"   # program, interpreter, cpu seconds, peak KB, status
: >"$results"
failures="$work/failures.txt"
: >"$failures"

# Runs one program on one interpreter and appends a line to the results.
run_one() {
  local program="$1" index="$2"
  local name="${names[$index]}" ext="${exts[$index]}" cmd="${commands[$index]}"
  local source="$scripts/$program.$ext"
  [ -f "$source" ] || return 0
  local status=ok rc=0
  (cd "$scripts" && /usr/bin/time -f '%U %S %M' -o "$work/time" \
      timeout "$timeout_s" $cmd "$source" >"$work/out" 2>"$work/err") || rc=$?
  local user sys peak
  read -r user sys peak < <(tail -n 1 "$work/time")
  if [ "$rc" -eq 124 ]; then
    status=timeout
  elif [ "$rc" -ne 0 ]; then
    status=failed
  elif ! tr -d '\r' <"$work/out" | cmp -s - "$scripts/$program.expected"; then
    # The runner's trace output ends its lines with CR LF, as the trace file does; the peers
    # print LF only. The line ends are not part of the checksum.
    status=mismatch
  fi
  if [ "$status" != ok ] && ! grep -q "^$program $name:" "$failures"; then
    {
      echo "$program $name: $status (exit $rc)"
      head -c 400 "$work/out" | sed 's/^/    stdout: /'
      head -c 400 "$work/err" | sed 's/^/    stderr: /'
    } >>"$failures"
  fi
  printf '%s\t%s\t%s\t%s\t%s\n' "$program" "$name" \
      "$(awk -v u="$user" -v s="$sys" 'BEGIN { printf "%.2f", u + s }')" "$peak" "$status" >>"$results"
}

# The Windows runner under Wine: program "-" is the empty script whose time is Wine's start-up.
wine_results="$work/wine.tsv"   # program, cpu seconds, status
: >"$wine_results"
empty_script="$work/empty.vxs"
: >"$empty_script"
run_wine() {
  local program="$1" source status=ok rc=0
  if [ "$program" = "-" ]; then source="$empty_script"; else source="$scripts/$program.vxs"; fi
  (cd "$scripts" && /usr/bin/time -f '%U %S %M' -o "$work/time" \
      timeout "$timeout_s" env VEXIL_WINEPREFIX="$root/build/wineprefix" \
      "$root/tools/wine-run.sh" "$wine_exe" "$source" >"$work/out" 2>"$work/err" </dev/null) || rc=$?
  local user sys peak
  read -r user sys peak < <(tail -n 1 "$work/time")
  if [ "$rc" -eq 77 ]; then
    status=skipped
  elif [ "$rc" -eq 124 ]; then
    status=timeout
  elif [ "$rc" -ne 0 ]; then
    status=failed
  elif [ "$program" != "-" ] && ! tr -d '\r' <"$work/out" | cmp -s - "$scripts/$program.expected"; then
    status=mismatch
  fi
  printf '%s\t%s\t%s\n' "$program" \
      "$(awk -v u="$user" -v s="$sys" 'BEGIN { printf "%.2f", u + s }')" "$status" >>"$wine_results"
}

echo "bench-peers: ${#programs[@]} programs x ${names[*]}${wine_exe:+ and the Windows runner under Wine}, $reps repetitions" >&2
for ((rep = 1; rep <= reps; rep++)); do
  echo "bench-peers: repetition $rep of $reps" >&2
  for program in "${programs[@]}"; do
    # The interpreters take turns in a rotating order, so none always runs on a cold or warm
    # machine.
    for ((k = 0; k < ${#names[@]}; k++)); do
      run_one "$program" $(( (k + rep) % ${#names[@]} ))
    done
    [ -z "$wine_exe" ] || run_wine "$program"
  done
  [ -z "$wine_exe" ] || run_wine -
done

# --- instruction counts ------------------------------------------------------------------------

counts="$work/counts.tsv"   # program, interpreter, instructions
: >"$counts"
if [ "$callgrind" != none ]; then
  if ! command -v valgrind >/dev/null; then
    echo "bench-peers: valgrind is missing; no instruction counts" >&2
  else
    mkdir -p "$build_dir/callgrind"
    for program in "${programs[@]}"; do
      for ((k = 0; k < ${#names[@]}; k++)); do
        name="${names[$k]}"
        [ "$callgrind" = all ] || [ "$name" = vexil ] || continue
        source="$scripts/$program.${exts[$k]}"
        [ -f "$source" ] || continue
        echo "bench-peers: callgrind $program on $name" >&2
        (cd "$scripts" && valgrind --tool=callgrind \
            --callgrind-out-file="$build_dir/callgrind/$program.$name.out" \
            ${commands[$k]} "$source" >/dev/null 2>"$work/cg") || true
        instructions="$(sed -n 's/.*Collected : *\([0-9]*\).*/\1/p' "$work/cg" | tail -n 1)"
        printf '%s\t%s\t%s\n' "$program" "$name" "${instructions:-?}" >>"$counts"
      done
    done
  fi
fi

# --- the table ---------------------------------------------------------------------------------

awk -F '\t' -v names="${names[*]}" -v order="${programs[*]}" -v counts="$counts" '
function median(list,    n, v, i, j, t) {
  n = split(list, v, " ")
  for (i = 2; i <= n; i++) {
    t = v[i] + 0
    for (j = i - 1; j >= 1 && v[j] + 0 > t; j--) v[j + 1] = v[j]
    v[j + 1] = t
  }
  if (n % 2) return v[(n + 1) / 2]
  return (v[n / 2] + v[n / 2 + 1]) / 2
}
function fmtRatio(r) { return r == "" ? "-" : sprintf("%.2f", r) }
function geo(sum, n) { return n ? sprintf("%.2f", exp(sum / n)) : "-" }
{
  key = $1 SUBSEP $2
  seen[key] = 1
  if ($5 == "ok") { times[key] = times[key] " " $3; peaks[key] = peaks[key] " " $4 }
  else bad[key] = $5
}
END {
  ni = split(names, inames, " ")
  np = split(order, progs, " ")
  while ((getline line < counts) > 0) { split(line, c, "\t"); insns[c[1] SUBSEP c[2]] = c[3] }
  hasLua = 0; hasOurs = 0
  for (i = 1; i <= ni; i++) { if (inames[i] == "lua") hasLua = 1; if (inames[i] == "vexil") hasOurs = 1 }

  printf "CPU seconds (user + system), medians; memory peaks in MB\n\n"
  printf "%-13s", "program"
  for (i = 1; i <= ni; i++) printf " %9s", inames[i]
  if (hasOurs) {
    printf " %8s %8s %8s", "/duk", "/mujs", "/best"
    if (hasLua) printf " %8s", "/lua"
  }
  for (i = 1; i <= ni; i++) printf " %8s", "MB " inames[i]
  if (hasOurs) printf " %8s", "MB/low"
  printf "\n"

  for (p = 1; p <= np; p++) {
    prog = progs[p]
    printf "%-13s", prog
    for (i = 1; i <= ni; i++) {
      key = prog SUBSEP inames[i]
      t[i] = ""; m[i] = ""
      if (!(key in seen)) { printf " %9s", "-"; continue }
      if (key in bad) { printf " %9s", bad[key]; continue }
      t[i] = median(times[key]); m[i] = median(peaks[key]) / 1024
      printf " %9.2f", t[i]
    }
    if (hasOurs) {
      ours = t[1]; best = ""; rd = ""; rm = ""; rb = ""; rl = ""; lowPeer = ""
      for (i = 2; i <= ni; i++) {
        if (t[i] == "") continue
        if (inames[i] == "duk" || inames[i] == "mujs") {
          if (best == "" || t[i] < best) best = t[i]
          if (ours != "" && t[i] > 0) { if (inames[i] == "duk") rd = ours / t[i]; else rm = ours / t[i] }
        }
        if (inames[i] == "lua" && ours != "" && t[i] > 0) rl = ours / t[i]
        if (m[i] != "" && (lowPeer == "" || m[i] < lowPeer)) lowPeer = m[i]
      }
      if (ours == "") missing++
      if (ours != "" && best != "" && best > 0) {
        rb = ours / best
        sumBest += log(rb); nBest++
        if (rd != "" && rd >= 1) slowerDuk++
        if (rm != "" && rm >= 1) slowerMujs++
      }
      if (rl != "") { sumLua += log(rl); nLua++ }
      printf " %8s %8s %8s", fmtRatio(rd), fmtRatio(rm), fmtRatio(rb)
      if (hasLua) printf " %8s", fmtRatio(rl)
    }
    for (i = 1; i <= ni; i++) printf " %8s", m[i] == "" ? "-" : sprintf("%.1f", m[i])
    if (hasOurs) {
      rmem = (m[1] != "" && lowPeer != "" && lowPeer > 0) ? m[1] / lowPeer : ""
      if (rmem != "" && (worstMem == "" || rmem > worstMem)) { worstMem = rmem; worstMemProg = prog }
      printf " %8s", fmtRatio(rmem)
    }
    printf "\n"
  }

  if (hasOurs) {
    printf "\nGeometric mean of ours / the faster of duk and mujs: %s over %d programs (goal: at most 0.50)\n", geo(sumBest, nBest), nBest
    if (missing) printf "Left out of the means: %d programs without a valid run of ours\n", missing
    printf "Programs where ours is not faster: than duk %d, than mujs %d (goal: none)\n", slowerDuk, slowerMujs
    if (hasLua) printf "Geometric mean of ours / lua on the programs ported to Lua: %s over %d programs (goal: at most 1.50)\n", geo(sumLua, nLua), nLua
    if (worstMem != "") printf "Highest memory peak of ours / the lowest peer: %.2f (%s) (goal: at most 2.00)\n", worstMem, worstMemProg
  } else {
    printf "\n(no runner of ours: peers only)\n"
  }

  nc = 0
  for (k in insns) nc++
  if (nc) {
    printf "\nInstructions (callgrind, millions)\n\n%-13s", "program"
    for (i = 1; i <= ni; i++) printf " %10s", inames[i]
    printf "\n"
    for (p = 1; p <= np; p++) {
      printf "%-13s", progs[p]
      for (i = 1; i <= ni; i++) {
        key = progs[p] SUBSEP inames[i]
        v = (key in insns) ? insns[key] : ""
        printf " %10s", v == "" ? "-" : (v == "?" ? "?" : sprintf("%.1f", v / 1e6))
      }
      printf "\n"
    }
  }
}' "$results"

if [ -n "$wine_exe" ]; then
  awk -F '\t' -v order="${programs[*]}" -v exe="$wine_exe" '
  function median(list,    n, v, i, j, t) {
    n = split(list, v, " ")
    for (i = 2; i <= n; i++) {
      t = v[i] + 0
      for (j = i - 1; j >= 1 && v[j] + 0 > t; j--) v[j + 1] = v[j]
      v[j + 1] = t
    }
    if (n % 2) return v[(n + 1) / 2]
    return (v[n / 2] + v[n / 2 + 1]) / 2
  }
  FILENAME == ARGV[1] { if ($2 == "vexil" && $5 == "ok") native[$1] = native[$1] " " $3; next }
  { if ($3 == "ok") wine[$1] = wine[$1] " " $2; else bad[$1] = $3 }
  END {
    printf "\nThe Windows runner under Wine (%s), CPU seconds less the empty script'"'"'s\n\n", exe
    if (!("-" in wine)) {
      printf "no valid empty-script run (%s): no table\n", ("-" in bad) ? bad["-"] : "none"
      exit
    }
    start = median(wine["-"])
    printf "Wine start-up (empty script): %.2f s\n\n", start
    printf "%-13s %9s %9s %8s\n", "program", "native", "wine", "/native"
    np = split(order, progs, " ")
    for (p = 1; p <= np; p++) {
      prog = progs[p]
      n = (prog in native) ? median(native[prog]) : ""
      if (prog in bad) { printf "%-13s %9s %9s %8s\n", prog, n == "" ? "-" : sprintf("%.2f", n), bad[prog], "-"; continue }
      w = (prog in wine) ? median(wine[prog]) - start : ""
      r = (n != "" && w != "" && n > 0) ? sprintf("%.2f", w / n) : "-"
      if (r != "-") { sum += log(w / n); count++; if (worst == "" || w / n > worst) { worst = w / n; worstProg = prog } }
      printf "%-13s %9s %9s %8s\n", prog, n == "" ? "-" : sprintf("%.2f", n), w == "" ? "-" : sprintf("%.2f", w), r
    }
    if (count) printf "\nGeometric mean of wine / native: %.2f over %d programs; highest %.2f (%s)\n", exp(sum / count), count, worst, worstProg
  }' "$results" "$wine_results"
fi

if [ -s "$failures" ]; then
  printf '\nRuns that did not print the expected checksum:\n'
  cat "$failures"
fi
