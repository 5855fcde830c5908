#!/usr/bin/env bash
# Builds Tamsel and runs every test: the whole suite (with fuzz smoke runs) in a
# plain build and under address + undefined sanitizers with libFuzzer, and the
# threaded serial-line tests under ThreadSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

jobs=${TAMSEL_JOBS:-$(nproc)}
export QT_QPA_PLATFORM=offscreen
export CTEST_OUTPUT_ON_FAILURE=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
export LSAN_OPTIONS=suppressions=$PWD/tests/support/lsan.supp:print_suppressions=0
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1

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

build build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAMSEL_BENCH=ON
run_suite "plain build" build

build build-asan -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ \
  -DTAMSEL_SANITIZE=address,undefined -DTAMSEL_FUZZ=ON
run_suite "address + undefined sanitizers" build-asan

build build-tsan -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ \
  -DTAMSEL_SANITIZE=thread -DTAMSEL_GUI=OFF
run_suite "thread sanitizer" build-tsan -L tsan

echo
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
