#!/usr/bin/env bash
# The report window at the specified report size and at the largest one:
# report_stall under Xvfb with the xcb platform, each size twice, alternately.
#
#   bench/report_size.sh [build-dir] [seconds] [chars-per-second]
#
# Prints RESULT lines. The build must have TAMSEL_BENCH=ON.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
seconds=${2:-10}
rate=${3:-1048576}
"$root/scripts/install-deps.sh" xvfb
cmake --build "$build" --target report_stall >/dev/null

work=$(mktemp -d)
source "$root/scripts/lib/xvfb.sh"
trap 'xvfb_stop; rm -rf "$work"' EXIT
xvfb_start 1600x900
export QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 -p "$XDG_RUNTIME_DIR"

for _ in 1 2; do
  for limit in 20000 67108864; do
    "$build/bench/report_stall" --limit "$limit" --rate "$rate" --seconds "$seconds" 2>/dev/null | grep '^RESULT'
  done
done
