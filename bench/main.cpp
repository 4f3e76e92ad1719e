// recorder-bench: every benchmark of the code base in one executable. The
// benchmarks register themselves from their own files.
#include <benchmark/benchmark.h>

BENCHMARK_MAIN();
