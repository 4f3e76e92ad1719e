// Automatic zooms and cursor lookups on a recording-sized event log.
//
// The log is a seeded stand-in for two and a half minutes of use, the size of
// the session the tests record: 9,000 cursor samples at 60 Hz, bursts of
// clicks, typing and idle gaps. Each figure comes with a baseline measured in
// the same run: binary-search lookups against a linear scan of the path.
#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

#include <benchmark/benchmark.h>

#include "RecorderCore/motion/AutoZoomGenerator.h"
#include "RecorderCore/motion/EventLog.h"
#include "RecorderCore/project/Project.h"

namespace {

using namespace RecorderCore;

constexpr double kSessionSeconds = 150;

EventLog sessionLog() {
  std::mt19937 random(20240517);
  std::uniform_real_distribution<double> unit(0, 1);
  EventLog log({}, {}, {}, {});

  // The cursor rests, then strokes to a new spot, with a click or a burst of
  // typing at the end of most strokes.
  Point position{0.5, 0.5};
  double t = 0;
  while (t < kSessionSeconds) {
    const double rest = unit(random) < 0.15 ? 4 + 8 * unit(random) : 0.3 + unit(random);
    const double strokeStart = t + rest;
    const double strokeEnd = strokeStart + 0.3 + 0.4 * unit(random);
    const Point target{0.05 + 0.9 * unit(random), 0.05 + 0.9 * unit(random)};
    for (; t < strokeEnd && t < kSessionSeconds; t += 1.0 / 60) {
      const double f = t <= strokeStart ? 0 : (t - strokeStart) / (strokeEnd - strokeStart);
      const double eased = f * f * (3 - 2 * f);
      log.samples.push_back(
          {t, {position.x + eased * (target.x - position.x), position.y + eased * (target.y - position.y)}});
    }
    position = target;
    if (unit(random) < 0.6) {
      log.clicks.push_back({t, position, ClickEvent::Button::left, true});
      log.clicks.push_back({t + 0.1, position, ClickEvent::Button::left, false});
    } else {
      for (int key = 0; key < 8; ++key) {
        const double at = t + 0.15 * key;
        log.keys.push_back({at, "A", true});
        log.keys.push_back({at + 0.08, "A", false});
      }
    }
  }
  return log;
}

// A cut at 62–70 s and a double-speed stretch, as an edited recording has.
Project sessionProject() {
  Project project = Project::create("Bench", CanvasSettings{1920, 1080, 60}, "1.0");
  const Uuid screen = Uuid::random();
  project.clips = {{Uuid::random(), screen, 0, 62, 1},
                   {Uuid::random(), screen, 70, 110, 2},
                   {Uuid::random(), screen, 110, kSessionSeconds, 1}};
  project.screenStart = 2;
  return project;
}

std::vector<double> lookupTimes() {
  std::mt19937 random(7);
  std::uniform_real_distribution<double> time(0, kSessionSeconds);
  std::vector<double> times(4096);
  for (double& each : times) each = time(random);
  return times;
}

// The baseline: the last sample at or before t, found by walking the path.
Point linearScan(const std::vector<CursorSample>& samples, double t) {
  if (t <= samples.front().time) return samples.front().position;
  if (t >= samples.back().time) return samples.back().position;
  std::size_t lo = 0;
  while (lo + 1 < samples.size() && samples[lo + 1].time <= t) ++lo;
  const CursorSample& a = samples[lo];
  const CursorSample& b = samples[lo + 1];
  const double f = (t - a.time) / (b.time - a.time);
  return {a.position.x + f * (b.position.x - a.position.x), a.position.y + f * (b.position.y - a.position.y)};
}

void BM_AutoZoomGenerate(benchmark::State& state) {
  const EventLog log = sessionLog();
  const Project project = sessionProject();
  const AutoZoomGenerator generator;
  for (auto _ : state) {
    auto zooms = generator.generate(log, project);
    benchmark::DoNotOptimize(zooms.data());
  }
  state.counters["samples"] = static_cast<double>(log.samples.size());
  state.counters["presses"] = static_cast<double>((log.clicks.size() + log.keys.size()) / 2);
}
BENCHMARK(BM_AutoZoomGenerate)->Unit(benchmark::kMicrosecond);

void BM_CursorPositionLookup(benchmark::State& state) {
  const EventLog log = sessionLog();
  const std::vector<double> times = lookupTimes();
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(log.cursorPosition(times[i++ & (times.size() - 1)]));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_CursorPositionLookup);

void BM_CursorPositionLinearScanBaseline(benchmark::State& state) {
  const EventLog log = sessionLog();
  const std::vector<double> times = lookupTimes();
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(linearScan(log.samples, times[i++ & (times.size() - 1)]));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_CursorPositionLinearScanBaseline);

void BM_SmoothCursorPath(benchmark::State& state) {
  const EventLog log = sessionLog();
  for (auto _ : state) {
    EventLog smoothed = log.smoothed(0.6);
    benchmark::DoNotOptimize(smoothed.samples.data());
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(log.samples.size()));
}
BENCHMARK(BM_SmoothCursorPath)->Unit(benchmark::kMicrosecond);

}  // namespace
