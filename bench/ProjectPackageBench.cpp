// Opening and saving a large project: 10,000 media items, 2,000 zooms with 5
// keyframes each, 50,000 caption words and 100 assets.
//
//   BM_ParseManifest  baseline: nlohmann::json::parse of the manifest bytes
//   BM_LoadManifest   ProjectMigrator::migrate of the same bytes (parse,
//                     version checks, decode into Project); its counters give
//                     the baseline measured in the same run and the ratio
//                     load/parse speed (goal: at least 0.5)
//   BM_EncodeManifest the Project to manifest bytes, without the disk
//   BM_SaveManifest   ProjectPackage::save into a temporary package (encode,
//                     write, fsync, rename)
// Throughput is manifest megabytes per second; all but the save are measured
// in CPU time, so figures stay comparable on a busy machine.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "RecorderCore/platform/JSONText.h"
#include "RecorderCore/project/ProjectMigrator.h"
#include "RecorderCore/project/ProjectPackage.h"
#include "bench/LargeProject.h"

namespace {

using namespace RecorderCore;

const Project& project() { return LargeProject::shared(); }

const std::string& manifest() {
  static const std::string bytes = *JSONText::pretty(nlohmann::json(project()));
  return bytes;
}

double megabytes(std::size_t bytes) { return static_cast<double>(bytes) / 1e6; }

// This thread's CPU time in seconds: unlike wall time it does not grow when
// other processes compete for the cores.
double threadSeconds() {
  timespec now{};
  ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// Median CPU time of a few runs of fn, in seconds.
template <class F>
double medianSeconds(F fn, int runs) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    const double start = threadSeconds();
    fn();
    times.push_back(threadSeconds() - start);
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

void BM_ParseManifest(benchmark::State& state) {
  const std::string& bytes = manifest();
  for (auto _ : state) benchmark::DoNotOptimize(nlohmann::json::parse(bytes));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
  state.counters["manifest_MB"] = megabytes(bytes.size());
}
BENCHMARK(BM_ParseManifest)->Unit(benchmark::kMillisecond);

void BM_LoadManifest(benchmark::State& state) {
  const std::string& bytes = manifest();
  for (auto _ : state) benchmark::DoNotOptimize(ProjectMigrator::migrate(bytes));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));

  // The baseline and the load again, timed side by side in this run (CPU
  // time, so a busy machine does not skew the ratio).
  const double parse = medianSeconds([&] { benchmark::DoNotOptimize(nlohmann::json::parse(bytes)); }, 7);
  const double load = medianSeconds([&] { benchmark::DoNotOptimize(ProjectMigrator::migrate(bytes)); }, 7);
  state.counters["parse_MB/s"] = megabytes(bytes.size()) / parse;
  state.counters["load_MB/s"] = megabytes(bytes.size()) / load;
  state.counters["load/parse"] = parse / load;
  if (ProjectMigrator::migrate(bytes).media.size() != 10'000) state.SkipWithError("the manifest did not load back");
}
BENCHMARK(BM_LoadManifest)->Unit(benchmark::kMillisecond);

void BM_EncodeManifest(benchmark::State& state) {
  const Project& value = project();
  std::size_t size = 0;
  for (auto _ : state) {
    const std::optional<std::string> bytes = JSONText::pretty(nlohmann::json(value));
    size = bytes->size();
    benchmark::DoNotOptimize(bytes);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
}
BENCHMARK(BM_EncodeManifest)->Unit(benchmark::kMillisecond);

void BM_SaveManifest(benchmark::State& state) {
  std::string pattern = (std::filesystem::temp_directory_path() / "recorder-bench-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) {
    state.SkipWithError("no temporary folder");
    return;
  }
  const std::filesystem::path folder = pattern;
  const std::filesystem::path package = folder / "Large.rec";
  const Project& value = project();
  for (auto _ : state) ProjectPackage::save(value, package);
  const auto size = std::filesystem::file_size(ProjectPackage::manifestURL(package));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
  state.counters["manifest_MB"] = megabytes(size);
  std::filesystem::remove_all(folder);
}
BENCHMARK(BM_SaveManifest)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
