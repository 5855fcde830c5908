#!/usr/bin/env bash
# Builds Tamsel (installing what is missing) and starts its demo: a simulated
# Orvane bus inside the program, on the profile's port. With a display the
# window opens; without one a short session runs headless and its report is
# printed here.
#   scripts/run.sh [tamsel option...]     e.g. scripts/run.sh --port COM3
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
build=build-run
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAMSEL_TESTS=OFF >/dev/null
cmake --build "$build" --target tamsel -j "${TAMSEL_JOBS:-$(nproc)}"
tamsel="$build/app/tamsel"

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec "$tamsel" --demo "$@"
fi

# A profile of its own, so the session shows the same on every machine and
# leaves the user's settings alone.
profile=$(mktemp --suffix=.conf)
trap 'rm -f "$profile"' EXIT
echo "No display here: the demo runs headless with a short session (report below)."
echo
status=0
"$tamsel" --demo --headless --profile "$profile" --rx ov11 --tx ov11 "$@" <<'SESSION' || status=$?
get16 all 0
::wait 150
set16 5 3 1234;get16 5 3
::wait 150
get32 12 1
::wait 150
read16 1 0x20
::wait 150
bulkget 12 0 4
::wait 150
reqprof 5
::wait 150
shownode
SESSION
echo
echo "Your turn: $tamsel --demo --headless --rx ov11 --tx ov11"
echo "then type commands, one a line (Ctrl+D ends); tamsel --help lists the rest."
exit "$status"
