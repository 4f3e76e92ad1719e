#include "RecorderCore/motion/AutoZoomGenerator.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
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

TEST(AutoZoomGeneratorTest, NothingUsableGivesNoZooms) {
  const Project project = projectWith({{0, 30, 1}});
  const EventLog releases = clicksOnly({{5, {0.5, 0.5}, ClickEvent::Button::left, false},
                                        {6, {0.5, 0.5}, ClickEvent::Button::right, false}});
  const EventLog outside = clicksOnly({press(-1, {0.5, 0.5}), press(30.5, {0.5, 0.5})});
  const EventLog keysWithoutCursor({}, {}, {}, {{5, "A", true}});
  const EventLog keyReleases({{0, {0.5, 0.5}}}, {}, {}, {{5, "A", false}});
  for (const EventLog* log : {&releases, &outside, &keysWithoutCursor, &keyReleases}) {
    EXPECT_TRUE(standard.generate(*log, project).empty());
  }
  EXPECT_TRUE(standard.generate(clicksOnly({press(5, {0.5, 0.5})}), projectWith({})).empty());
}

TEST(AutoZoomGeneratorTest, SegmentTimesOnTheTimeline) {
  // hold 0.3 s, merge gap 0.2 s, no minimum.
  const AutoZoomGenerator brief{2, 0.3, 0.2, 1, 1, 0, 0.2};
  AutoZoomGenerator holding = standard;
  holding.holdAfterLastClick = 4;
  static const struct {
    const char* what;
    std::vector<Span> clips;
    double screenStart;
    std::vector<double> clicks;  // recording times
    const AutoZoomGenerator* generator;
    std::vector<std::pair<double, double>> expected;
  } cases[] = {
      {"the minimum beats the hold", {{0, 20, 1}}, 0, {10}, &standard, {{9.4, 12.4}}},
      {"a long hold beats the minimum", {{0, 20, 1}}, 0, {10}, &holding, {{9.4, 14}}},
      {"held to the recording's end", {{0, 12, 1}}, 0, {10}, &standard, {{9.4, 12}}},
      {"never before 0", {{0, 20, 1}}, 0, {0.2}, &standard, {{0, 3}}},
      {"exactly the merge gap apart: merged", {{0, 40, 1}}, 0, {13, 10}, &standard, {{9.4, 14.5}}},
      {"a little more: split", {{0, 40, 1}}, 0, {10, 13.01}, &standard, {{9.4, 12.4}, {12.41, 15.41}}},
      // The first clip holding the time wins, ends included; a sped-up clip
      // compresses; cut parts are dropped.
      {"end of the first clip", {{0, 10, 1}, {30, 40, 1}, {10, 20, 2}}, 2, {10}, &standard, {{11.4, 14.4}}},
      {"4 s into a double-speed clip", {{0, 10, 1}, {30, 40, 1}, {10, 20, 2}}, 2, {14}, &standard, {{23.4, 26.4}}},
      {"cut out", {{0, 10, 1}, {30, 40, 1}, {10, 20, 2}}, 2, {25}, &standard, {}},
      {"a reversed clip holds nothing", {{5, 3, 1}, {0, 10, 1}}, 0, {4}, &standard, {{3.4, 6.4}}},
      // A at 10 ends at 10.3; B at 10.3 would start at 9.7, is moved to 10.3
      // and keeps only 0.3 s, so it goes; C at 10.6 is then measured against
      // A, not against B, and keeps 0.6 s.
      {"overlaps made contiguous", {{0, 60, 1}}, 0, {10, 10.3, 10.6}, &brief, {{9.4, 10.3}, {10.3, 10.9}}},
  };
  for (const auto& c : cases) {
    std::vector<ClickEvent> clicks;
    for (double t : c.clicks) clicks.push_back(press(t, {0.5, 0.5}, ClickEvent::Button::right));
    std::vector<std::pair<double, double>> times;
    for (const ZoomSegment& zoom : c.generator->generate(clicksOnly(clicks), projectWith(c.clips, c.screenStart))) {
      times.emplace_back(zoom.start, zoom.end);
    }
    ASSERT_EQ(times.size(), c.expected.size()) << c.what;
    for (std::size_t i = 0; i < times.size(); ++i) {
      EXPECT_NEAR(times[i].first, c.expected[i].first, 1e-9) << c.what;
      EXPECT_NEAR(times[i].second, c.expected[i].second, 1e-9) << c.what;
    }
  }
  // Overlays that make the project longer do not let a zoom run on.
  Project withOverlay = projectWith({{0, 12, 1}});
  MediaItem text;
  text.kind = AssetKind::text;
  text.end = 40;
  withOverlay.media.push_back(text);
  ASSERT_EQ(withOverlay.duration(), 40);
  EXPECT_DOUBLE_EQ(standard.generate(clicksOnly({press(10, {0.5, 0.5})}), withOverlay).at(0).end, 12);
}

