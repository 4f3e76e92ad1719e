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

Uuid numberedID(std::uint32_t n, std::uint8_t kind) {
  Uuid id;
  id.bytes[0] = kind;
  for (int i = 0; i < 4; ++i) {
    id.bytes[static_cast<std::size_t>(12 + i)] = static_cast<std::uint8_t>(n >> (8 * (3 - i)));
  }
  id.bytes[6] = 0x40;
  id.bytes[8] = 0x80;
  return id;
}

// An hour-long recording, cut into 200 clips of 18 s, with a lot on it.
const Project& largeProject() {
  static const Project project = [] {
    Project p = Project::create("Large", CanvasSettings{1920, 1080, 60}, "1.0");
    const Uuid screen = numberedID(0, 1);
    p.assets.push_back(Asset{screen, AssetKind::screen, "screen.mov", 3600.0, Size{3024, 1964}, 0, std::nullopt, 2.0,
                             std::nullopt});
    for (std::uint32_t i = 0; i < 200; ++i) {
      p.clips.push_back(Clip{numberedID(i, 2), screen, i * 18.0, i * 18.0 + 17.5, i % 4 == 0 ? 2.0 : 1.0});
    }
    for (std::uint32_t i = 0; i < 2000; ++i) {
      ZoomSegment zoom{numberedID(i, 3), i * 1.6, i * 1.6 + 1.2, Rect{0.2, 0.2, 0.5, 0.5}, 0.4, 0.4,
                       Easing::easeInOut, true, {}};
      for (std::uint32_t k = 0; k < 5; ++k) {
        zoom.keyframes.push_back({numberedID(i * 5 + k, 4), zoom.start + 0.2 * k, Rect{0.25, 0.25, 0.5, 0.5}});
      }
      p.zooms.push_back(std::move(zoom));
    }
    for (std::uint32_t i = 0; i < 100; ++i) {
      p.camera.keyframes.push_back({numberedID(i, 5), i * 30.0, i % 2 ? CameraLayout::sideBySide
                                                                      : CameraLayout::bubbleBottomRight});
    }
    for (std::uint32_t i = 0; i < 10000; ++i) {
      MediaItem item;
      item.id = numberedID(i, 6);
      item.assetID = numberedID(i % 50, 7);
      item.kind = i % 3 == 0 ? AssetKind::text : AssetKind::image;
      item.name = "Overlay " + std::to_string(i);
      item.start = i * 0.3;
      item.end = i * 0.3 + 2.5;
      item.frame = Rect{0.1, 0.1, 0.3, 0.2};
      item.zIndex = static_cast<int>(i);
      item.hidden = i % 10 == 0;
      if (item.kind == AssetKind::text) {
        item.text = "Callout number " + std::to_string(i) + " on the timeline";
        item.textColor = RGBAColor::white;
      }
      p.media.push_back(std::move(item));
    }
    CaptionTrack captions;
    captions.language = "en";
    for (std::uint32_t i = 0; i < 50000; ++i) {
      captions.words.push_back({numberedID(i, 8), "word" + std::to_string(i % 1000), i * 0.07, i * 0.07 + 0.06,
                                std::nullopt});
    }
    p.captions = std::move(captions);
    return p;
  }();
  return project;
}

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
