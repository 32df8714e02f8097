#!/usr/bin/env bash
# Fault soak: sequaflow-cli against sequaflow-sim at the 57600-baud line rate with reply faults (dropped,
# truncated, corrupted, late, stray, trickling past the receive wait, a device that vanishes and comes back),
# for MINUTES minutes: the read of everything, a parameter-file load, the factory reset and live readings in
# a loop. Phases of a few rounds alternate between the full fault rates and light ones (with the full rates
# a load's complete reads rarely succeed, so its writes would seldom be judged); the simulator is started
# afresh for each phase, on the same state file. After each step the simulator's own account (its --truth
# file) is the judge:
#   values accepted wrongly   a value the CLI printed that the simulator does not hold        (must be 0)
#   failures as success       a load or reset that exited 0 and left something else behind,
#                             or a live run that exited 0 without its frames                  (must be 0)
#   hangs, crashes            a step over its time limit, or ended by a signal                (must be 0)
# A step that exits non-zero has reported its failure: that is counted, and is fine.
#
# Usage: bench/soak.sh MINUTES
# Environment:
#   SOAK_BUILD_DIR  build directory (default: build-soak in the repository, a Release build made here);
#                   the three programs are built in it first unless SOAK_NO_BUILD=1
#   SOAK_FAULTS     the simulator's --faults list (default below)
#   SOAK_LIGHT_FAULTS  the list of the light phases (default below)
#   SOAK_SEED       the simulator's seed (default: from the clock; printed, so a run can be repeated)
#   SOAK_KEEP=1     keep the work directory (it is always kept when a must-be-zero figure is not 0)
# Exit: 0 when every must-be-zero figure is 0; 1 otherwise; 2 on a usage or setup error.
set -uo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
minutes="${1:-}"
if ! [[ "$minutes" =~ ^[0-9]+$ ]] || [ "$minutes" -lt 1 ]; then
  echo "usage: bench/soak.sh MINUTES" >&2
  exit 2
fi
build="${SOAK_BUILD_DIR:-$root/build-soak}"
faults="${SOAK_FAULTS:-drop=0.02,truncate=0.02,corrupt=0.02,late=0.02,stray=0.02,edge=0.02,vanish=0.0005}"
light="${SOAK_LIGHT_FAULTS:-drop=0.003,truncate=0.003,corrupt=0.003,late=0.003,stray=0.003,edge=0.003,vanish=0.0002}"
seed="${SOAK_SEED:-$(( $(date +%s) % 1000000 ))}"
phase_rounds=3
step_limit=300     # seconds; a step that takes longer is a hang
live_frames=40

if [ "${SOAK_NO_BUILD:-0}" != 1 ]; then
  if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DSEQUAFLOW_BUILD_GUI=OFF \
          -DSEQUAFLOW_BUILD_TESTS=OFF > /dev/null || { echo "soak: configure failed" >&2; exit 2; }
  fi
  cmake --build "$build" -j2 --target sequaflow-cli sequaflow-sim sequaflow_soak_check > "${TMPDIR:-/tmp}/soak-build.$$.log" 2>&1 \
    || { cat "${TMPDIR:-/tmp}/soak-build.$$.log" >&2; rm -f "${TMPDIR:-/tmp}/soak-build.$$.log"; echo "soak: build failed" >&2; exit 2; }
  rm -f "${TMPDIR:-/tmp}/soak-build.$$.log"
fi
cli="$build/src/sequaflow-cli"
sim="$build/src/sequaflow-sim"
check="$build/bench/sequaflow_soak_check"
for p in "$cli" "$sim" "$check"; do
  [ -x "$p" ] || { echo "soak: $p is missing" >&2; exit 2; }
done

work="$(mktemp -d "${TMPDIR:-/tmp}/sequaflow-soak.XXXXXX")"
mkdir -p "$work/cwd" "$work/files"
log="$work/soak.log"
simpid=""
steppid=""
interrupted=0
finished=0

declare -A ran=() failed=()
wrong=0; as_success=0; hangs=0; crashes=0; setup_errors=0
declare -A fault_total=()
fault_line=""   # the current simulator's counts

say() { echo "$*" | tee -a "$log"; }

