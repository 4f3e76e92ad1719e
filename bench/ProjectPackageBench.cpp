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

namespace {

using namespace RecorderCore;

Uuid numberedID(std::uint32_t n, std::uint8_t kind) {
  Uuid id;
  id.bytes[0] = kind;
  for (int i = 0; i < 4; ++i) id.bytes[static_cast<std::size_t>(12 + i)] = static_cast<std::uint8_t>(n >> (8 * (3 - i)));
  id.bytes[6] = 0x40;
  id.bytes[8] = 0x80;
  return id;
}

Project largeProject() {
  Project project = Project::create("Quarterly review — full recording", CanvasSettings{1920, 1080, 60}, "1.12.0");
  const AssetKind kinds[] = {AssetKind::image, AssetKind::video, AssetKind::audio, AssetKind::text, AssetKind::blur};
  for (std::uint32_t i = 0; i < 100; ++i) {
    Asset asset;
    asset.id = numberedID(i, 1);
    asset.kind = i == 0 ? AssetKind::screen : kinds[i % 5];
    asset.relativePath = "asset-" + std::to_string(i) + ".mov";
    asset.duration = 3600.0 - i;
    asset.pixelSize = Size{1920, 1080};
    asset.startOffset = i * 0.01;
    asset.originalFilename = "Imported file " + std::to_string(i) + ".mov";
    project.assets.push_back(asset);
  }
  for (std::uint32_t i = 0; i < 200; ++i) {
    project.clips.push_back(Clip{numberedID(i, 2), project.assets[0].id, i * 18.0, i * 18.0 + 17.5, 1.0});
  }
  for (std::uint32_t i = 0; i < 2000; ++i) {
    ZoomSegment zoom;
    zoom.id = numberedID(i, 3);
    zoom.start = i * 1.75;
    zoom.end = zoom.start + 1.5;
    zoom.rect = Rect{0.1 + (i % 7) * 0.05, 0.2, 0.5, 0.5};
    zoom.inDuration = 0.4;
    zoom.outDuration = 0.35;
    zoom.easing = Easing::easeInOut;
    zoom.isAuto = i % 3 != 0;
    for (std::uint32_t k = 0; k < 5; ++k) {
      zoom.keyframes.push_back(ZoomKeyframe{numberedID(i * 5 + k, 4), zoom.start + k * 0.3, Rect{0.2, 0.1 * k, 0.4, 0.4}});
    }
    project.zooms.push_back(zoom);
  }
  for (std::uint32_t i = 0; i < 10'000; ++i) {
    MediaItem item;
    item.id = numberedID(i, 5);
    item.assetID = project.assets[1 + i % 99].id;
    item.kind = project.assets[1 + i % 99].kind;
    item.name = "Overlay " + std::to_string(i);
    item.start = i * 0.36;
    item.end = item.start + 3.25;
    item.frame = Rect{0.05, 0.7, 0.9, 0.2};
    item.inAnimation = MediaAnimation::fade;
    item.outAnimation = MediaAnimation::slideDown;
    item.animationDuration = 0.35;
    item.borderColor = RGBAColor{1, 1, 1, 1};
    item.zIndex = static_cast<int>(i % 12);
    if (item.kind == AssetKind::text) {
      item.text = "Lower third number " + std::to_string(i);
      item.textColor = RGBAColor{1, 1, 1, 1};
      item.textStyle = TextStyle{};
    }
    if (item.kind == AssetKind::blur) {
      item.blurStyle = "pixelate";
      item.blurAmount = 0.6;
    }
    project.media.push_back(item);
  }
  CaptionTrack captions;
  captions.language = "en";
  for (std::uint32_t i = 0; i < 50'000; ++i) {
    CaptionWord word;
    word.id = numberedID(i, 6);
    word.text = i % 9 == 8 ? "sentence." : "word";
    word.start = i * 0.07;
    word.end = word.start + 0.06;
    if (i % 40 == 0) word.lineStart = true;
    captions.words.push_back(word);
  }
  project.captions = captions;
  return project;
}

const Project& project() {
  static const Project value = largeProject();
  return value;
}

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
