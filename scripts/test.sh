#!/usr/bin/env bash
# Builds Tamsel and runs every test: the whole suite (with fuzz smoke runs) in a
# plain build, its window tests again on a real X server under Xvfb, a monkey
# run of random input against the window (plain and sanitized builds), the whole
# suite under address + undefined sanitizers with libFuzzer, the threaded
# serial-line, simulator and demo tests under ThreadSanitizer, and the Debian
# package made, installed with apt-get, run and removed again.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

jobs=${TAMSEL_JOBS:-$(nproc)}
export QT_QPA_PLATFORM=offscreen
export CTEST_OUTPUT_ON_FAILURE=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
export LSAN_OPTIONS=suppressions=$PWD/tests/support/lsan.supp:print_suppressions=0
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1:suppressions=$PWD/tests/support/tsan.supp

passed=0
failed=0
run_suite() { # name build-dir preset
  local name=$1 dir=$2 preset=$3
  echo "== $name"
  local log="$dir/ctest.log"
  if ctest --preset "$preset" -j "$jobs" --timeout 600 2>&1 | tee "$log"; then :; fi
  local line
  line=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -n 1 || true)
  if [ -z "$line" ] && grep -q 'No tests were found' "$log"; then
    return
  fi
  if [ -z "$line" ]; then
    echo "$name: ctest gave no summary"
    failed=$((failed + 1))
    return
  fi
  local total bad
  total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$line")
  bad=$(sed -E 's/.* ([0-9]+) tests failed.*/\1/' <<<"$line")
  passed=$((passed + total - bad))
  failed=$((failed + bad))
}

build() { # preset (CMakePresets.json)
  cmake --preset "$1" >/dev/null
  cmake --build --preset "$1" -j "$jobs"
}

# The window's test programs once more on a real X server (Xvfb on a display
# number it picks itself): the offscreen platform has no clipboard, no focus
# and no X events, so faults of that kind show only here. Each program runs
# whole in one process; a crash counts as a failure of that program.
# The programs are those CMake labels "gui" (build-dir/tests-gui.txt).
source scripts/lib/xvfb.sh
trap xvfb_stop EXIT
run_on_x() { # build-dir
  local dir=$1
  echo "== GUI tests on X (xcb)"
  if ! xvfb_start 1280x1024; then
    failed=$((failed + 1))
    return
  fi
  local program log ok bad
  while read -r program; do
    log="$dir/xcb-$(basename "$program").log"
    (cd "$(dirname "$program")" && QT_QPA_PLATFORM=xcb timeout 900 "./$(basename "$program")") \
      >"$log" 2>&1 </dev/null || true
    ok=$(sed -nE 's/^\[  PASSED  \] ([0-9]+) tests?\..*/\1/p' "$log" | tail -n 1)
    bad=$(sed -nE 's/^\[  FAILED  \] ([0-9]+) tests?, listed below.*/\1/p' "$log" | tail -n 1)
    if [ -z "$ok$bad" ]; then
      echo "$program on X: ended without a summary (crash or time-out)"
      tail -n 20 "$log"
      failed=$((failed + 1))
      continue
    fi
    echo "$program on X: ${ok:-0} passed, ${bad:-0} failed"
    [ -z "$bad" ] || grep -E '^\[  FAILED  \] [A-Za-z]' "$log" || true
    passed=$((passed + ${ok:-0}))
    failed=$((failed + ${bad:-0}))
  done <"$dir/tests-gui.txt"
  xvfb_stop
}

# Random input against the window (scripts/monkey.sh), counted as one test
# per run; a failure prints the seed that repeats it.
run_monkey() { # name build-dir seconds
  echo "== monkey, $1"
  if scripts/monkey.sh "$2" "$3"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
  fi
}
monkey_seconds=${TAMSEL_MONKEY_SECONDS:-60}

build plain
run_suite "plain build" build plain
x_started=$SECONDS
run_on_x build
echo "GUI tests on X: $((SECONDS - x_started)) s"
run_monkey "plain build" build "$monkey_seconds"
x_seconds=$((SECONDS - x_started))

# Each fuzz target's smoke run gets 5 s of libFuzzer here (the usual 10 s
# doubled this stage for 18 targets); the long campaigns are bench/FUZZING.md's.
build asan
run_suite "address + undefined sanitizers" build-asan asan
# On X, libxkbcommon strndup()s key names that are not NUL-terminated, which
# the strict string check reports before Tamsel has even started.
monkey_started=$SECONDS
ASAN_OPTIONS=$ASAN_OPTIONS:strict_string_checks=0 \
  run_monkey "address + undefined sanitizers" build-asan "$((monkey_seconds / 2))"
x_seconds=$((x_seconds + SECONDS - monkey_started))
echo "X passes (GUI tests on X and both monkey runs): $x_seconds s"

# Only the threaded tests are built here: the programs CMake labels "tsan"
# (with the fuzz smoke runs of their folders): the serial line, the simulator,
# and the window with the in-process demo bus (Qt itself is not instrumented;
# see tests/support/tsan.supp for what that leaves unseen).
build tsan
run_suite "thread sanitizer" build-tsan tsan

# The Debian package as a user meets it: made (Release build, lintian),
# installed with apt-get, run, its manual found, removed without a trace.
# Each of its checks counts as one test.
echo "== Debian package"
package_log=$(mktemp)
scripts/check-package.sh 2>&1 | tee "$package_log" || true
package_ok=$(grep -c '^ok: ' "$package_log" || true)
package_bad=$(grep -c '^FAILED: ' "$package_log" || true)
if [ "$package_ok$package_bad" = "00" ]; then package_bad=1; fi
passed=$((passed + package_ok))
failed=$((failed + package_bad))
rm -f "$package_log"

echo
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
