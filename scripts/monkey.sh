#!/usr/bin/env bash
# Random keys, clicks, menus, dialogs, resizes and clipboards against Tamsel's
# window on an X server of its own, with a simulated Orvane bus and line
# noise on its ports (tests/monkey/monkey.py says what it does and when it
# fails). Prints a seed; the same seed gives the same actions again.
#   scripts/monkey.sh [build-dir] [seconds]
#   TAMSEL_MONKEY_SECONDS  length when no seconds are given (default 60)
#   TAMSEL_MONKEY_SEED     repeat the run of that seed
#   TAMSEL_MONKEY_LOG      write every action to this file
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
seconds=${2:-${TAMSEL_MONKEY_SECONDS:-60}}
for program in "$build/app/tamsel" "$build/sim/orvane-sim"; do
  [ -x "$program" ] || { echo "monkey: $program is not built" >&2; exit 1; }
done

# The X server is the monkey's alone: a display number it picks itself, so
# no other display is ever touched; it goes, with every client on it, at exit.
source "$root/scripts/lib/xvfb.sh"
trap xvfb_stop EXIT
xvfb_start 1280x1024 || exit 1
display=$DISPLAY

seed=()
[ -z "${TAMSEL_MONKEY_SEED:-}" ] || seed=(--seed "$TAMSEL_MONKEY_SEED")
log=()
[ -z "${TAMSEL_MONKEY_LOG:-}" ] || log=(--log "$TAMSEL_MONKEY_LOG")
# The monkey ends itself; this is the last resort should it hang all the same.
status=0
timeout --kill-after=10 "$(( ${seconds%.*} + 240 ))" /usr/bin/python3 "$root/tests/monkey/monkey.py" \
  --tamsel "$build/app/tamsel" --simulator "$build/sim/orvane-sim" --display "$display" \
  --seconds "$seconds" "${seed[@]}" "${log[@]}" || status=$?
[ "$status" -ne 124 ] || echo "monkey: FAILED: did not end in time"
exit "$status"
