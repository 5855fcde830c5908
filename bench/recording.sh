#!/usr/bin/env bash
# What keeping the session costs: the drop-free Raw ceiling of the headless
# run with --log and --capture both on, against the same run without them,
# alternately (the machine's load moves every ceiling, so each pair is
# measured back to back); then the longest stall of the user-interface
# thread while the window writes a log at about 4 MiB/s (busview_stall with
# --log: Orvane 1.1 register replies whose decoded text is about six times
# the line's bytes), and without the log at the same line rate. Between them,
# the CPU time per MiB at 1 MiB/s with and without the two files.
#
#   bench/recording.sh [build-dir] [pairs] [stall-seconds]
#
# Prints RESULT lines (labels tamsel-headless and tamsel-headless-kept for the
# ceilings). The build must have TAMSEL_BENCH=ON.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
pairs=${2:-3}
seconds=${3:-10}
"$root/scripts/install-deps.sh" xvfb
cmake --build "$build" --target tamsel pty_rig busview_stall >/dev/null

work=$(mktemp -d)
xvfb=""
cleanup() {
  if [ -n "$xvfb" ]; then kill "$xvfb" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work/config"
: >"$work/profile.conf"

tamsel=(env XDG_CONFIG_HOME="$work/config" "$build/app/tamsel" --profile "$work/profile.conf"
        --map 'COM5={pty}' --port COM5 --baud 115200 --rx raw --headless --linger 300)
kept=(--log "$work/session.log" --log-new --capture "$work/session.pcapng")
rig=("$build/bench/pty_rig" --seconds 2 --steps 3 --test ceiling --traffic raw
     --fail-stderr "Receive buffer overflowed")
for _ in $(seq "$pairs"); do
  "${rig[@]}" --label tamsel-headless -- "${tamsel[@]}" 2>/dev/null | grep '^RESULT'
  "${rig[@]}" --label tamsel-headless-kept -- "${tamsel[@]}" "${kept[@]}" 2>/dev/null | grep '^RESULT'
done
# What the two writers cost in CPU at a steady 1 MiB/s, less noisy than a ceiling.
cpu=("$build/bench/pty_rig" --test cpu --rate 1048576 --seconds 3 --traffic raw
     --fail-stderr "Receive buffer overflowed")
for _ in $(seq "$pairs"); do
  "${cpu[@]}" --label tamsel-headless -- "${tamsel[@]}" 2>/dev/null | grep '^RESULT'
  "${cpu[@]}" --label tamsel-headless-kept -- "${tamsel[@]}" "${kept[@]}" 2>/dev/null | grep '^RESULT'
done

source "$root/scripts/lib/xvfb.sh"
xvfb_start 1600x900
xvfb=$XVFB_PID
export QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 -p "$XDG_RUNTIME_DIR"
# Replies decode to about 6.3 characters of report text a byte: 850 000 bytes a
# second offered make a log of 4 MiB/s and more once the line has taken them
# (a busy machine's pseudo-terminal refuses part; the result has the log's rate).
for log in --log ""; do
  "$build/bench/busview_stall" --no-bus-view --no-plots --rate 850000 --seconds "$seconds" \
    ${log:+$log "$work/stall.log"} 2>/dev/null | grep '^RESULT'
done
