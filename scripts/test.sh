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
run_suite() { # name build-dir ctest-args...
  local name=$1 dir=$2; shift 2
  echo "== $name"
  local log="$dir/ctest.log"
  if ctest --test-dir "$dir" -j "$jobs" --timeout 600 "$@" 2>&1 | tee "$log"; then :; fi
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

build() { # dir cmake-args...
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja -DTAMSEL_WERROR=ON "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
}

# The window's test programs once more on a real X server (Xvfb on a display
# number it picks itself): the offscreen platform has no clipboard, no focus
# and no X events, so faults of that kind show only here. Each program runs
# whole in one process; a crash counts as a failure of that program.
xvfb_pid=""
trap '[ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true' EXIT
run_on_x() { # build-dir program...
  local dir=$1; shift
  echo "== GUI tests on X (xcb)"
  local number_file
  number_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$number_file" 2>/dev/null &
  xvfb_pid=$!
  for _ in $(seq 100); do [ -s "$number_file" ] && break; sleep 0.1; done
  local display=":$(head -n 1 "$number_file")"
  rm -f "$number_file"
  local program log ok bad
  for program in "$@"; do
    log="$dir/xcb-$(basename "$program").log"
    (cd "$dir/$(dirname "$program")" &&
      DISPLAY=$display QT_QPA_PLATFORM=xcb timeout 900 "./$(basename "$program")") >"$log" 2>&1 || true
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
  done
  kill "$xvfb_pid" 2>/dev/null || true
  wait "$xvfb_pid" 2>/dev/null || true
  xvfb_pid=""
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

build build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAMSEL_BENCH=ON
run_suite "plain build" build
x_started=$SECONDS
run_on_x build tests/view/view_tests tests/app/app_tests tests/faults/fault_tests tests/demo/demo_tests
echo "GUI tests on X: $((SECONDS - x_started)) s"
run_monkey "plain build" build "$monkey_seconds"
x_seconds=$((SECONDS - x_started))

# Each fuzz target's smoke run gets 5 s of libFuzzer here (the usual 10 s
# doubled this stage for 18 targets); the long campaigns are bench/FUZZING.md's.
build build-asan -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ \
  -DTAMSEL_SANITIZE=address,undefined -DTAMSEL_FUZZ=ON -DTAMSEL_FUZZ_SECONDS=5
run_suite "address + undefined sanitizers" build-asan
# On X, libxkbcommon strndup()s key names that are not NUL-terminated, which
# the strict string check reports before Tamsel has even started.
monkey_started=$SECONDS
ASAN_OPTIONS=$ASAN_OPTIONS:strict_string_checks=0 \
  run_monkey "address + undefined sanitizers" build-asan "$((monkey_seconds / 2))"
x_seconds=$((x_seconds + SECONDS - monkey_started))
echo "X passes (GUI tests on X and both monkey runs): $x_seconds s"

# Only the threaded tests are built here (with the fuzz smoke runs of their
# folders): the serial line, the simulator, and
# the window with the in-process demo bus (Qt itself is not instrumented; see
# tests/support/tsan.supp for what that leaves unseen).
cmake -S . -B build-tsan -G Ninja -DTAMSEL_WERROR=ON -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_COMPILER=clang++ -DTAMSEL_SANITIZE=thread >/dev/null
cmake --build build-tsan -j "$jobs" --target serial_tests sim_tests demo_tests \
  fuzz_cfifo fuzz_portmap fuzz_bus_hears
run_suite "thread sanitizer" build-tsan -L tsan

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
