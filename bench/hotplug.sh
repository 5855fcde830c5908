#!/usr/bin/env bash
# A pulled and replugged USB serial adapter (mocked with umockdev): time from
# udev's "add" event to the first byte read again, with the port following the
# adapter by identity and with the retry by path once a second.
#   bench/hotplug.sh [build-dir] [trials]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cmake --build "$build" --target hotplug_probe >/dev/null
umockdev-wrapper "$build/bench/hotplug_probe" tests/devices/data "${2:-20}"
