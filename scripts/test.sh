#!/usr/bin/env bash
# Runs every test: the whole suite built with warnings as errors and run under
# AddressSanitizer and UndefinedBehaviorSanitizer, a bounded libFuzzer run of
# the HTTP request-head parser, then the whole suite again in an optimised
# build (where gcc finds more to warn about, and where timing-dependent code
# runs as it ships). About 20 minutes on two cores.
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

echo "== optimised build, warnings as errors"
run_suite build/ci -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" -DRECORDER_BENCH=OFF \
  -DRECORDER_TEST_FLAGS="-O1 -g0"