# Adds the current simulator's counts to the totals.
fold_faults() {
  local w
  for w in $fault_line; do
    fault_total[${w%%=*}]=$(( ${fault_total[${w%%=*}]:-0} + ${w#*=} ))
  done
  fault_line=""
}

stop_sim() {
  fold_faults
  [ -n "$simpid" ] || return 0
  kill -TERM "$simpid" 2>/dev/null
  for _ in $(seq 50); do kill -0 "$simpid" 2>/dev/null || break; sleep 0.1; done
  kill -KILL "$simpid" 2>/dev/null
  wait "$simpid" 2>/dev/null
  simpid=""
}

summary() {
  local total=0 k
  echo
  fold_faults
  echo "soak: $minutes min requested, seed $seed"
  echo "  faults (full phases):  $faults"
  echo "  faults (light phases): $light"
  for k in read load factory-reset live; do
    total=$(( total + ${ran[$k]:-0} ))
    printf '  %-14s %6d run, %6d reported a failure\n' "$k" "${ran[$k]:-0}" "${failed[$k]:-0}"
  done
  echo "  operations run: $total"
  local counts="" n=0
  for k in drop truncate corrupt late stray edge vanish; do
    counts+=" $k=${fault_total[$k]:-0}"; n=$(( n + ${fault_total[$k]:-0} ))
  done
  echo "  faults injected: $n:$counts (the device came back ${fault_total[hangups]:-0} times)"
  echo "  values accepted wrongly: $wrong"
  echo "  failures reported as success: $as_success"
  echo "  hangs: $hangs, crashes: $crashes"
  [ "$interrupted" = 1 ] && echo "  (interrupted before the end)"
}

cleanup() {
  local rc=$?
  trap - EXIT INT TERM
  [ -n "$steppid" ] && kill -TERM "$steppid" 2>/dev/null && wait "$steppid" 2>/dev/null
  stop_sim
  if [ "$finished" = 1 ] || [ "$interrupted" = 1 ]; then summary | tee -a "$log"; fi
  local bad=$(( wrong + as_success + hangs + crashes + setup_errors ))
  if [ "$bad" -ne 0 ] || [ "${SOAK_KEEP:-0}" = 1 ]; then
    echo "soak: details kept in $work (soak.log)"
  else
    rm -rf "$work"
  fi
  if [ "$finished" = 1 ] || [ "$interrupted" = 1 ]; then
    [ "$setup_errors" -ne 0 ] && exit 2
    [ "$bad" -ne 0 ] && exit 1
    exit 0
  fi
  exit "$rc"
}
trap cleanup EXIT
trap 'interrupted=1; exit 130' INT TERM

# start_sim FAULTS SEED
start_sim() {
  "$sim" --line-rate --link "$work/ecu" --state "$work/state.txt" --truth "$work/truth" \
         --faults "$1" --seed "$2" < /dev/null > "$work/sim.out" 2>> "$work/sim.err" &
  simpid=$!
  wait_link || { echo "soak: the simulator did not come up:" >&2; cat "$work/sim.err" >&2; return 1; }
}

# The terminal behind the link; after a vanished device it comes back within a moment.
wait_link() {
  for _ in $(seq 100); do
    [ -e "$work/ecu" ] && return 0
    kill -0 "$simpid" 2>/dev/null || return 1
    sleep 0.05
  done
  return 1
}

# The simulator's account, into file $1.
truth() {
  rm -f "$work/truth"
  kill -USR1 "$simpid" 2>/dev/null || return 1
  for _ in $(seq 200); do
    if [ -f "$work/truth" ]; then mv "$work/truth" "$1"; return 0; fi
    sleep 0.02
  done
  return 1
}

# Runs the CLI in the background (so Ctrl+C and the time limit reach it); its exit code in $step_rc.
run_cli() {
  local out="$1"; shift
  ( cd "$work/cwd" && exec timeout -k 10 "$step_limit" "$cli" --device "$work/ecu" "$@" ) \
    > "$out" 2> "$work/step.err" &
  steppid=$!
  wait "$steppid"
  step_rc=$?
  steppid=""
}

# Sorts one finished step; true when it exited 0.
judge_exit() {
  local kind="$1"
  ran[$kind]=$(( ${ran[$kind]:-0} + 1 ))
  case "$step_rc" in
    0) return 0 ;;
    124|137) hangs=$(( hangs + 1 )); say "HANG: $kind over ${step_limit}s" ;;
    2) setup_errors=$(( setup_errors + 1 )); say "USAGE ERROR: $kind"; cat "$work/step.err" >> "$log" ;;
    *)
      if [ "$step_rc" -gt 128 ]; then
        crashes=$(( crashes + 1 )); say "CRASH: $kind ended by signal $(( step_rc - 128 ))"
        cat "$work/step.err" >> "$log"
      else
        failed[$kind]=$(( ${failed[$kind]:-0} + 1 ))
        echo "$kind exit $step_rc: $(tail -n 1 "$work/step.err")" >> "$log"
      fi ;;
  esac
  return 1
}

