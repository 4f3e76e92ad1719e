#!/usr/bin/env bash
# Runs every test: the whole suite built with warnings as errors and run under
# AddressSanitizer and UndefinedBehaviorSanitizer, then a bounded libFuzzer run
# of the HTTP request-head parser. One build, not a release build as well, so
# that CI stays near half an hour on two cores; the optimised build (which
# gcc checks for more warnings) is the one the demo and the benchmarks use.
# Assumes scripts/setup.sh has run.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

run_suite() {  # <build dir> <cmake options>...
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja -DRECORDER_WERROR=ON "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
  ctest --test-dir "$dir" -j "$jobs" --output-on-failure --timeout 900
}

echo "== the whole suite under AddressSanitizer + UndefinedBehaviorSanitizer, warnings as errors"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  run_suite build/asan -DCMAKE_BUILD_TYPE=Debug -DRECORDER_SANITIZE=ON -DRECORDER_BENCH=OFF -DRECORDER_TEST_FLAGS="-g1"

echo "== fuzzing HTTPRequestHead::parse (bounded)"
FUZZ_RUNS=${FUZZ_RUNS:-100000} FUZZ_SECONDS=${FUZZ_SECONDS:-120} scripts/fuzz.sh
