#!/usr/bin/env bash
# Fuzzes HTTPRequestHead::parse with libFuzzer for a bounded time.
#
# Builds the fuzz target with clang-14 in build/fuzz, the library instrumented
# for coverage and checked by AddressSanitizer and UndefinedBehaviorSanitizer.
# Then:
#   1. replays the large inputs (1 MB heads, invalid UTF-8) made here, once each;
#   2. fuzzes from the saved corpus for FUZZ_RUNS runs (default 200000) or
#      FUZZ_SECONDS seconds (default 300), whichever ends first, inputs up to
#      FUZZ_MAX_LEN bytes (default 65536).
# New interesting inputs go to build/fuzz/corpus, never into the repository;
# a crash leaves its input in build/fuzz/artifacts and fails the script.
set -euo pipefail
cd "$(dirname "$0")/.."

runs=${FUZZ_RUNS:-200000}
seconds=${FUZZ_SECONDS:-300}
max_len=${FUZZ_MAX_LEN:-65536}
dir=build/fuzz

cmake -S . -B "$dir" -G Ninja \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 \
  -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" \
  -DRECORDER_FUZZ=ON -DRECORDER_TESTS=ON -DRECORDER_BENCH=OFF >/dev/null
cmake --build "$dir" --target fuzz_http_request_head -j "$(nproc)"

fuzzer=$dir/tests/fuzz/fuzz_http_request_head
corpus=$dir/corpus/HTTPRequestHead
large=$dir/large/HTTPRequestHead
mkdir -p "$corpus" "$large" "$dir/artifacts"
cp tests/fuzz/corpus/HTTPRequestHead/* "$corpus/"

# Large seeds are made here rather than kept in the repository.
python3 - "$large" <<'PY'
import os, sys
out = sys.argv[1]
mb = 1 << 20
headers = b"GET /a?api_key=k HTTP/1.1\r\n"
while len(headers) < mb:
    headers += b"X-Filler-%d: value\r\n" % len(headers)
seeds = {
    "headers-1mb": headers + b"\r\n",
    "target-1mb": b"GET /" + b"a" * mb + b"?" + b"&=" * (mb // 8) + b" HTTP/1.1\r\n\r\n",
    "combining-1mb": b"GET /" + "?\u0301".encode() * (mb // 3) + b"\r\n\r\n",
    "invalid-utf8-1mb": headers + b"\xc3\x28\r\n\r\n",
    "no-end-1mb": b"\r\n\r" * (mb // 3),
}
for name, data in seeds.items():
    with open(os.path.join(out, name), "wb") as f:
        f.write(data)
PY

export ASAN_OPTIONS=detect_leaks=1
export UBSAN_OPTIONS=print_stacktrace=1

echo "== replaying large inputs"
"$fuzzer" -rss_limit_mb=4096 "$large"/*

echo "== fuzzing: up to $runs runs or $seconds s, inputs up to $max_len bytes"
"$fuzzer" "$corpus" -runs="$runs" -max_total_time="$seconds" -max_len="$max_len" \
  -artifact_prefix="$dir/artifacts/" -print_final_stats=1
