// The timeline edits: worked examples, then properties over generated
// projects with believable timelines.
#include <algorithm>
#include <cmath>
#include <limits>
#include <set>
#include <vector>

#include <gtest/gtest.h>
#include <rapidcheck/gtest.h>

#include "RecorderCore/project/Project.h"
#include "tests/project/ProjectGenerators.h"

namespace RecorderCore {
namespace {

using Ranges = std::vector<std::pair<double, double>>;
const Uuid kScreen = Uuid::parse("11111111-1111-4111-8111-111111111111").value();
const Uuid kClip = Uuid::parse("22222222-2222-4222-8222-222222222222").value();
constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();

Project oneClip(double sourceStart, double sourceEnd, double speed = 1, double screenStart = 0) {
  Project project;
  project.clips = {Clip{kClip, kScreen, sourceStart, sourceEnd, speed}};
  project.screenStart = screenStart;
  return project;
}

Ranges sourceRanges(const Project& project) {
  Ranges ranges;
  for (const Clip& clip : project.clips) ranges.emplace_back(clip.sourceStart, clip.sourceEnd);
  return ranges;
}

ZoomSegment zoom(double start, double end, double keyframe = nan) {
  ZoomSegment segment{Uuid::random(), start, end, Rect{0.25, 0.25, 0.5, 0.5}, 0, 0, Easing::linear, false, {}};
  if (!std::isnan(keyframe)) segment.keyframes.push_back({Uuid::random(), keyframe, Rect{0.3, 0.3, 0.5, 0.5}});
  return segment;
}

MediaItem item(double start, double end, bool hidden = false) {
  MediaItem media;
  media.id = Uuid::random();
  media.kind = AssetKind::text;
  media.start = start;
  media.end = end;
  media.hidden = hidden;
  return media;
}

CameraLayoutKeyframe cameraAt(double time) { return {Uuid::random(), time, CameraLayout::sideBySide}; }

TEST(Cut, CutsClipsAtTheirSpeed) {
  Project project = oneClip(0, 30);
  project.cut(10, 20);
  EXPECT_EQ(sourceRanges(project), (Ranges{{0, 10}, {20, 30}}));
  EXPECT_EQ(project.clips[0].id, kClip);
  EXPECT_NE(project.clips[1].id, kClip);
  EXPECT_DOUBLE_EQ(project.duration(), 20);
  Project fast = oneClip(0, 30, 2);  // 15 s of output
  fast.cut(5, 10);
  EXPECT_EQ(sourceRanges(fast), (Ranges{{0, 10}, {20, 30}}));
  Project fromBelow = oneClip(0, 30);  // output begins at 0
  fromBelow.cut(-5, 3);
  EXPECT_EQ(sourceRanges(fromBelow), (Ranges{{3, 30}}));
  for (const auto& [from, to] : Ranges{{20, 10}, {10, 10}, {nan, 20}, {10, inf}, {-5, 0}}) {
    Project unchanged = oneClip(0, 30);
    unchanged.media = {item(8, 12)};
    const Project before = unchanged;
    unchanged.cut(from, to);
    EXPECT_EQ(unchanged, before) << from << "–" << to;
  }
}

TEST(Cut, ZoomsMediaAndCameraKeyframesFollow) {
  Project project = oneClip(0, 30);
  project.zooms = {zoom(12, 14), zoom(22, 25, 23), zoom(5, 10, 7), zoom(8, 11), zoom(20, 22)};
  project.camera.keyframes = {cameraAt(9.999), cameraAt(10), cameraAt(19.99), cameraAt(26)};
  static const struct {
    double start, end, newStart, newEnd;  // NaN: removed
  } media[] = {
      {8, 12, 8, 10},        {9.95, 12, nan, nan}, {9.9, 12, nan, nan}, {15, 25, 10, 15}, {15, 20.05, nan, nan},
      {15, 18, nan, nan},    {5, 30, 5, 20},       {2, 10, 2, 10},      {20, 24, 10, 14},
  };
  for (const auto& m : media) project.media.push_back(item(m.start, m.end));
  const ZoomSegment before = project.zooms[2];
  project.cut(10, 20);

  ASSERT_EQ(project.zooms.size(), 3u);
  EXPECT_EQ(project.zooms[0].start, 12);
  EXPECT_EQ(project.zooms[0].end, 15);
  EXPECT_EQ(project.zooms[0].keyframes[0].time, 13);
  EXPECT_EQ(project.zooms[1], before);
  EXPECT_EQ(project.zooms[2].start, 10);  // started right at the end of the cut
  std::vector<double> times;
  for (const auto& keyframe : project.camera.keyframes) times.push_back(keyframe.time);
  EXPECT_EQ(times, (std::vector<double>{9.999, 16}));
  std::size_t next = 0;
  for (const auto& m : media) {
    if (std::isnan(m.newStart)) continue;
    ASSERT_LT(next, project.media.size());
    EXPECT_NEAR(project.media[next].start, m.newStart, 1e-12) << m.start << "–" << m.end;
    EXPECT_NEAR(project.media[next].end, m.newEnd, 1e-12) << m.start << "–" << m.end;
    ++next;
  }
  EXPECT_EQ(next, project.media.size());
}

TEST(Cut, ACutInTheLeadInShortensItAndTrimCutsTheEndFirst) {
  Project project = oneClip(0, 30, 1, 5);
  project.zooms = {zoom(6, 8, 7)};
  project.media = {item(4, 9), item(0.5, 1)};
  project.cut(1, 3);
  EXPECT_EQ(project.screenStart, 3);
  EXPECT_EQ(sourceRanges(project), (Ranges{{0, 30}}));
  EXPECT_EQ(project.zooms[0].keyframes[0].time, 5);
  EXPECT_EQ(project.media[0].start, 2);
  EXPECT_EQ(project.media[1].end, 1);
  project.cut(2, 10);  // across the start of the recording
  EXPECT_EQ(project.screenStart, 2);
  EXPECT_EQ(sourceRanges(project), (Ranges{{7, 30}}));

  Project trimmed = oneClip(0, 30);
  trimmed.media = {item(24, 28)};
  trimmed.trim(5, 25);
  EXPECT_EQ(sourceRanges(trimmed), (Ranges{{5, 25}}));
  EXPECT_EQ(trimmed.media[0].start, 19);  // lost what lay past 25, then moved up by 5
  EXPECT_EQ(trimmed.media[0].end, 20);
}

TEST(MoveAndShift, WhatMovesWithTheScreenAndWhatStays) {
  Project moved = oneClip(0, 30, 1, 4);
  moved.zooms = {zoom(6, 8, 7)};
  moved.camera.keyframes = {cameraAt(4.5)};
  moved.media = {item(4, 9), item(1, 2), item(10, 11, true)};
  moved.moveScreen(-10);  // only 4 s are there to move
  EXPECT_EQ(moved.screenStart, 0);
  EXPECT_EQ(moved.zooms[0].keyframes[0].time, 3);
  EXPECT_EQ(moved.camera.keyframes[0].time, 0.5);
  EXPECT_EQ(moved.media[0].start, 0);  // started with the recording
  EXPECT_EQ(moved.media[1].start, 1);  // belongs to the lead-in
  EXPECT_EQ(moved.media[2].start, 6);  // hidden items move all the same
  Project unchanged = moved;
  for (double delta : {1e-10, nan, -inf}) unchanged.moveScreen(delta);
  EXPECT_EQ(unchanged, moved);

  Project shifted = moved;
  for (double delta : {0.0, -2.0, inf}) shifted.shiftAll(delta);
  EXPECT_EQ(shifted, moved);
  shifted.shiftAll(1.5);
  EXPECT_EQ(shifted.screenStart, 1.5);
  EXPECT_EQ(shifted.zooms[0].keyframes[0].time, 4.5);
  EXPECT_EQ(shifted.camera.keyframes[0].time, 2);
  EXPECT_EQ(shifted.media[1].start, 2.5);

  Project gap = oneClip(0, 30, 1, 3);
  gap.zooms = {zoom(4, 6, 5)};
  gap.media = {item(1, 2, true)};  // hidden items count too
  gap.closeLeadingGap();
  EXPECT_EQ(gap.screenStart, 2);
  EXPECT_EQ(gap.media[0].start, 0);
  EXPECT_EQ(gap.zooms[0].keyframes[0].time, 4);
  Project closed = gap;
  closed.closeLeadingGap();
  EXPECT_EQ(closed, gap);
}

TEST(PlaceMedia, AboveEverythingAtTheStartOrAtTheEnd) {
  Project project = oneClip(0, 30);
  MediaItem first = item(0, 1);
  first.zIndex = 42;
  project.addMediaItem(first);
  EXPECT_EQ(project.media[0].zIndex, 0);
  project.media[0].zIndex = 3;
  project.addMediaItem(item(0, 1));
  project.media[1].zIndex = 7;
  project.insertAtStart(item(7, 7.2));  // 0.2 s long: takes half a second
  EXPECT_EQ(project.screenStart, 0.5);
  EXPECT_EQ(project.media[0].start, 0.5);
  EXPECT_EQ(project.media[2].start, 0);
  EXPECT_EQ(project.media[2].end, 0.5);
  EXPECT_EQ(project.media[2].zIndex, 8);
  project.media[2].hidden = true;
  project.media[2].end = 40;
  project.appendAtEnd(item(5, 8));  // after hidden items too
  EXPECT_EQ(project.media[3].start, 40);
  EXPECT_EQ(project.media[3].end, 43);

  Project endless = oneClip(0, 30);
  endless.insertAtStart(item(0, inf));
  EXPECT_EQ(endless, oneClip(0, 30));
}

// Generated projects: a lead-in, clips at speeds 0.5–4 (some empty or too
// short to split), zooms with keyframes, camera keyframes, visible and hidden
// media items, and caption words. Times lie on a grid of 2⁻²⁰ of their range,
// so sums and differences of them are exact (moving there and back gives the
// same doubles), while clip lengths still round through the speeds.
rc::Gen<double> between(double lo, double hi) {
  return rc::gen::map(rc::gen::inRange<std::int64_t>(0, (1 << 20) + 1),
                      [lo, hi](std::int64_t step) { return lo + (hi - lo) * std::ldexp(double(step), -20); });
}

template <class T>
rc::Gen<std::vector<T>> upTo(std::size_t most, rc::Gen<T> element) {
  return rc::gen::mapcat(rc::gen::inRange<std::size_t>(0, most + 1),
                         [element](std::size_t count) { return rc::gen::container<std::vector<T>>(count, element); });
}

rc::Gen<Project> timelineProject() {
  const auto length = rc::gen::weightedOneOf<double>(
      {{8, between(0.5, 20.0)}, {1, rc::gen::elementOf(std::vector<double>{0.0, 0.07})}, {1, between(-3.0, 0.0)}});
  const auto speed = rc::gen::oneOf(rc::gen::elementOf(std::vector<double>{0.5, 1.0, 2.0}), between(0.5, 4.0));
  const auto clip = rc::gen::apply([](Uuid id, double start, double len,
                                      double rate) { return Clip{id, kScreen, start, start + len, rate}; },
                                   rc::gen::arbitrary<Uuid>(), between(0.0, 100.0), length, speed);
  const auto zoomAt = rc::gen::apply([](double start, double len, double at) { return zoom(start, start + len,
                                                                                          start + at * len); },
                                     between(0.0, 60.0), between(0.25, 10.0), between(0.0, 1.0));
  const auto keyframe = rc::gen::map(between(0.0, 60.0), cameraAt);
  const auto media = rc::gen::apply([](double start, double len, bool hidden) { return item(start, start + len,
                                                                                          hidden); },
                                    between(0.0, 70.0), between(0.0, 15.0), rc::gen::arbitrary<bool>());
  return rc::gen::apply(
      [](double leadIn, std::vector<Clip> clips, std::vector<ZoomSegment> zooms,
         std::vector<CameraLayoutKeyframe> keyframes, std::vector<MediaItem> items, std::optional<CaptionTrack> words) {
        Project project;
        project.screenStart = leadIn;
        project.clips = std::move(clips);
        project.zooms = std::move(zooms);
        project.camera.keyframes = std::move(keyframes);
        project.media = std::move(items);
        project.captions = std::move(words);
        return project;
      },
      rc::gen::weightedOneOf<double>({{1, rc::gen::just(0.0)}, {2, between(0.0, 10.0)}}), upTo(5, clip),
      upTo(4, zoomAt), upTo(3, keyframe), upTo(5, media), Generators::optionalOf<CaptionTrack>());
}

struct Span {
  double start, end;
};

std::vector<Span> clipSpans(const Project& project) {
  std::vector<Span> spans;
  double start = project.screenStart;
  for (const Clip& clip : project.clips) {
    spans.push_back({start, start + clip.outputDuration()});
    start = spans.back().end;
  }
  return spans;
}

// The recording's second that plays at output time t, if any.
std::optional<double> sourceAt(const Project& project, double t) {
  const std::vector<Span> spans = clipSpans(project);
  for (std::size_t i = 0; i < spans.size(); ++i) {
    if (t >= spans[i].start && t < spans[i].end) {
      return project.clips[i].sourceStart + (t - spans[i].start) * project.clips[i].speed;
    }
  }
  return std::nullopt;
}

// What plays at times in the lead-in and just inside both ends and the middle
// of every clip is what played `removed` seconds later before, from `from` on.
void assertSamePlayback(const Project& before, const Project& after, double from = 0, double removed = 0) {
  std::vector<double> times{after.screenStart / 2};
  for (const Span& span : clipSpans(after)) {
    if (span.end - span.start > 0.002) times.insert(times.end(), {span.start + 0.001, (span.start + span.end) / 2,
                                                                 span.end - 0.001});
  }
  for (double t : times) {
    const auto expected = sourceAt(before, t >= from ? t + removed : t);
    const auto actual = sourceAt(after, t);
    RC_ASSERT(expected.has_value() == actual.has_value());
    if (expected) RC_ASSERT(std::abs(*expected - *actual) <= 1e-6 * (1 + std::abs(*expected)));
  }
}

bool splitsCleanly(const Project& project, double t) {
  for (const Span& span : clipSpans(project)) {
    if (t > span.start && t < span.end && !(t > span.start + 0.05 && t < span.end - 0.05)) return false;
  }
  return true;
}

rc::Gen<double> cutPoint(const Project& project) {
  std::vector<double> boundaries{project.screenStart};
  for (const Span& span : clipSpans(project)) boundaries.push_back(span.end);
  return rc::gen::weightedOneOf<double>(
      {{4, between(-2.0, project.timelineExtent() + 5)}, {1, rc::gen::elementOf(boundaries)}});
}

RC_GTEST_PROP(CutProperty, RemovesExactlyTheCoveredPartOfTheClipTimeline, ()) {
  const Project before = *timelineProject();
  const double p = *cutPoint(before);
  const double q = *cutPoint(before);
  const double a = std::max(std::min(p, q), 0.0);
  const double b = std::max(p, q);
  Project splitAtStart = before;  // the end is judged on what the first split leaves
  splitAtStart.splitClip(a);
  RC_PRE(splitsCleanly(before, a) && splitsCleanly(splitAtStart, b));

  Project after = before;
  after.cut(std::min(p, q), b);
  const double clipsEnd = before.screenStart + before.clipTimelineDuration();
  const double covered = b > a ? std::max(0.0, std::min(b, clipsEnd) - std::max(a, before.screenStart)) : 0.0;
  RC_ASSERT(std::abs(before.clipTimelineDuration() - covered - after.clipTimelineDuration()) <= 1e-6);
  RC_ASSERT(after.screenStart >= 0);
  std::set<Uuid> ids;
  for (const Clip& clip : after.clips) {  // each clip plays a piece of one it came from
    RC_ASSERT(ids.insert(clip.id).second);
    RC_ASSERT(std::any_of(before.clips.begin(), before.clips.end(), [&](const Clip& old) {
      return old.speed == clip.speed && old.sourceStart <= clip.sourceStart && clip.sourceEnd <= old.sourceEnd;
    }));
  }
  assertSamePlayback(before, after, a, b > a ? b - a : 0);
  RC_ASSERT(after.captions == before.captions);
}

RC_GTEST_PROP(SplitProperty, NeverChangesTheDurationOrWhatPlays, ()) {
  const Project before = *timelineProject();
  const double at = *cutPoint(before);
  Project after = before;
  after.splitClip(at);
  RC_ASSERT(std::abs(after.duration() - before.duration()) <= 1e-9 * (1 + before.duration()));
  const std::vector<Span> spans = clipSpans(before);
  const bool inside = std::any_of(spans.begin(), spans.end(),
                                  [&](const Span& span) { return at > span.start + 0.05 && at < span.end - 0.05; });
  RC_ASSERT(after.clips.size() == before.clips.size() + (inside ? 1u : 0u));
  assertSamePlayback(before, after);
}

RC_GTEST_PROP(MoveScreenProperty, MovingBackGivesTheProjectBack, ()) {
  const Project before = *timelineProject();
  const double delta = *rc::gen::oneOf(between(-before.screenStart, 0.0), between(0.0, 15.0));
  // Moving earlier takes along the lead-in items it passes over, and the way
  // back cannot tell them apart.
  RC_PRE(std::none_of(before.media.begin(), before.media.end(), [&](const MediaItem& media) {
    return media.start >= before.screenStart + delta && media.start < before.screenStart;
  }));
  Project after = before;
  after.moveScreen(delta);
  RC_ASSERT(after.screenStart >= 0);
  after.moveScreen(-delta);
  RC_ASSERT(after == before);
}

}  // namespace
}  // namespace RecorderCore
