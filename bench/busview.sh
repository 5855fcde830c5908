#!/usr/bin/env bash
# The bus view's cost: Tamsel's window under Xvfb taking orvane-sim's
# unasked Orvane 1.1 traffic, without and with the bus view open and two
# registers plotted, as a share of one core (the whole process, all threads,
# from /proc/PID/stat) and the X server's share; then the longest event-loop
# stall under a 1 MiB/s flood (busview_stall), without and with the bus view.
#
#   bench/busview.sh [build-dir] [seconds]
#
# Prints RESULT lines. The build must have TAMSEL_BENCH=ON (busview_stall).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
seconds=${2:-10}
"$root/scripts/install-deps.sh" xvfb

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

source "$root/scripts/lib/xvfb.sh"
xvfb_start 1600x900
xvfb=$XVFB_PID
pids+=("$xvfb")
export QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 -p "$XDG_RUNTIME_DIR"

ticks=$(getconf CLK_TCK)
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }

# orvane-sim's fastest traffic: a reply16, a reply32 and a burst per node in
# turn, one message a millisecond (about 14 000 bytes a second in 1.1
# framing; a 115 200-baud line carries 11 520).
"$build/sim/orvane-sim" --version 1.1 --traffic 1 --link "$work/bus" >/dev/null &
pids+=($!)
for _ in $(seq 50); do [ -e "$work/bus" ] && break; sleep 0.1; done

# The line's byte rate as the simulator delivers it.
rate=$(timeout 3 python3 - "$work/bus" <<'PY' || true
import os, sys, time, tty
fd = os.open(sys.argv[1], os.O_RDONLY | os.O_NOCTTY)
tty.setraw(fd)
end = time.monotonic() + 2
count = 0
while time.monotonic() < end:
    count += len(os.read(fd, 65536))
print(count // 2)
PY
)
echo "RESULT busview_line bytes_per_second=${rate:-unknown}"

run() { # label, extra tamsel arguments...
  local label=$1; shift
  local config="$work/$label"
  mkdir -p "$config/Pellmark"
  printf '[tamsel_OV]\ncomport=COM5\ncomspeed=115200\nreceiveXrate=4\nsendXrate=4\n[busview]\nplots=1:16:15 12:32:15\nminutes=1\n' \
    >"$config/Pellmark/TamSel Serial port Monitor 1.1 (OV1.1).conf"
  XDG_CONFIG_HOME="$config" "$build/app/tamsel" --map "COM5=$work/bus" "$@" >/dev/null 2>&1 &
  local tamsel=$!
  pids+=($tamsel)
  sleep 4  # the window up, the reader's first read after 2 s, the view filled
  local t0 x0 t1 x1
  t0=$(cpu_ticks $tamsel); x0=$(cpu_ticks $xvfb)
  sleep "$seconds"
  t1=$(cpu_ticks $tamsel); x1=$(cpu_ticks $xvfb)
  kill $tamsel; wait $tamsel 2>/dev/null || true
  awk -v l="$label" -v t=$((t1 - t0)) -v x=$((x1 - x0)) -v hz="$ticks" -v s="$seconds" \
    'BEGIN { printf "RESULT busview_cpu run=%s tamsel_percent=%.2f xvfb_percent=%.2f\n", l, 100 * t / hz / s, 100 * x / hz / s }'
}

run window
run bus-view --bus-view

for view in --no-bus-view ""; do
  "$build/bench/busview_stall" --seconds "$seconds" $view 2>/dev/null | grep '^RESULT'
done