TEST(AutoZoomGeneratorTest, RectangleIsCentredOnTheFocusAndKeptInside) {
  static const struct {
    double zoom;
    Point click;
    Rect expected;
  } cases[] = {
      {2, {0.5, 0.5}, {0.25, 0.25, 0.5, 0.5}},
      {2, {0.1, 0.9}, {0, 0.5, 0.5, 0.5}},
      // Below 1.01 the view is 1/1.01 of the recording, never all of it.
      {0.5, {0.9, 0.5}, {1 - 1 / 1.01, 0.5 - 0.5 / 1.01, 1 / 1.01, 1 / 1.01}},
      // Beyond 100 the size stops at 0.01 while the offset keeps half the
      // true view: 0.5 − 0.5 / 200.
      {200, {0.5, 0.5}, {0.4975, 0.4975, 0.01, 0.01}},
      {200, {1, 0}, {0.99, 0, 0.01, 0.01}},
  };
  for (const auto& c : cases) {
    AutoZoomGenerator generator = standard;
    generator.zoom = c.zoom;
    const auto zooms = generator.generate(clicksOnly({press(5, c.click)}), projectWith({{0, 20, 1}}));
    ASSERT_EQ(zooms.size(), 1u) << c.zoom;
    const Rect& r = zooms[0].rect;
    EXPECT_TRUE(std::abs(r.x - c.expected.x) < 1e-12 && std::abs(r.y - c.expected.y) < 1e-12 &&
                std::abs(r.width - c.expected.width) < 1e-12 && std::abs(r.height - c.expected.height) < 1e-12)
        << c.zoom << " at " << c.click.x << ", " << c.click.y << ": " << r.x << ", " << r.y << ", " << r.width;
  }
  // A key press zooms where the cursor is: between samples on the line
  // joining them, before the first sample at its spot. A 0.25 view shows the
  // focus exactly.
  AutoZoomGenerator generator = standard;
  generator.zoom = 4;
  for (const auto& [time, focus] : {std::pair(5.0, Point{0.4, 0.3}), std::pair(1.0, Point{0.2, 0.2})}) {
    const EventLog log({{4, {0.2, 0.2}}, {6, {0.6, 0.4}}}, {}, {}, {{time, "⌘S", true}});
    const Rect rect = generator.generate(log, projectWith({{0, 60, 1}})).at(0).rect;
    EXPECT_NEAR(rect.x, focus.x - 0.125, 1e-12) << time;
    EXPECT_NEAR(rect.y, focus.y - 0.125, 1e-12) << time;
  }
}

TEST(AutoZoomGeneratorTest, PointsFarFromTheViewAddPanKeyframes) {
  const EventLog log = clicksOnly({
      press(10, {0.5, 0.5}),
      press(11, {0.6, 0.5}),    // 0.1 from the segment's centre: no pan
      press(12, {0.8, 0.5}),    // 0.3 away: pans, the view pushed back inside
      press(13, {0.9, 0.55}),   // about 0.16 from that pan's centre (0.75, 0.5): none
      press(14, {0.375, 0.5}),  // 0.375 from the last pan (0.125 from the focus): pans
      press(15, {0.375, 0.75}), // exactly 0.25 from that pan
  });
  AutoZoomGenerator generator = standard;
  const auto zooms = generator.generate(log, projectWith({{0, 60, 1}}));
  ASSERT_EQ(zooms.size(), 1u);
  const auto& pans = zooms[0].keyframes;
  ASSERT_EQ(pans.size(), 3u);
  EXPECT_TRUE(pans[0].time == 12 && pans[0].rect == (Rect{0.5, 0.25, 0.5, 0.5}));
  EXPECT_TRUE(pans[1].time == 14 && pans[1].rect == (Rect{0.125, 0.25, 0.5, 0.5}) && pans[2].time == 15);
  EXPECT_NE(pans[0].id, pans[1].id);
  // A point exactly on the threshold does not pan.
  generator.panThreshold = 0.25;
  EXPECT_EQ(generator.generate(log, projectWith({{0, 60, 1}})).at(0).keyframes.size(), 2u);
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
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
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
  // The recording runs 150 s. 62–70 s is cut out, 70–110 s plays at twice the
  // speed, and the recording starts 2 s into the output: the timeline ends at
  // 2 + 62 + 20 + 40 = 124 s.
  auto zooms = generator.generate(log, projectWith({{0, 62, 1}, {70, 110, 2}, {110, 150, 1}}, 2));
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
