#!/usr/bin/env bash
# Replay of a 64 MiB Orvane 1.1 capture as fast as the receive conversion takes
# it, headless, report to /dev/null: wall and CPU time of three runs and the
# capture's MiB per second.
#   bench/replay.sh [build-dir]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cmake --build "$build" --target tamsel make_capture >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/bench/make_capture" "$work/bus.pcapng" 64
for run in 1 2 3; do
  /usr/bin/time -f "%e %U %S" -o "$work/time" \
    "$build/app/tamsel" --headless --profile "$work/p.conf" --replay "$work/bus.pcapng" \
    --replay-speed max --rx ov11 --linger 0 </dev/null >/dev/null
  read -r wall user system <"$work/time"
  awk -v w="$wall" -v u="$user" -v s="$system" -v r="$run" 'BEGIN {
    printf "run %d: %.2f s wall (%.1f MiB/s), %.2f s CPU (%.1f MiB/s of CPU)\n", r, w, 64 / w, u + s, 64 / (u + s) }'
done
