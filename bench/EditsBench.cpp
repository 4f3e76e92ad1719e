// Timeline edits and the undo history on a large project: 10,000 media
// items, 200 clips, 2,000 zooms with 5 keyframes each, 100 camera keyframes
// and 50,000 caption words.
//
//   BM_CopyProject        baseline: one copy of the project (every undo step
//                         makes one)
//   BM_Cut                one cut in the middle (the copy it edits is made
//                         with the clock stopped)
//   BM_SplitClip          one split, plus putting the clips back; next to
//                         BM_RestoreClips, the putting back alone
//   BM_UndoHistory        pushes that each move one media item; heap bytes
//                         held by the history next to one project. Every
//                         step holds a whole copy (about 11 MB here), so it
//                         runs 100 steps: 1,000 would hold over 11 GB
//   BM_UndoHistoryShared  1,000 such steps when snapshots share what did not
//                         change (a prototype, not the library's Project)
//
// Heap bytes come from the allocator's own statistics (mallinfo2 on glibc,
// the default zone on macOS), read before and after.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#if defined(__GLIBC__)
#include <malloc.h>
#elif defined(__APPLE__)
#include <malloc/malloc.h>
#endif

#include "RecorderCore/project/Project.h"
#include "RecorderCore/project/UndoStack.h"
#include "bench/LargeProject.h"

namespace {

using namespace RecorderCore;

// Bytes the allocator has handed out and not got back; 0 where unknown.
std::size_t heapBytesInUse() {
#if defined(__GLIBC__)
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
#elif defined(__APPLE__)
  malloc_statistics_t stats{};
  malloc_zone_statistics(nullptr, &stats);
  return stats.size_in_use;
#else
  return 0;
#endif
}

const Project& largeProject() { return LargeProject::shared(); }

void BM_CopyProject(benchmark::State& state) {
  const Project& project = largeProject();
  for (auto _ : state) {
    Project copy = project;
    benchmark::DoNotOptimize(copy);
  }
}
BENCHMARK(BM_CopyProject)->Unit(benchmark::kMicrosecond);

void BM_Cut(benchmark::State& state) {
  const Project& project = largeProject();
  for (auto _ : state) {
    state.PauseTiming();
    Project copy = project;
    state.ResumeTiming();
    copy.cut(1500.3, 1510.7);
    benchmark::DoNotOptimize(copy);
    state.PauseTiming();
    { Project discard = std::move(copy); }
    state.ResumeTiming();
  }
}
BENCHMARK(BM_Cut)->Unit(benchmark::kMicrosecond);

void BM_SplitClip(benchmark::State& state) {
  Project project = largeProject();
  const std::vector<Clip> clips = project.clips;
  for (auto _ : state) {
    project.splitClip(1500.3);
    benchmark::DoNotOptimize(project.clips.data());
    project.clips = clips;
  }
}
BENCHMARK(BM_SplitClip)->Unit(benchmark::kMicrosecond);

void BM_RestoreClips(benchmark::State& state) {
  Project project = largeProject();
  const std::vector<Clip> clips = project.clips;
  for (auto _ : state) {
    benchmark::DoNotOptimize(project.clips.data());
    project.clips = clips;
  }
}
BENCHMARK(BM_RestoreClips)->Unit(benchmark::kMicrosecond);

// The heap bytes one value holds, measured by making one more copy of it.
template <class Value>
std::size_t bytesOfOneCopy(const Value& value) {
  const std::size_t before = heapBytesInUse();
  auto copy = std::make_unique<Value>(value);
  return heapBytesInUse() - before;
}

void reportHistory(benchmark::State& state, std::size_t projectBytes, std::size_t historyBytes, std::size_t steps) {
  state.counters["project_MB"] = static_cast<double>(projectBytes) / 1e6;
  state.counters["history_MB"] = static_cast<double>(historyBytes) / 1e6;
  state.counters["KB_per_step"] = static_cast<double>(historyBytes - projectBytes) / 1e3 / static_cast<double>(steps);
  state.counters["steps"] = static_cast<double>(steps);
}

// Each step moves one media item 0.25 s later, as dragging it would.
void BM_UndoHistory(benchmark::State& state) {
  const auto steps = static_cast<std::size_t>(state.range(0));
  const Project& project = largeProject();
  const std::size_t projectBytes = bytesOfOneCopy(project);
  for (auto _ : state) {
    const std::size_t before = heapBytesInUse();
    auto history = std::make_unique<UndoStack<Project>>(project);
    for (std::size_t i = 0; i < steps; ++i) {
      Project next = history->current();
      next.media[(i * 7919) % next.media.size()].start += 0.25;
      history->push(std::move(next), "Move item");
    }
    state.PauseTiming();
    reportHistory(state, projectBytes, heapBytesInUse() - before, steps);
    history.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_UndoHistory)->Arg(100)->Iterations(1)->Unit(benchmark::kMillisecond);

// --- Prototype: snapshots that share what an edit did not change ----------
//
// The media items sit in chunks of kChunk items behind shared pointers; the
// rest of the project (zooms, words, style…) behind one more. Copying a
// snapshot copies the chunk pointers; editing an item copies its chunk only.
// Equality compares pointers first, so the push's "did anything change"
// check skips shared chunks.

constexpr std::size_t kChunk = 64;

struct SharedSnapshot {
  std::shared_ptr<const Project> rest;  // the project with `media` emptied
  std::vector<std::shared_ptr<const std::vector<MediaItem>>> chunks;

  static SharedSnapshot from(const Project& project) {
    SharedSnapshot snapshot;
    Project rest = project;
    rest.media.clear();
    snapshot.rest = std::make_shared<const Project>(std::move(rest));
    for (std::size_t i = 0; i < project.media.size(); i += kChunk) {
      const auto end = project.media.begin() + static_cast<std::ptrdiff_t>(std::min(i + kChunk, project.media.size()));
      snapshot.chunks.push_back(std::make_shared<const std::vector<MediaItem>>(
          project.media.begin() + static_cast<std::ptrdiff_t>(i), end));
    }
    return snapshot;
  }

  // Copy-on-write access to one item.
  MediaItem& mutableItem(std::size_t index) {
    auto& chunk = chunks[index / kChunk];
    auto copy = std::make_shared<std::vector<MediaItem>>(*chunk);
    MediaItem& item = (*copy)[index % kChunk];
    chunk = std::move(copy);
    return item;
  }

  bool operator==(const SharedSnapshot& other) const {
    if (rest != other.rest && !(*rest == *other.rest)) return false;
    if (chunks.size() != other.chunks.size()) return false;
    for (std::size_t i = 0; i < chunks.size(); ++i) {
      if (chunks[i] != other.chunks[i] && !(*chunks[i] == *other.chunks[i])) return false;
    }
    return true;
  }
};

void BM_UndoHistoryShared(benchmark::State& state) {
  const auto steps = static_cast<std::size_t>(state.range(0));
  const Project& project = largeProject();
  const std::size_t projectBytes = bytesOfOneCopy(project);
  const std::size_t itemCount = project.media.size();
  for (auto _ : state) {
    const std::size_t before = heapBytesInUse();
    auto history = std::make_unique<UndoStack<SharedSnapshot>>(SharedSnapshot::from(project));
    for (std::size_t i = 0; i < steps; ++i) {
      SharedSnapshot next = history->current();
      next.mutableItem((i * 7919) % itemCount).start += 0.25;
      history->push(std::move(next), "Move item");
    }
    state.PauseTiming();
    reportHistory(state, projectBytes, heapBytesInUse() - before, steps);
    history.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_UndoHistoryShared)->Arg(1000)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