# A checker's verdict: 0 agrees, 1 differs (counted in the named figure), 2 the checker could not judge.
verdict() {
  local figure="$1" what="$2"; shift 2
  local out n
  out="$("$check" "$@" 2>&1)"
  case $? in
    0) return 0 ;;
    1)
      n="$(echo "$out" | awk '/^checked/ {print $4}')"
      [ -z "$n" ] || [ "$n" = 0 ] && n=1
      if [ "$figure" = wrong ]; then wrong=$(( wrong + n )); else as_success=$(( as_success + 1 )); fi
      say "$what:"; echo "$out" | head -n 20 | tee -a "$log"
      cp "$work/step.out" "$work/failed-$(date +%H%M%S)-$RANDOM.out" 2>/dev/null ;;
    *) setup_errors=$(( setup_errors + 1 )); say "CHECKER FAILED ($what): $out" ;;
  esac
}

note_faults() {
  fault_line="$("$check" faults "$1" 2>/dev/null || echo "$fault_line")"
}

step_read() {
  wait_link
  run_cli "$work/step.out" read --json
  judge_exit read || return
  truth "$work/after" || { setup_errors=$(( setup_errors + 1 )); return; }
  note_faults "$work/after"
  verdict wrong "read: values accepted wrongly" read "$work/after" "$work/step.out"
}

step_write() {
  local kind="$1"; shift
  wait_link
  truth "$work/before" || { setup_errors=$(( setup_errors + 1 )); return; }
  run_cli "$work/step.out" "$@"
  local ok=1
  judge_exit "$kind" || ok=0
  truth "$work/after" || { setup_errors=$(( setup_errors + 1 )); return; }
  note_faults "$work/after"
  [ "$ok" = 1 ] || return
  if [ "$kind" = load ]; then
    verdict as_success "load exited 0 but the controller holds other values" load "$work/before" "$work/after" "${@: -1}"
  else
    verdict as_success "factory-reset exited 0 but the controller holds other values" reset "$work/before" "$work/after"
  fi
}

step_live() {
  wait_link
  run_cli "$work/step.out" live --count "$live_frames" --json
  judge_exit live || return
  local lines
  lines="$(grep -c '^{"time_s":' "$work/step.out")"
  if [ "$lines" -ne "$live_frames" ]; then
    as_success=$(( as_success + 1 ))
    say "live exited 0 with $lines of $live_frames frames"
  fi
}

"$check" files "$work/files" > /dev/null || exit 2
files=("$work"/files/*.par)
backup_option=""
"$cli" --help 2>&1 | grep -q -- '--no-backup' && backup_option="--no-backup"

echo "soak: $minutes min, seed $seed; work directory $work"
end=$(( $(date +%s) + 60 * minutes ))
round=0
while [ "$(date +%s)" -lt "$end" ]; do
  phase=$(( round / phase_rounds ))
  if [ $(( round % phase_rounds )) = 0 ] || [ -z "$simpid" ] || ! kill -0 "$simpid" 2>/dev/null; then
    if [ -n "$simpid" ] && ! kill -0 "$simpid" 2>/dev/null; then
      say "the simulator died:"; tee -a "$log" < "$work/sim.err"; crashes=$(( crashes + 1 ))
    fi
    stop_sim
    spec="$faults"; [ $(( phase % 2 )) = 1 ] && spec="$light"
    start_sim "$spec" $(( seed + phase )) || exit 2
  fi
  file="${files[$(( round % ${#files[@]} ))]}"
  # Every other load and reset keeps its backup first (a complete read); the rest go straight to the writes.
  opt=()
  [ -n "$backup_option" ] && [ $(( round % 2 )) = 1 ] && opt=("$backup_option")
  step_read
  step_write load load "${opt[@]}" "$file"
  step_read
  [ "$(date +%s)" -lt "$end" ] || break
  step_write factory-reset factory-reset --yes "${opt[@]}"
  step_live
  round=$(( round + 1 ))
  printf '\r  %d rounds, %d wrong, %d as success, %d hangs, %d crashes ' "$round" "$wrong" "$as_success" "$hangs" "$crashes"
done
echo
finished=1
