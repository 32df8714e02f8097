#!/usr/bin/env bash
# Live-readings measurements against the simulated controller at the 57600-baud line rate:
#   CLI: frames per second of `sequaflow-cli live`, and the CPU the simulator uses meanwhile.
#   GUI (when built and xvfb-run exists): frames per second, CPU and resident memory of the desktop
#   program, and the time from its start to the first accepted live frame.
# Usage: bench/measure_live.sh [BUILD_DIR]   (a Release build is the meaningful one)
set -euo pipefail
build="${1:-build-rel}"
cli="$build/src/sequaflow-cli"
sim="$build/src/sequaflow-sim"
gui="$build/src/ui/sequaflow"
work="$(mktemp -d)"
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT

ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
hz=$(getconf CLK_TCK)

"$sim" --line-rate --link "$work/ecu" --log "$work/sim.log" > /dev/null &
simpid=$!
for _ in $(seq 50); do [ -e "$work/ecu" ] && break; sleep 0.1; done

s0=$(ticks $simpid); t0=$(date +%s.%N)
"$cli" --device "$work/ecu" live --count 400 --csv > /dev/null 2> "$work/cli.err"
t1=$(date +%s.%N); s1=$(ticks $simpid)
echo "cli: $(tail -n 1 "$work/cli.err")"
echo "sim: CPU $(echo "scale=2; 100 * ($s1 - $s0) / $hz / ($t1 - $t0)" | bc) % while answering"

if [ -x "$gui" ] && command -v xvfb-run > /dev/null; then
  mkdir -p "$work/gui" && cd "$work/gui"
  : > "$work/sim.log"
  start=$(date +%s.%N)
  xvfb-run -a "$OLDPWD/$gui" --map "COM1=$work/ecu" --connect COM1 > /dev/null 2>&1 &
  for _ in $(seq 100); do pgrep -f "$gui --map" > /dev/null && break; sleep 0.05; done
  guipid=$(pgrep -f "$gui --map" | head -n 1)
  first=""
  for _ in $(seq 200); do
    if grep -q "rx 56 00 00 00 56 3A" "$work/sim.log" 2>/dev/null; then
      first=$(date +%s.%N); break
    fi
    sleep 0.02
  done
  sleep 5
  g0=$(ticks "$guipid"); n0=$(grep -c "rx 56 00 00 00 56 3A" "$work/sim.log" || true); w0=$(date +%s.%N)
  sleep 20
  g1=$(ticks "$guipid"); n1=$(grep -c "rx 56 00 00 00 56 3A" "$work/sim.log" || true); w1=$(date +%s.%N)
  rss=$(awk '/VmRSS/ {print $2}' "/proc/$guipid/status")
  echo "gui: $(echo "scale=1; ($n1 - $n0) / ($w1 - $w0)" | bc) live requests per second"
  echo "gui: CPU $(echo "scale=1; 100 * ($g1 - $g0) / $hz / ($w1 - $w0)" | bc) %, resident $((rss / 1024)) MiB"
  [ -n "$first" ] && echo "gui: first live request $(echo "scale=2; $first - $start" | bc) s after start (includes the read of everything)"
  kill "$guipid" 2>/dev/null || true
fi
