// The timeline edits on Project: the worked examples first, then properties
// over generated projects and edits.
#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>
#include <optional>
#include <set>
#include <utility>
#include <vector>

#include <gtest/gtest.h>
#include <rapidcheck/gtest.h>

#include "RecorderCore/project/Project.h"
#include "tests/project/EditGenerators.h"

namespace RecorderCore {
namespace {

const Uuid kScreen = Uuid::parse("11111111-1111-4111-8111-111111111111").value();
const Uuid kClip = Uuid::parse("22222222-2222-4222-8222-222222222222").value();

// One screen clip of the given source seconds at a speed, after a lead-in.
Project oneClip(double sourceStart, double sourceEnd, double speed = 1, double screenStart = 0) {
  Project project;
  project.clips = {Clip{kClip, kScreen, sourceStart, sourceEnd, speed}};
  project.screenStart = screenStart;
  return project;
}

std::vector<std::pair<double, double>> sourceRanges(const Project& project) {
  std::vector<std::pair<double, double>> ranges;
  for (const Clip& clip : project.clips) ranges.emplace_back(clip.sourceStart, clip.sourceEnd);
  return ranges;
}

ZoomSegment zoom(double start, double end, std::vector<double> keyframeTimes = {}) {
  ZoomSegment segment;
  segment.id = Uuid::random();
  segment.start = start;
  segment.end = end;
  segment.rect = Rect{0.25, 0.25, 0.5, 0.5};
  for (double time : keyframeTimes) segment.keyframes.push_back({Uuid::random(), time, Rect{0.3, 0.3, 0.5, 0.5}});
  return segment;
}

MediaItem item(double start, double end, bool hidden = false) {
  MediaItem media;
  media.id = Uuid::random();
  media.assetID = Uuid::random();
  media.kind = AssetKind::text;
  media.name = "Title";
  media.start = start;
  media.end = end;
  media.hidden = hidden;
  return media;
}

CameraLayoutKeyframe cameraAt(double time) { return {Uuid::random(), time, CameraLayout::sideBySide}; }

// ---------------------------------------------------------------------------
// Split and cut of clips

TEST(Cut, CutsTheMiddleOfOneClip) {
  Project project = oneClip(0, 30);
  project.cut(10, 20);
  ASSERT_EQ(project.clips.size(), 2u);
  EXPECT_EQ(sourceRanges(project), (std::vector<std::pair<double, double>>{{0, 10}, {20, 30}}));
  EXPECT_EQ(project.clips[0].id, kClip);
  EXPECT_NE(project.clips[1].id, kClip);
  EXPECT_EQ(project.clips[1].assetID, kScreen);
  EXPECT_DOUBLE_EQ(project.duration(), 20);
}

TEST(Cut, OutputTimeRunsAtTheClipsSpeed) {
  Project project = oneClip(0, 30, 2);  // 15 s of output
  project.cut(5, 10);
  EXPECT_EQ(sourceRanges(project), (std::vector<std::pair<double, double>>{{0, 10}, {20, 30}}));
  EXPECT_DOUBLE_EQ(project.duration(), 10);
  for (const Clip& clip : project.clips) EXPECT_EQ(clip.speed, 2);
}

TEST(Split, SplitsOnlyClearOfClipBoundaries) {
  // Two clips after a 2 s lead-in: source 0–10 at speed 1 (output 2–12) and
  // 10–20 at speed 2 (output 12–17).
  static const struct {
    double at;
    std::vector<std::pair<double, double>> expected;
  } cases[] = {
      {7, {{0, 5}, {5, 10}, {10, 20}}},
      {14, {{0, 10}, {10, 14}, {14, 20}}},  // 2 s into a double-speed clip is 4 s of source
      {2.04, {{0, 10}, {10, 20}}},          // 0.04 s into the first clip
      {11.96, {{0, 10}, {10, 20}}},         // 0.04 s before its end
      {12.04, {{0, 10}, {10, 20}}},         // 0.04 s into the second
      {2.05, {{0, 10}, {10, 20}}},          // exactly the margin is still too close
      {1, {{0, 10}, {10, 20}}},             // in the lead-in
      {17.5, {{0, 10}, {10, 20}}},          // after the last clip
      {-3, {{0, 10}, {10, 20}}},
      {std::numeric_limits<double>::quiet_NaN(), {{0, 10}, {10, 20}}},
      {std::numeric_limits<double>::infinity(), {{0, 10}, {10, 20}}},
  };
  for (const auto& c : cases) {
    Project project;
    project.screenStart = 2;
    project.clips = {Clip{kClip, kScreen, 0, 10, 1}, Clip{Uuid::random(), kScreen, 10, 20, 2}};
    project.splitClip(c.at);
    EXPECT_EQ(sourceRanges(project), c.expected) << "split at " << c.at;
    EXPECT_EQ(project.clips[0].id, kClip) << "split at " << c.at;
    EXPECT_DOUBLE_EQ(project.duration(), 17) << "split at " << c.at;
  }
}

TEST(Cut, DoesNothingForAnEmptyOrReversedOrEndlessRange) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  static const struct {
    double from, to;
  } cases[] = {{20, 10}, {10, 10}, {nan, 20}, {10, nan}, {10, inf}, {-inf, 10}, {-5, -1}, {-5, 0}};
  for (const auto& c : cases) {
    Project project = oneClip(0, 30);
    project.zooms = {zoom(12, 14)};
    project.media = {item(8, 12)};
    project.camera.keyframes = {cameraAt(15)};
    const Project before = project;
    project.cut(c.from, c.to);
    EXPECT_EQ(project, before) << "cut " << c.from << "–" << c.to;
  }
}

// Output time begins at 0; a range reaching before it cuts from 0.
TEST(Cut, ARangeStartingBeforeZeroCutsFromZero) {
  Project fromBelow = oneClip(0, 30);
  fromBelow.media = {item(5, 8)};
  Project fromZero = fromBelow;
  fromBelow.cut(-5, 3);
  fromZero.cut(0, 3);
  EXPECT_EQ(fromBelow.screenStart, 0);
  EXPECT_EQ(sourceRanges(fromBelow), sourceRanges(fromZero));
  EXPECT_EQ(fromBelow.media, fromZero.media);
  EXPECT_EQ(fromBelow.media[0].start, 2);
}

// ---------------------------------------------------------------------------
// What follows the clips through a cut

TEST(Cut, ZoomsBeforeStayLaterOnesMoveUpOverlappingOnesGo) {
  Project project = oneClip(0, 30);
  project.zooms = {zoom(12, 14, {13}), zoom(22, 25, {23, 24.5}), zoom(5, 10, {7}), zoom(8, 11), zoom(19, 21),
                   zoom(20, 22)};
  const ZoomSegment kept = project.zooms[2];
  project.cut(10, 20);
  ASSERT_EQ(project.zooms.size(), 3u);
  EXPECT_EQ(project.zooms[0].start, 12);
  EXPECT_EQ(project.zooms[0].end, 15);
  EXPECT_EQ(project.zooms[0].keyframes[0].time, 13);
  EXPECT_EQ(project.zooms[0].keyframes[1].time, 14.5);
  EXPECT_EQ(project.zooms[1], kept);
  EXPECT_EQ(project.zooms[2].start, 10);  // started right at the end of the cut
  EXPECT_EQ(project.zooms[2].end, 12);
}

TEST(Cut, MediaItemsAreShortenedMovedOrRemoved) {
  static const struct {
    double start, end;
    std::optional<std::pair<double, double>> expected;  // nothing: removed
  } cases[] = {
      {8, 12, {{8, 10}}},        // ends inside the cut
      {9.95, 12, std::nullopt},  // 0.05 s would be left
      {9.9, 12, std::nullopt},   // 0.1 s is not more than 0.1
      {9.8, 12, {{9.8, 10}}},
      {15, 25, {{10, 15}}},      // starts inside: what outlasts the cut moves up
      {15, 20.05, std::nullopt},
      {15, 18, std::nullopt},    // wholly inside
      {10, 20, std::nullopt},
      {5, 30, {{5, 20}}},        // spans the cut
      {2, 10, {{2, 10}}},        // ends where the cut starts
      {20, 24, {{10, 14}}},      // starts where it ends
      {22, 40, {{12, 30}}},
  };
  for (const auto& c : cases) {
    Project project = oneClip(0, 30);
    project.media = {item(c.start, c.end)};
    project.cut(10, 20);
    if (!c.expected) {
      EXPECT_TRUE(project.media.empty()) << c.start << "–" << c.end;
      continue;
    }
    ASSERT_EQ(project.media.size(), 1u) << c.start << "–" << c.end;
    EXPECT_NEAR(project.media[0].start, c.expected->first, 1e-12) << c.start << "–" << c.end;
    EXPECT_NEAR(project.media[0].end, c.expected->second, 1e-12) << c.start << "–" << c.end;
  }
}

TEST(Cut, CameraKeyframesInsideTheCutGo) {
  Project project = oneClip(0, 30);
  project.camera.keyframes = {cameraAt(5), cameraAt(9.999), cameraAt(10), cameraAt(19.99), cameraAt(20),
                              cameraAt(26)};
  const Uuid lastID = project.camera.keyframes.back().id;
  project.cut(10, 20);
  std::vector<double> times;
  for (const auto& keyframe : project.camera.keyframes) times.push_back(keyframe.time);
  EXPECT_EQ(times, (std::vector<double>{5, 9.999, 10, 16}));
  EXPECT_EQ(project.camera.keyframes.back().id, lastID);
}

TEST(Cut, ACutInsideTheLeadInShortensIt) {
  Project project = oneClip(0, 30, 1, 5);
  project.zooms = {zoom(6, 8, {7})};
  project.media = {item(4, 9), item(0.5, 1)};
  project.camera.keyframes = {cameraAt(5)};
  project.cut(1, 3);
  EXPECT_EQ(project.screenStart, 3);
  EXPECT_EQ(sourceRanges(project), (std::vector<std::pair<double, double>>{{0, 30}}));
  EXPECT_EQ(project.zooms[0].start, 4);
  EXPECT_EQ(project.zooms[0].end, 6);
  EXPECT_EQ(project.zooms[0].keyframes[0].time, 5);
  EXPECT_EQ(project.media[0].start, 2);
  EXPECT_EQ(project.media[0].end, 7);
  EXPECT_EQ(project.media[1].end, 1);
  EXPECT_EQ(project.camera.keyframes[0].time, 3);
  EXPECT_EQ(project.duration(), 33);
}

TEST(Cut, ACutAcrossTheStartOfTheRecording) {
  Project project = oneClip(0, 30, 1, 5);  // output 5–35
  project.cut(3, 10);
  EXPECT_EQ(project.screenStart, 3);
  EXPECT_EQ(sourceRanges(project), (std::vector<std::pair<double, double>>{{5, 30}}));
  EXPECT_EQ(project.duration(), 28);
}

TEST(Cut, CaptionWordsStayInRecordingTime) {
  Project project = oneClip(0, 30);
  project.captions = CaptionTrack{{{Uuid::random(), "gone", 12, 13, std::nullopt},
                                   {Uuid::random(), "later", 25, 26, true}},
                                  CaptionStyle{},
                                  false,
                                  "en"};
  const auto words = project.captions->words;
  project.cut(10, 20);
  project.moveScreen(3);
  project.shiftAll(2);
  project.closeLeadingGap();
  project.trim(1, 12);
  EXPECT_EQ(project.captions->words, words);
}

TEST(Trim, CutsTheEndFirstThenTheStart) {
  Project project = oneClip(0, 30);
  project.media = {item(24, 28), item(2, 6)};
  project.trim(5, 25);
  EXPECT_DOUBLE_EQ(project.duration(), 20);
  EXPECT_EQ(sourceRanges(project), (std::vector<std::pair<double, double>>{{5, 25}}));
  // 24–28 lost what lay past 25, then moved up by 5; 2–6 kept its last second.
  ASSERT_EQ(project.media.size(), 2u);
  EXPECT_EQ(project.media[0].start, 19);
  EXPECT_EQ(project.media[0].end, 20);
  EXPECT_EQ(project.media[1].start, 0);
  EXPECT_EQ(project.media[1].end, 1);

  Project whole = oneClip(0, 30);
  whole.trim(0, 30);
  EXPECT_EQ(whole, oneClip(0, 30));
}

// ---------------------------------------------------------------------------
// Moving and shifting

TEST(MoveScreen, NeverMovesBeforeZero) {
  Project project = oneClip(0, 30, 1, 4);
  project.zooms = {zoom(6, 8, {7})};
  project.camera.keyframes = {cameraAt(4.5)};
  project.media = {item(4, 9), item(1, 2), item(10, 11, true)};
  project.moveScreen(-10);
  EXPECT_EQ(project.screenStart, 0);
  EXPECT_EQ(project.zooms[0].start, 2);
  EXPECT_EQ(project.zooms[0].end, 4);
  EXPECT_EQ(project.zooms[0].keyframes[0].time, 3);
  EXPECT_EQ(project.camera.keyframes[0].time, 0.5);
  EXPECT_EQ(project.media[0].start, 0);  // started with the recording
  EXPECT_EQ(project.media[0].end, 5);
  EXPECT_EQ(project.media[1].start, 1);  // belongs to the lead-in: stays
  EXPECT_EQ(project.media[2].start, 6);  // hidden items move all the same
  EXPECT_EQ(project.clips, oneClip(0, 30).clips);
}

TEST(MoveScreen, IgnoresMovesTooSmallOrNotFinite) {
  for (double delta : {0.0, 1e-10, -1e-9, -3.0, std::numeric_limits<double>::quiet_NaN(),
                       std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity()}) {
    Project project = oneClip(0, 30, 1, 0);
    project.zooms = {zoom(6, 8)};
    const Project before = project;
    project.moveScreen(delta);
    EXPECT_EQ(project, before) << delta;
  }
  Project later = oneClip(0, 30);
  later.moveScreen(2.5);
  EXPECT_EQ(later.screenStart, 2.5);
}

TEST(ShiftAll, MovesEverythingLaterAndOnlyLater) {
  Project project = oneClip(0, 30, 1, 1);
  project.zooms = {zoom(6, 8, {7})};
  project.camera.keyframes = {cameraAt(3)};
  project.media = {item(0, 2), item(10, 11, true)};
  for (double delta : {0.0, -2.0, std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()}) {
    Project unchanged = project;
    unchanged.shiftAll(delta);
    EXPECT_EQ(unchanged, project) << delta;
  }
  project.shiftAll(1.5);
  EXPECT_EQ(project.screenStart, 2.5);
  EXPECT_EQ(project.zooms[0].start, 7.5);
  EXPECT_EQ(project.zooms[0].end, 9.5);
  EXPECT_EQ(project.zooms[0].keyframes[0].time, 8.5);
  EXPECT_EQ(project.camera.keyframes[0].time, 4.5);
  EXPECT_EQ(project.media[0].start, 1.5);
  EXPECT_EQ(project.media[1].end, 12.5);
}

TEST(CloseLeadingGap, MovesTheEarliestContentToZero) {
  Project project = oneClip(0, 30, 1, 3);
  project.zooms = {zoom(4, 6, {5})};
  project.camera.keyframes = {cameraAt(3)};
  project.media = {item(1, 2, true), item(5, 9)};
  project.closeLeadingGap();
  EXPECT_EQ(project.screenStart, 2);
  EXPECT_EQ(project.media[0].start, 0);  // the hidden item counts too
  EXPECT_EQ(project.media[1].start, 4);
  EXPECT_EQ(project.zooms[0].start, 3);
  EXPECT_EQ(project.zooms[0].keyframes[0].time, 4);
  EXPECT_EQ(project.camera.keyframes[0].time, 2);

  Project closed = project;
  closed.closeLeadingGap();
  EXPECT_EQ(closed, project);
  Project tiny = oneClip(0, 30, 1, 0.000001);
  tiny.closeLeadingGap();
  EXPECT_EQ(tiny.screenStart, 0.000001);
}

// ---------------------------------------------------------------------------
// Placing media items

TEST(AddMediaItem, GoesAboveEveryOtherItem) {
  Project project;
  MediaItem first = item(0, 1);
  first.zIndex = 42;
  project.addMediaItem(first);
  EXPECT_EQ(project.media.back().zIndex, 0);

  project.media[0].zIndex = 3;
  project.addMediaItem(item(0, 1));
  project.media[1].zIndex = 7;
  project.media[1].hidden = true;
  project.addMediaItem(item(2, 3));
  EXPECT_EQ(project.media.back().zIndex, 8);
  EXPECT_EQ(project.media.back().start, 2);  // placed as given

  Project negative;
  negative.media = {item(0, 1)};
  negative.media[0].zIndex = -5;
  negative.addMediaItem(item(0, 1));
  EXPECT_EQ(negative.media.back().zIndex, -4);

  Project top;
  top.media = {item(0, 1)};
  top.media[0].zIndex = INT_MAX;
  top.addMediaItem(item(0, 1));
  EXPECT_EQ(top.media.back().zIndex, INT_MAX);
}

TEST(InsertAtStart, PushesEverythingLaterByTheItemsLength) {
  Project project = oneClip(0, 30);
  project.media = {item(3, 4)};
  project.media[0].zIndex = 2;
  project.zooms = {zoom(5, 6)};
  project.insertAtStart(item(7, 7.2));  // 0.2 s long: takes half a second
  EXPECT_EQ(project.screenStart, 0.5);
  EXPECT_EQ(project.zooms[0].start, 5.5);
  EXPECT_EQ(project.media[0].start, 3.5);
  ASSERT_EQ(project.media.size(), 2u);
  EXPECT_EQ(project.media[1].start, 0);
  EXPECT_EQ(project.media[1].end, 0.5);
  EXPECT_EQ(project.media[1].zIndex, 3);

  Project longer = oneClip(0, 30);
  longer.insertAtStart(item(10, 14));
  EXPECT_EQ(longer.screenStart, 4);
  EXPECT_EQ(longer.media[0].end, 4);

  Project reversed = oneClip(0, 30);
  reversed.insertAtStart(item(5, 2));
  EXPECT_EQ(reversed.media[0].end, 0.5);

  Project endless = oneClip(0, 30);
  endless.insertAtStart(item(0, std::numeric_limits<double>::infinity()));
  EXPECT_EQ(endless, oneClip(0, 30));
}

TEST(AppendAtEnd, GoesAfterEverythingHiddenItemsIncluded) {
  Project project = oneClip(0, 30);
  project.media = {item(10, 40, true)};
  project.appendAtEnd(item(0, 3));
  ASSERT_EQ(project.media.size(), 2u);
  EXPECT_EQ(project.media[1].start, 40);
  EXPECT_EQ(project.media[1].end, 43);
  EXPECT_EQ(project.screenStart, 0);

  Project plain = oneClip(0, 30, 2, 1);  // ends at 16
  plain.appendAtEnd(item(0, 0.1));
  EXPECT_EQ(plain.media[0].start, 16);
  EXPECT_EQ(plain.media[0].end, 16.5);
}

// ---------------------------------------------------------------------------
// Properties over generated projects and edits

using EditGenerators::between;
using EditGenerators::timelineProject;

struct ClipSpan {
  double start, end;
};

// Output spans of the clips, walked as every edit walks them.
std::vector<ClipSpan> clipSpans(const Project& project) {
  std::vector<ClipSpan> spans;
  double start = project.screenStart;
  for (const Clip& clip : project.clips) {
    const double end = start + clip.outputDuration();
    spans.push_back({start, end});
    start = end;
  }
  return spans;
}

// Whether a split at t happens exactly where asked: t lies outside every clip
// or well inside one, not in the 0.05 s margin at either end.
bool splitsCleanly(const Project& project, double t) {
  for (const ClipSpan& span : clipSpans(project)) {
    if (t <= span.start || t >= span.end) continue;
    if (!(t > span.start + 0.05 && t < span.end - 0.05)) return false;
  }
  return true;
}

// The recording's own second that plays at output time t; nothing in the
// lead-in, between empty clips, and after the last clip.
std::optional<double> sourceAt(const Project& project, double t) {
  double start = project.screenStart;
  for (const Clip& clip : project.clips) {
    const double end = start + clip.outputDuration();
    if (t >= start && t < end) return clip.sourceStart + (t - start) * clip.speed;
    start = end;
  }
  return std::nullopt;
}

// Output times worth probing in a project: in the lead-in and just inside
// both ends and the middle of every clip.
std::vector<double> probeTimes(const Project& project) {
  std::vector<double> times{project.screenStart / 2};
  for (const ClipSpan& span : clipSpans(project)) {
    if (span.end - span.start < 0.002) continue;
    times.insert(times.end(), {span.start + 0.001, (span.start + span.end) / 2, span.end - 0.001});
  }
  return times;
}

void expectSameSource(std::optional<double> expected, std::optional<double> actual, double at) {
  RC_ASSERT(expected.has_value() == actual.has_value());
  if (expected) RC_ASSERT(std::abs(*expected - *actual) <= 1e-6 * (1 + std::abs(*expected)));
  (void)at;
}

// A cut point: anywhere around the timeline, or right on a clip boundary.
rc::Gen<double> cutPoint(const Project& project) {
  std::vector<double> boundaries{project.screenStart};
  for (const ClipSpan& span : clipSpans(project)) boundaries.push_back(span.end);
  return rc::gen::weightedOneOf<double>(
      {{4, between(-2.0, project.timelineExtent() + 5)}, {1, rc::gen::elementOf(boundaries)}});
}

RC_GTEST_PROP(CutProperty, RemovesExactlyTheCoveredPartOfTheClipTimeline, ()) {
  const Project before = *timelineProject();
  const double p = *cutPoint(before);
  const double q = *cutPoint(before);
  const double from = std::min(p, q);
  const double to = std::max(p, q);
  const double a = std::max(from, 0.0);
  // Both ends must split where asked; the end is judged on the timeline the
  // split at the start leaves (a second split needs 0.05 s from the first).
  Project splitAtStart = before;
  splitAtStart.splitClip(a);
  RC_PRE(splitsCleanly(before, a) && splitsCleanly(splitAtStart, to));

  Project after = before;
  after.cut(from, to);

  const double clipsStart = before.screenStart;
  const double clipsEnd = before.screenStart + before.clipTimelineDuration();
  const double covered = to > a ? std::max(0.0, std::min(to, clipsEnd) - std::max(a, clipsStart)) : 0.0;
  RC_ASSERT(std::abs(before.clipTimelineDuration() - covered - after.clipTimelineDuration()) <= 1e-6);
  RC_ASSERT(after.screenStart >= 0);

  // Every clip left plays a piece of one it came from; ids stay unique.
  std::set<Uuid> ids;
  for (const Clip& clip : after.clips) {
    RC_ASSERT(ids.insert(clip.id).second);
    const bool inside = std::any_of(before.clips.begin(), before.clips.end(), [&](const Clip& old) {
      return old.assetID == clip.assetID && old.speed == clip.speed && old.sourceStart <= clip.sourceStart &&
             clip.sourceEnd <= old.sourceEnd;
    });
    RC_ASSERT(inside);
  }

  // Before the cut the same recording plays; after it, what played d later.
  for (double t : probeTimes(after)) {
    const double then = to > a && t >= a ? t + (to - a) : t;
    expectSameSource(sourceAt(before, then), sourceAt(after, t), t);
  }
  RC_ASSERT(after.captions == before.captions);
}

RC_GTEST_PROP(SplitProperty, NeverChangesTheDurationOrWhatPlays, ()) {
  const Project before = *timelineProject();
  const double at = *cutPoint(before);
  Project after = before;
  after.splitClip(at);

  RC_ASSERT(std::abs(after.duration() - before.duration()) <= 1e-9 * (1 + before.duration()));
  const std::vector<ClipSpan> spans = clipSpans(before);
  const bool inside = std::any_of(spans.begin(), spans.end(), [&](const ClipSpan& span) {
    return at > span.start + 0.05 && at < span.end - 0.05;
  });
  RC_ASSERT(after.clips.size() == before.clips.size() + (inside ? 1u : 0u));
  for (double t : probeTimes(before)) expectSameSource(sourceAt(before, t), sourceAt(after, t), t);
  if (!before.clips.empty()) RC_ASSERT(after.clips[0].id == before.clips[0].id);
}

// Every time a timeline edit may change, in a fixed order.
std::vector<double*> timesOf(Project& project) {
  std::vector<double*> times{&project.screenStart};
  for (ZoomSegment& zoom : project.zooms) {
    times.insert(times.end(), {&zoom.start, &zoom.end});
    for (ZoomKeyframe& keyframe : zoom.keyframes) times.push_back(&keyframe.time);
  }
  for (CameraLayoutKeyframe& keyframe : project.camera.keyframes) times.push_back(&keyframe.time);
  for (MediaItem& media : project.media) times.insert(times.end(), {&media.start, &media.end});
  return times;
}

// Equal, except that times may differ by rounding: (x + d) − d need not give
// x back exactly in binary floating point.
void assertEqualUpToRounding(const Project& expected, Project actual) {
  Project wanted = expected;
  RC_ASSERT(actual.zooms.size() == wanted.zooms.size());
  RC_ASSERT(actual.media.size() == wanted.media.size());
  RC_ASSERT(actual.camera.keyframes.size() == wanted.camera.keyframes.size());
  for (std::size_t i = 0; i < actual.zooms.size(); ++i) {
    RC_ASSERT(actual.zooms[i].keyframes.size() == wanted.zooms[i].keyframes.size());
  }
  const auto wantedTimes = timesOf(wanted);
  const auto actualTimes = timesOf(actual);
  for (std::size_t i = 0; i < wantedTimes.size(); ++i) {
    RC_ASSERT(std::abs(*wantedTimes[i] - *actualTimes[i]) <= 1e-12 * (1 + std::abs(*wantedTimes[i])));
    *actualTimes[i] = *wantedTimes[i];
  }
  RC_ASSERT(actual == wanted);
}

RC_GTEST_PROP(MoveScreenProperty, MovingBackGivesTheProjectBack, ()) {
  const Project before = *timelineProject();
  const double delta = *rc::gen::oneOf(between(-before.screenStart, 0.0), between(0.0, 15.0));
  // Moving earlier also takes along the lead-in items it passes over, and the
  // way back cannot tell them apart: the round trip holds without them.
  const bool passesOverItems = std::any_of(before.media.begin(), before.media.end(), [&](const MediaItem& media) {
    return media.start >= before.screenStart + delta && media.start < before.screenStart;
  });
  RC_PRE(!passesOverItems);

  Project after = before;
  after.moveScreen(delta);
  RC_ASSERT(after.screenStart >= 0);
  after.moveScreen(-delta);
  assertEqualUpToRounding(before, after);
}

}  // namespace
}  // namespace RecorderCore
