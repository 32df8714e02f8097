#!/usr/bin/env bash
# CPU of the desktop program on the simulated controller while the readings page is shown, and while the
# oscilloscope page is shown (its trace drawn at every live frame). Each run: the program starts on the
# page under xvfb-run, waits for the first live request and a settling time, then the utime + stime of its
# process are sampled over SECONDS. Live requests per second come from the simulator's log.
# The simulator answers at once, so the 25 ms tick sets the pace: 40 frames per second. With LINE_RATE=1 it
# answers at the pace of 57600 baud instead, which allows fewer.
# Usage: [LINE_RATE=1] bench/scope_cpu.sh [BUILD_DIR] [SECONDS]   (a Release build is the meaningful one)
set -euo pipefail
build="$(cd "${1:-build-rel}" && pwd)"
seconds="${2:-30}"
sim="$build/src/sequaflow-sim"
gui="$build/src/ui/sequaflow"
work="$(mktemp -d)"
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
command -v xvfb-run > /dev/null || { echo "needs xvfb-run" >&2; exit 1; }

ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
hz=$(getconf CLK_TCK)
request="rx 56 00 00 00 56 3A"

measure() {  # page name, label
  local dir="$work/$1"
  mkdir -p "$dir"
  # A simulator of its own for each run, so no run finds the terminal still held by the one before.
  rm -f "$work/ecu" "$work/sim.log"
  "$sim" ${LINE_RATE:+--line-rate} --link "$work/ecu" --log "$work/sim.log" > /dev/null &
  local simpid=$!
  for _ in $(seq 50); do [ -e "$work/ecu" ] && break; sleep 0.1; done
  (cd "$dir" && HOME="$dir" exec xvfb-run -a "$gui" --map "COM1=$work/ecu" --connect COM1 --page "$1") \
    > "$dir/out" 2>&1 &
  local xpid=$! guipid=""
  for _ in $(seq 100); do
    guipid=$(pgrep -f "^$gui --map COM1=$work/ecu --connect COM1 --page $1" | head -n 1 || true)
    [ -n "$guipid" ] && break
    sleep 0.05
  done
  [ -n "$guipid" ] || { echo "$2: the program did not start"; cat "$dir/out"; return; }
  for _ in $(seq 300); do grep -q "$request" "$work/sim.log" 2>/dev/null && break; sleep 0.05; done
  sleep 5
  local g0 n0 w0 g1 n1 w1
  g0=$(ticks "$guipid"); n0=$(grep -c "$request" "$work/sim.log" || true); w0=$(date +%s.%N)
  sleep "$seconds"
  g1=$(ticks "$guipid"); n1=$(grep -c "$request" "$work/sim.log" || true); w1=$(date +%s.%N)
  printf '%-22s CPU %5s %%   %s live frames per second\n' "$2:" \
    "$(echo "scale=1; 100 * ($g1 - $g0) / $hz / ($w1 - $w0)" | bc)" \
    "$(echo "scale=1; ($n1 - $n0) / ($w1 - $w0)" | bc)"
  [ "$n1" -gt "$n0" ] || echo "  (no live frames: the program did not get its connection; run again)"
  kill "$guipid" 2>/dev/null || true
  wait "$xpid" 2>/dev/null || true
  kill "$simpid" 2>/dev/null || true
  wait "$simpid" 2>/dev/null || true
}

echo "sequaflow on the simulated controller, ${seconds} s per page ($(basename "$build"))"
measure TabSheet1 "readings page"
measure TabSheet2 "oscilloscope page"
