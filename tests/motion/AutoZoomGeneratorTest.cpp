#include "RecorderCore/motion/AutoZoomGenerator.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <rapidcheck/gtest.h>

#include "MotionGenerators.h"
#include "RecorderCore/platform/JSONText.h"
#include "RecorderCore/project/Coding.h"

namespace RecorderCore {
namespace {

using nlohmann::json;

struct Span {
  double sourceStart;
  double sourceEnd;
  double speed;
};

Project projectWith(std::vector<Span> spans, double screenStart = 0) {
  Project project = Project::create("Zooms", CanvasSettings{1920, 1080, 60}, "1.0");
  const Uuid screen = Uuid::random();
  for (const Span& span : spans) {
    project.clips.push_back(Clip{Uuid::random(), screen, span.sourceStart, span.sourceEnd, span.speed});
  }
  project.screenStart = screenStart;
  return project;
}

ClickEvent press(double time, Point position, ClickEvent::Button button = ClickEvent::Button::left) {
  return ClickEvent{time, position, button, true};
}

EventLog clicksOnly(std::vector<ClickEvent> clicks) { return EventLog({}, std::move(clicks), {}, {}); }

// zoom 2, hold 1.5 s, merge gap 3 s, in and out 1 s, at least 3 s, pan beyond 0.2.
const AutoZoomGenerator standard{2, 1.5, 3, 1, 1, 3, 0.2};

TEST(AutoZoomGeneratorTest, ParametersKeepTheirOrder) {
  const AutoZoomGenerator generator{1, 2, 3, 4, 5, 6, 7};
  EXPECT_EQ(generator.zoom, 1);
  EXPECT_EQ(generator.holdAfterLastClick, 2);
  EXPECT_EQ(generator.mergeGap, 3);
  EXPECT_EQ(generator.inDuration, 4);
  EXPECT_EQ(generator.outDuration, 5);
  EXPECT_EQ(generator.minimumDuration, 6);
  EXPECT_EQ(generator.panThreshold, 7);
}

TEST(AutoZoomGeneratorTest, NothingUsableGivesNoZooms) {
  const Project project = projectWith({{0, 30, 1}});
  const EventLog releases = clicksOnly({{5, {0.5, 0.5}, ClickEvent::Button::left, false},
                                        {6, {0.5, 0.5}, ClickEvent::Button::right, false},
                                        {7, {0.5, 0.5}, ClickEvent::Button::other, false}});
  const EventLog outside = clicksOnly({press(-1, {0.5, 0.5}), press(30.5, {0.5, 0.5})});
  const EventLog keysWithoutCursor({}, {}, {}, {{5, "A", true}, {6, "B", true}});
  const EventLog keyReleases({{0, {0.5, 0.5}}}, {}, {}, {{5, "A", false}});
  for (const EventLog* log : {&releases, &outside, &keysWithoutCursor, &keyReleases}) {
    EXPECT_TRUE(standard.generate(*log, project).empty());
  }
  EXPECT_TRUE(standard.generate(clicksOnly({press(5, {0.5, 0.5})}), projectWith({})).empty());
}

TEST(AutoZoomGeneratorTest, SingleClickHoldsForTheMinimumAndStopsAtTheRecordingsEnd) {
  const EventLog log = clicksOnly({press(10, {0.5, 0.5}, ClickEvent::Button::right)});
  const auto zooms = standard.generate(log, projectWith({{0, 20, 1}}));
  ASSERT_EQ(zooms.size(), 1u);
  const ZoomSegment& zoom = zooms[0];
  EXPECT_DOUBLE_EQ(zoom.start, 9.4);
  EXPECT_DOUBLE_EQ(zoom.end, 12.4);
  EXPECT_EQ(zoom.rect, (Rect{0.25, 0.25, 0.5, 0.5}));
  EXPECT_EQ(zoom.inDuration, 1);
  EXPECT_EQ(zoom.outDuration, 1);
  EXPECT_EQ(zoom.easing, Easing::easeInOut);
  EXPECT_TRUE(zoom.isAuto);
  EXPECT_TRUE(zoom.keyframes.empty());

  const auto cut = standard.generate(log, projectWith({{0, 12, 1}}));
  ASSERT_EQ(cut.size(), 1u);
  EXPECT_DOUBLE_EQ(cut[0].start, 9.4);
  EXPECT_DOUBLE_EQ(cut[0].end, 12);

  // Overlays that make the project longer do not let a zoom run on.
  Project withOverlay = projectWith({{0, 12, 1}});
  MediaItem text;
  text.kind = AssetKind::text;
  text.start = 0;
  text.end = 40;
  withOverlay.media.push_back(text);
  ASSERT_EQ(withOverlay.duration(), 40);
  EXPECT_DOUBLE_EQ(standard.generate(log, withOverlay).at(0).end, 12);

  const auto early = standard.generate(clicksOnly({press(0.2, {0.5, 0.5})}), projectWith({{0, 20, 1}}));
  ASSERT_EQ(early.size(), 1u);
  EXPECT_EQ(early[0].start, 0);
  EXPECT_DOUBLE_EQ(early[0].end, 3);

  // A long hold beats the minimum.
  AutoZoomGenerator holding = standard;
  holding.holdAfterLastClick = 4;
  EXPECT_DOUBLE_EQ(holding.generate(log, projectWith({{0, 20, 1}})).at(0).end, 14);
}

TEST(AutoZoomGeneratorTest, RectangleIsCentredOnTheFocusAndKeptInside) {
  static const struct {
    double zoom;
    Point click;
    Rect expected;
  } cases[] = {
      {2, {0.5, 0.5}, {0.25, 0.25, 0.5, 0.5}},
      {2, {0.1, 0.9}, {0, 0.5, 0.5, 0.5}},
      {2, {1.3, -0.2}, {0.5, 0, 0.5, 0.5}},
      {4, {0.5, 0.3}, {0.375, 0.175, 0.25, 0.25}},
      // Below 1.01 the view is 1/1.01 of the recording, never all of it.
      {1, {0.5, 0.5}, {0.5 - 0.5 / 1.01, 0.5 - 0.5 / 1.01, 1 / 1.01, 1 / 1.01}},
      {0.5, {0.9, 0.5}, {1 - 1 / 1.01, 0.5 - 0.5 / 1.01, 1 / 1.01, 1 / 1.01}},
      // Beyond 100 the size stops at 0.01 while the offset keeps half the
      // true view: 0.5 − 0.5 / 200.
      {200, {0.5, 0.5}, {0.4975, 0.4975, 0.01, 0.01}},
      {200, {1, 0}, {0.99, 0, 0.01, 0.01}},
  };
  const Project project = projectWith({{0, 20, 1}});
  for (const auto& c : cases) {
    AutoZoomGenerator generator = standard;
    generator.zoom = c.zoom;
    const auto zooms = generator.generate(clicksOnly({press(5, c.click)}), project);
    ASSERT_EQ(zooms.size(), 1u) << c.zoom;
    EXPECT_DOUBLE_EQ(zooms[0].rect.x, c.expected.x) << c.zoom << " at " << c.click.x << ", " << c.click.y;
    EXPECT_DOUBLE_EQ(zooms[0].rect.y, c.expected.y) << c.zoom << " at " << c.click.x << ", " << c.click.y;
    EXPECT_DOUBLE_EQ(zooms[0].rect.width, c.expected.width) << c.zoom;
    EXPECT_DOUBLE_EQ(zooms[0].rect.height, c.expected.height) << c.zoom;
  }
}

TEST(AutoZoomGeneratorTest, GapOfExactlyTheMergeGapKeepsOneSegment) {
  const Project project = projectWith({{0, 40, 1}});
  const auto merged = standard.generate(clicksOnly({press(13, {0.5, 0.5}), press(10, {0.5, 0.5})}), project);
  ASSERT_EQ(merged.size(), 1u);
  EXPECT_DOUBLE_EQ(merged[0].start, 9.4);
  EXPECT_DOUBLE_EQ(merged[0].end, 14.5);

  const auto split = standard.generate(clicksOnly({press(10, {0.5, 0.5}), press(13.01, {0.5, 0.5})}), project);
  ASSERT_EQ(split.size(), 2u);
  EXPECT_DOUBLE_EQ(split[0].end, 12.4);
  EXPECT_DOUBLE_EQ(split[1].start, 12.41);
}

TEST(AutoZoomGeneratorTest, RecordingTimesArePlacedThroughTheClips) {
  // The first clip holding the time wins, ends included; a sped-up clip
  // compresses; cut parts and times past the last clip are dropped.
  const Project project = projectWith({{0, 10, 1}, {30, 40, 1}, {10, 20, 2}}, 2);
  static const struct {
    double recordingTime;
    double expectedStart;  // timeline time − 0.6
  } cases[] = {
      {10, 2 + 10 - 0.6},             // the end of the first clip, not the start of the third
      {0, 2 - 0.6},                   // screenStart shifts everything
      {35, 2 + 10 + 5 - 0.6},         // second clip
      {14, 2 + 10 + 10 + 2 - 0.6},    // 4 s into the double-speed clip: 2 s
      {20, 2 + 10 + 10 + 5 - 0.6},    // its end, which is also the recording's end
  };
  for (const auto& c : cases) {
    const auto zooms = standard.generate(clicksOnly({press(c.recordingTime, {0.5, 0.5})}), project);
    ASSERT_EQ(zooms.size(), 1u) << c.recordingTime;
    EXPECT_DOUBLE_EQ(zooms[0].start, c.expectedStart) << c.recordingTime;
  }
  for (double dropped : {25.0, 40.5, -0.1}) {
    EXPECT_TRUE(standard.generate(clicksOnly({press(dropped, {0.5, 0.5})}), project).empty()) << dropped;
  }
  // A clip whose end lies before its start takes no time and holds nothing.
  const Project reversed = projectWith({{5, 3, 1}, {0, 10, 1}});
  const auto zooms = standard.generate(clicksOnly({press(4, {0.5, 0.5})}), reversed);
  ASSERT_EQ(zooms.size(), 1u);
  EXPECT_DOUBLE_EQ(zooms[0].start, 3.4);
}

TEST(AutoZoomGeneratorTest, PointsFarFromTheViewAddPanKeyframes) {
  const Project project = projectWith({{0, 60, 1}});
  const EventLog log = clicksOnly({
      press(10, {0.5, 0.5}),
      press(11, {0.6, 0.5}),    // 0.1 from the segment's centre: no pan
      press(12, {0.8, 0.5}),     // 0.3 away: pans, the view pushed back inside
      press(13, {0.9, 0.55}),    // about 0.16 from that pan's centre (0.75, 0.5): none
      press(14, {0.375, 0.5}),   // 0.375 from the last pan (0.125 from the focus): pans
      press(15, {0.375, 0.75}),  // exactly 0.25 from that pan
  });
  AutoZoomGenerator generator = standard;
  const auto zooms = generator.generate(log, project);
  ASSERT_EQ(zooms.size(), 1u);
  EXPECT_EQ(zooms[0].rect, (Rect{0.25, 0.25, 0.5, 0.5}));
  EXPECT_DOUBLE_EQ(zooms[0].end, 16.5);
  ASSERT_EQ(zooms[0].keyframes.size(), 3u);
  EXPECT_EQ(zooms[0].keyframes[0].time, 12);
  EXPECT_EQ(zooms[0].keyframes[0].rect, (Rect{0.5, 0.25, 0.5, 0.5}));
  EXPECT_EQ(zooms[0].keyframes[1].time, 14);
  EXPECT_EQ(zooms[0].keyframes[1].rect, (Rect{0.125, 0.25, 0.5, 0.5}));
  // Beyond a threshold of 0.2, the last point pans as well; at 0.25 it lies
  // exactly on the threshold and does not.
  EXPECT_EQ(zooms[0].keyframes[2].time, 15);
  EXPECT_NE(zooms[0].keyframes[0].id, zooms[0].keyframes[1].id);

  generator.panThreshold = 0.25;
  const auto strict = generator.generate(log, project);
  ASSERT_EQ(strict.at(0).keyframes.size(), 2u);
  EXPECT_EQ(strict[0].keyframes[1].time, 14);
}

TEST(AutoZoomGeneratorTest, KeyPressesZoomWhereTheCursorIs) {
  const Project project = projectWith({{0, 60, 1}});
  const std::vector<CursorSample> path{{4, {0.2, 0.2}}, {6, {0.6, 0.4}}};
  AutoZoomGenerator generator = standard;
  generator.zoom = 4;  // a 0.25 view, so the rectangle shows the focus exactly

  static const struct {
    double keyTime;
    Point focus;
  } cases[] = {{5, {0.4, 0.3}}, {1, {0.2, 0.2}}, {50, {0.6, 0.4}}};
  for (const auto& c : cases) {
    const EventLog log(path, {}, {}, {{c.keyTime, "⌘S", true}});
    const auto zooms = generator.generate(log, project);
    ASSERT_EQ(zooms.size(), 1u) << c.keyTime;
    EXPECT_DOUBLE_EQ(zooms[0].rect.x, c.focus.x - 0.125) << c.keyTime;
    EXPECT_DOUBLE_EQ(zooms[0].rect.y, c.focus.y - 0.125) << c.keyTime;
  }

  // At one timeline time clicks come first: the click's spot is the focus.
  const EventLog tie(path, {press(5, {0.7, 0.7})}, {}, {{5, "A", true}});
  const auto zooms = generator.generate(tie, project);
  ASSERT_EQ(zooms.size(), 1u);
  EXPECT_DOUBLE_EQ(zooms[0].rect.x, 0.575);
  ASSERT_EQ(zooms[0].keyframes.size(), 1u);
  EXPECT_DOUBLE_EQ(zooms[0].keyframes[0].rect.x, 0.275);
}

TEST(AutoZoomGeneratorTest, ManyPointsAtOneTimeKeepTheirOrder) {
  // Twenty clicks alternating between two far corners, then twenty key
  // presses with the cursor in the middle, all at one time: each click pans
  // away from the one before, then the first key press pans to the middle.
  const Point a{0.1, 0.1};
  const Point b{0.9, 0.9};
  std::vector<ClickEvent> clicks;
  std::vector<KeyEvent> keys;
  for (int i = 0; i < 20; ++i) {
    clicks.push_back(press(5, i % 2 == 0 ? a : b));
    keys.push_back({5, std::to_string(i), true});
  }
  const EventLog log({{0, {0.5, 0.5}}}, clicks, {}, keys);
  const auto zooms = standard.generate(log, projectWith({{0, 60, 1}}));
  ASSERT_EQ(zooms.size(), 1u);
  EXPECT_EQ(zooms[0].rect, (Rect{0, 0, 0.5, 0.5}));
  ASSERT_EQ(zooms[0].keyframes.size(), 20u);
  for (std::size_t i = 0; i < 19; ++i) {
    const double expected = i % 2 == 0 ? 0.5 : 0;
    EXPECT_EQ(zooms[0].keyframes[i].rect.x, expected) << i;
  }
  EXPECT_EQ(zooms[0].keyframes[19].rect, (Rect{0.25, 0.25, 0.5, 0.5}));
}

TEST(AutoZoomGeneratorTest, OverlapsBecomeContiguousAndShortRemnantsGo) {
  // hold 0.3 s, merge gap 0.2 s, no minimum: A at 10 ends at 10.3; B at 10.3
  // would start at 9.7, is moved to 10.3 and keeps only 0.3 s, so it goes;
  // C at 10.6 is then measured against A, not against B, and keeps 0.6 s.
  const AutoZoomGenerator generator{2, 0.3, 0.2, 1, 1, 0, 0.2};
  const EventLog log = clicksOnly({press(10, {0.2, 0.2}), press(10.3, {0.5, 0.5}), press(10.6, {0.8, 0.8})});
  const auto zooms = generator.generate(log, projectWith({{0, 60, 1}}));
  ASSERT_EQ(zooms.size(), 2u);
  EXPECT_DOUBLE_EQ(zooms[0].start, 9.4);
  EXPECT_DOUBLE_EQ(zooms[0].end, 10.3);
  EXPECT_EQ(zooms[1].start, zooms[0].end);
  EXPECT_DOUBLE_EQ(zooms[1].end, 10.9);
  EXPECT_EQ(zooms[1].rect, (Rect{0.5, 0.5, 0.5, 0.5}));
}

TEST(AutoZoomGeneratorTest, LeavesItsInputsAlone) {
  const Project project = projectWith({{0, 60, 1}});
  const EventLog log({{0, {0.1, 0.1}}}, {press(3, {0.5, 0.5})}, {}, {{4, "A", true}});
  const Project projectBefore = project;
  const EventLog logBefore = log;
  const auto first = standard.generate(log, project);
  EXPECT_EQ(project, projectBefore);
  EXPECT_EQ(log, logBefore);
  // Fresh identifiers each time, the same zooms otherwise.
  const auto second = standard.generate(log, project);
  ASSERT_EQ(first.size(), 1u);
  ASSERT_EQ(second.size(), 1u);
  EXPECT_NE(first[0].id, second[0].id);
  ZoomSegment copy = second[0];
  copy.id = first[0].id;
  ASSERT_EQ(copy.keyframes.size(), 1u);  // the key press, far from the click
  ASSERT_EQ(first[0].keyframes.size(), 1u);
  EXPECT_NE(copy.keyframes[0].id, first[0].keyframes[0].id);
  copy.keyframes[0].id = first[0].keyframes[0].id;
  EXPECT_EQ(copy, first[0]);
}

bool inside(const Rect& rect) {
  constexpr double slack = 1e-12;
  return rect.x >= 0 && rect.y >= 0 && rect.width > 0 && rect.height > 0 && rect.x + rect.width <= 1 + slack &&
         rect.y + rect.height <= 1 + slack;
}

RC_GTEST_PROP(AutoZoomGeneratorProperties, SegmentsAreOrderedDisjointLongEnoughAndInside, ()) {
  const AutoZoomGenerator generator = *MotionGenerators::generatorParameters();
  const EventLog log = *MotionGenerators::eventLog();
  const Project project = *MotionGenerators::timelineProject();
  const double timelineEnd = project.screenStart + project.clipTimelineDuration();

  const auto zooms = generator.generate(log, project);
  RC_TAG(zooms.empty() ? "none" : zooms.size() == 1 ? "one" : "several");
  for (std::size_t i = 0; i < zooms.size(); ++i) {
    const ZoomSegment& zoom = zooms[i];
    RC_ASSERT(zoom.end - zoom.start >= 0.5);
    RC_ASSERT(zoom.end <= timelineEnd);
    RC_ASSERT(zoom.start >= 0);
    RC_ASSERT(zoom.isAuto);
    RC_ASSERT(zoom.easing == Easing::easeInOut);
    RC_ASSERT(zoom.inDuration == generator.inDuration);
    RC_ASSERT(zoom.outDuration == generator.outDuration);
    RC_ASSERT(inside(zoom.rect));
    for (const ZoomKeyframe& keyframe : zoom.keyframes) {
      RC_ASSERT(inside(keyframe.rect));
      RC_ASSERT(keyframe.rect.width == zoom.rect.width);
      // Pans come from later points of the same cluster, in time order.
      RC_ASSERT(keyframe.time <= zoom.end + 1e-9);
    }
    if (i > 0) {
      RC_ASSERT(zooms[i - 1].start <= zoom.start);
      RC_ASSERT(zooms[i - 1].end <= zoom.start);
    }
  }
  // There is a zoom only where there was a press inside some clip.
  std::size_t presses = 0;
  for (const ClickEvent& click : log.clicks) presses += click.isDown ? 1 : 0;
  for (const KeyEvent& key : log.keys) presses += key.isDown && !log.samples.empty() ? 1 : 0;
  RC_ASSERT(zooms.size() <= presses);
}

// Golden data: a few minutes of real-looking use, cut and sped up on the
// timeline, and the zooms it must give. Identifiers are random, so both sides
// are compared with every id blanked.
std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream buffer;
  buffer << in.rdbuf();
  return buffer.str();
}

Project sessionProject() {
  // The recording runs 150 s. 62–70 s is cut out, 70–110 s plays at twice the
  // speed, and the recording starts 2 s into the output: the timeline ends at
  // 2 + 62 + 20 + 40 = 124 s.
  Project project = projectWith({{0, 62, 1}, {70, 110, 2}, {110, 150, 1}}, 2);
  return project;
}

TEST(AutoZoomGeneratorTest, SessionGivesTheRecordedZooms) {
  const std::string fixtures = std::string(RECORDER_SOURCE_DIR) + "/tests/motion/fixtures/";
  const auto parsed = JSONText::parse(readFile(fixtures + "session-events.json"));
  ASSERT_TRUE(parsed) << "session-events.json is not JSON";
  const EventLog log = Coding::decode<EventLog>(*parsed);
  ASSERT_EQ(log.samples.size(), 9000u);

  // The generator's defaults: merge gap 1.5 s, in and out 0.8 s, at least 2.5 s.
  const AutoZoomGenerator generator{2, 1.5, 1.5, 0.8, 0.8, 2.5, 0.2};
  EXPECT_EQ(generator, AutoZoomGenerator{});
  auto zooms = generator.generate(log, sessionProject());
  for (ZoomSegment& zoom : zooms) {
    zoom.id = Uuid{};
    for (ZoomKeyframe& keyframe : zoom.keyframes) keyframe.id = Uuid{};
  }
  const std::string actual = *JSONText::pretty(Coding::encode(zooms)) + "\n";
  const std::string goldenPath = fixtures + "session-zooms.json";
  if (std::getenv("RECORDER_UPDATE_GOLDEN") != nullptr) {
    std::ofstream(goldenPath, std::ios::binary) << actual;
  }
  EXPECT_EQ(actual, readFile(goldenPath)) << "run with RECORDER_UPDATE_GOLDEN=1 to rewrite " << goldenPath;

  // The recorded zooms decode back to what the generator gave.
  const auto golden = JSONText::parse(readFile(goldenPath));
  ASSERT_TRUE(golden);
  EXPECT_EQ(Coding::decode<std::vector<ZoomSegment>>(*golden), zooms);
}

}  // namespace
}  // namespace RecorderCore
