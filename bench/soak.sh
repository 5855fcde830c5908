#!/usr/bin/env bash
# Soak run (not part of the test command): simulated Orvane 1.1 traffic from
# orvane-sim into the Tamsel window under Xvfb, for an hour unless
# SOAK_SECONDS says otherwise. Every SOAK_SAMPLE_SECONDS it prints the
# window's resident memory, its CPU time, the bytes the simulator has sent and
# the bytes the window's reader has taken from the line; at the end it
# compares the two and lists any message box that was shown.
#
#   bench/soak.sh [build-dir]            (default build/)
#   SOAK_SECONDS=300 bench/soak.sh
#
# The simulator's finest traffic period, 1 ms (SOAK_TRAFFIC_MS), sends about
# 14 000 bytes/s, a little more than the 11 520 bytes/s of a full 115200-baud
# line; the port is opened at 115200 baud. The simulator holds back traffic
# while more than 1 KiB waits unread on the line, so a window that falls
# behind shows as a lower rate rather than as lost bytes.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build}
seconds=${SOAK_SECONDS:-3600}
sample=${SOAK_SAMPLE_SECONDS:-60}
traffic_ms=${SOAK_TRAFFIC_MS:-1}
warmup=10

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

if [ ! -x "$build/app/tamsel" ] || [ ! -x "$build/sim/orvane-sim" ]; then
  cmake --build "$build" -j2 --target tamsel orvane-sim
fi

work=$(mktemp -d /tmp/tamsel-soak-XXXXXX)
sim_pid=
tamsel_pid=
cleanup() {
  [ -n "$tamsel_pid" ] && kill "$tamsel_pid" 2>/dev/null || true
  [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

"$build/sim/orvane-sim" --version 1.1 --traffic "$traffic_ms" >"$work/sim.out" 2>"$work/sim.err" &
sim_pid=$!
for _ in $(seq 50); do
  [ -s "$work/sim.out" ] && break
  sleep 0.1
done
device=$(head -n 1 "$work/sim.out")
[ -n "$device" ] || { echo "soak: orvane-sim did not start: $(cat "$work/sim.err")" >&2; exit 1; }
# The simulator's only other write is the device line on standard output.
stdout_bytes=$(( ${#device} + 1 ))

# The port: on the command line where the program takes --map, else through
# the "ports" section of a settings profile made for this run.
export XDG_CONFIG_HOME="$work/config"
mkdir -p "$XDG_CONFIG_HOME/Pellmark"
cat >"$XDG_CONFIG_HOME/Pellmark/TamSel Serial port Monitor 1.1 (OV1.1).conf" <<EOF
[ports]
COM1=$device

[tamsel_OV]
comport=COM1
comspeed=115200
receiveenable=1
localecho=1
receiveXrate=4
sendXrate=4
EOF
args=()
if "$build/app/tamsel" --help 2>/dev/null | grep -q -- '--map'; then
  args=(--map "COM1=$device" --port COM1 --baud 115200 --rx ov11 --tx ov11)
fi

"$build/app/tamsel" "${args[@]}" >"$work/tamsel.out" 2>&1 &
tamsel_pid=$!

io_value() { # file key
  awk -v key="$2:" '$1 == key { print $2 }' "$1" 2>/dev/null || echo 0
}
rss_kb() { awk '$1 == "VmRSS:" { print $2 }' "/proc/$tamsel_pid/status"; }
cpu_seconds() { # utime + stime of the whole process
  awk -v hz="$(getconf CLK_TCK)" '{ printf "%.1f", ($14 + $15) / hz }' "/proc/$tamsel_pid/stat"
}
sim_sent() { echo $(( $(io_value "/proc/$sim_pid/io" wchar) - stdout_bytes )); }
# The reader is the program's one thread besides the main thread that keeps
# its name, and it reads nothing but the line.
reader_read() {
  local task total=0
  for task in /proc/"$tamsel_pid"/task/*; do
    [ "${task##*/}" = "$tamsel_pid" ] && continue
    [ "$(cat "$task/comm" 2>/dev/null)" = "tamsel" ] || continue
    total=$(( total + $(io_value "$task/io" rchar) ))
  done
  echo "$total"
}
boxes_shown() {
  xwininfo -root -tree 2>/dev/null | grep -oE '"(Tamsel::|Orvane)[^"]*"' | sort -u | tr '\n' ' ' || true
}

# Start-up, watched second by second: a box now tells of the first moments.
boxes=""
for second in $(seq "$warmup"); do
  sleep 1
  kill -0 "$tamsel_pid" 2>/dev/null || { echo "soak: tamsel did not start: $(cat "$work/tamsel.out")" >&2; exit 1; }
  shown=$(boxes_shown)
  if [ -n "$shown" ] && [ -z "$boxes" ]; then
    echo "start-up: $shown shown within $second s of the start"
  fi
  boxes="$boxes$shown"
done
rss_start=$(rss_kb)
rss_max=$rss_start
start=$(date +%s)
printf '%8s %10s %8s %14s %14s  %s\n' seconds rss_kB cpu_s sent_bytes read_bytes boxes
while :; do
  now=$(( $(date +%s) - start ))
  rss=$(rss_kb)
  [ "$rss" -gt "$rss_max" ] && rss_max=$rss
  shown=$(boxes_shown)
  boxes="$boxes$shown"
  printf '%8d %10d %8s %14d %14d  %s\n' "$now" "$rss" "$(cpu_seconds)" "$(sim_sent)" "$(reader_read)" "$shown"
  [ "$now" -ge "$seconds" ] && break
  left=$(( seconds - now ))
  sleep $(( left < sample ? left : sample ))
done

# Stop the traffic, give the window a moment to take what is still on the line.
kill -STOP "$sim_pid"
sleep 2
sent=$(sim_sent)
read_bytes=$(reader_read)
rss_end=$(rss_kb)
cpu=$(cpu_seconds)
elapsed=$(( $(date +%s) - start + warmup ))
kill -CONT "$sim_pid"

echo
echo "run: $elapsed s of simulated Orvane 1.1 traffic into the window at 115200 baud"
echo "rate: $(( sent / elapsed )) bytes/s sent ($(( sent * 10 / elapsed )) baud at 10 bits a byte)"
echo "RSS: ${rss_start} kB at ${warmup} s, ${rss_end} kB at the end, ${rss_max} kB at most"
echo "bytes: ${sent} sent by the simulator, ${read_bytes} read by the window, $(( sent - read_bytes )) not read"
echo "       (without a \"Receive buffer overflowed\" box every byte read reached the receive conversion)"
echo "CPU: ${cpu} s in all, $(awk -v c="$cpu" -v s="$elapsed" 'BEGIN { printf "%.1f", 100 * c / s }')% of a core"
boxes=$(tr ' ' '\n' <<<"$boxes" | sort -u | tr '\n' ' ' | sed 's/^ *//')
echo "message boxes: ${boxes:-none}"
