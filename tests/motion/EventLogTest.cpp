#include "RecorderCore/motion/EventLog.h"

#include <cmath>
#include <optional>
#include <string>

#include <gtest/gtest.h>
#include <rapidcheck/gtest.h>

#include "MotionGenerators.h"
#include "RecorderCore/platform/JSONText.h"
#include "RecorderCore/project/Coding.h"

namespace RecorderCore {
namespace {

using nlohmann::json;

EventLog pathOf(std::vector<CursorSample> samples) { return EventLog(std::move(samples), {}, {}, {}); }

TEST(EventLogTest, NewLogIsOfTheCurrentVersion) {
  EXPECT_EQ(EventLog::currentVersion, 1);
  EXPECT_EQ(EventLog({}, {}, {}, {}).version, 1);
}

TEST(EventLogTest, CursorPositionClampsAndInterpolates) {
  const EventLog none = pathOf({});
  EXPECT_EQ(none.cursorPosition(0), std::nullopt);

  const EventLog one = pathOf({{2, {0.3, 0.4}}});
  for (double t : {-1.0, 2.0, 50.0}) EXPECT_EQ(one.cursorPosition(t), (Point{0.3, 0.4})) << t;

  const EventLog two = pathOf({{0, {0, 0}}, {1, {1, 0.5}}});
  static const struct {
    double t;
    Point expected;
  } cases[] = {
      {0.25, {0.25, 0.125}},
      {-3, {0, 0}},
      {7, {1, 0.5}},
      {0, {0, 0}},
      {1, {1, 0.5}},
  };
  for (const auto& c : cases) {
    const auto position = two.cursorPosition(c.t);
    ASSERT_TRUE(position) << c.t;
    EXPECT_DOUBLE_EQ(position->x, c.expected.x) << c.t;
    EXPECT_DOUBLE_EQ(position->y, c.expected.y) << c.t;
  }
}

TEST(EventLogTest, InnerSampleTimeGivesThatSampleAndTheLastOfEqualTimes) {
  const EventLog log = pathOf({{0, {0, 0}},
                               {1, {0.1, 0.1}},
                               {2, {0.2, 0.2}},
                               {2, {0.5, 0.5}},
                               {2, {0.7, 0.7}},
                               {3, {0.9, 0.9}},
                               {4, {1, 1}}});
  EXPECT_EQ(log.cursorPosition(1), (Point{0.1, 0.1}));
  EXPECT_EQ(log.cursorPosition(2), (Point{0.7, 0.7}));
  EXPECT_EQ(log.cursorPosition(3), (Point{0.9, 0.9}));
  // Just after the tie the path leaves from the last of the equal samples.
  const auto after = log.cursorPosition(2.5);
  ASSERT_TRUE(after);
  EXPECT_DOUBLE_EQ(after->x, 0.8);
}

// What the binary search must agree with: the last sample at or before t and
// the straight line from it to the next one.
std::optional<Point> linearScan(const std::vector<CursorSample>& samples, double t) {
  if (samples.empty()) return std::nullopt;
  if (t <= samples.front().time) return samples.front().position;
  if (t >= samples.back().time) return samples.back().position;
  std::size_t lo = 0;
  for (std::size_t i = 0; i < samples.size(); ++i) {
    if (samples[i].time <= t) lo = i;
  }
  const CursorSample& a = samples[lo];
  const CursorSample& b = samples[lo + 1];
  const double f = (t - a.time) / (b.time - a.time);
  return Point{a.position.x + f * (b.position.x - a.position.x), a.position.y + f * (b.position.y - a.position.y)};
}

RC_GTEST_PROP(EventLogProperties, CursorPositionAgreesWithALinearScan, ()) {
  const auto samples = *MotionGenerators::cursorPath();
  const EventLog log = pathOf(samples);
  // Times on the samples' grid (hitting ties), between grid points, and out
  // of range on both sides.
  const double t = *rc::gen::oneOf(rc::gen::map(rc::gen::inRange(-8, 410), [](int i) { return i / 8.0; }),
                                   MotionGenerators::between(-2, 52));
  RC_ASSERT(log.cursorPosition(t) == linearScan(samples, t));
}

TEST(EventLogTest, SmoothingLeavesShortPathsAndNonPositiveAmountsAlone) {
  const EventLog three({{0, {0, 0}}, {1, {1, 1}}, {2, {0, 1}}}, {{0.5, {0.2, 0.3}, ClickEvent::Button::left, true}},
                       {}, {});
  EXPECT_EQ(three.smoothed(0), three);
  EXPECT_EQ(three.smoothed(-2), three);
  EXPECT_EQ(three.smoothed(std::nan("")), three);
  const EventLog two = pathOf({{0, {0, 0}}, {1, {1, 1}}});
  EXPECT_EQ(two.smoothed(1), two);
  EXPECT_NE(three.smoothed(1), three);
}

TEST(EventLogTest, SmoothingFollowsTheTimeConstant) {
  // Samples one second apart: with τ = 0.12 s each step goes 1 − e^(−1/0.12)
  // of the way; amounts above 1 act as 1.
  const EventLog slow = pathOf({{0, {0, 0}}, {1, {1, 0}}, {2, {1, 1}}});
  const EventLog smoothed = slow.smoothed(1);
  const double step = 1 - std::exp(-1 / 0.12);
  ASSERT_EQ(smoothed.samples.size(), 3u);
  EXPECT_EQ(smoothed.samples[0], slow.samples[0]);
  EXPECT_DOUBLE_EQ(smoothed.samples[1].position.x, step);
  EXPECT_DOUBLE_EQ(smoothed.samples[2].position.y, step);
  EXPECT_EQ(slow.smoothed(5), smoothed);

  // At 60 samples a second a step goes about 13 % of the way, and half the
  // amount halves τ.
  const EventLog fast = pathOf({{0, {0, 0}}, {1.0 / 60, {1, 0}}, {2.0 / 60, {1, 0}}});
  EXPECT_NEAR(fast.smoothed(1).samples[1].position.x, 0.13, 0.005);
  EXPECT_DOUBLE_EQ(fast.smoothed(0.5).samples[1].position.x, 1 - std::exp(-(1.0 / 60) / 0.06));

  // A time that goes backwards counts as no time passing.
  const EventLog backwards = pathOf({{0, {0, 0}}, {1, {1, 0}}, {0.5, {0, 0}}});
  EXPECT_EQ(backwards.smoothed(1).samples[2].position, backwards.smoothed(1).samples[1].position);
}

RC_GTEST_PROP(EventLogProperties, SmoothingKeepsCountTimesAndTheOtherEvents, ()) {
  const EventLog log = *MotionGenerators::eventLog();
  const double amount = *MotionGenerators::between(-1, 3);
  const EventLog smoothed = log.smoothed(amount);
  RC_ASSERT(smoothed.samples.size() == log.samples.size());
  for (std::size_t i = 0; i < log.samples.size(); ++i) RC_ASSERT(smoothed.samples[i].time == log.samples[i].time);
  RC_ASSERT(smoothed.clicks == log.clicks);
  RC_ASSERT(smoothed.scrolls == log.scrolls);
  RC_ASSERT(smoothed.keys == log.keys);
  RC_ASSERT(smoothed.version == log.version);
  if (!log.samples.empty()) RC_ASSERT(smoothed.samples.front() == log.samples.front());
}

RC_GTEST_PROP(EventLogProperties, JSONRoundTripKeepsEveryField, ()) {
  EventLog log = *MotionGenerators::eventLog();
  log.version = *rc::gen::inRange<std::int64_t>(-3, 5);
  const json encoded = log;
  const auto text = JSONText::compact(encoded);
  RC_ASSERT(text.has_value());
  const auto parsed = JSONText::parse(*text);
  RC_ASSERT(parsed.has_value());
  const EventLog decoded = Coding::decode<EventLog>(*parsed);
  RC_ASSERT(decoded == log);
  RC_ASSERT(JSONText::compact(json(decoded)) == text);
}

TEST(EventLogTest, DecodingIsStrict) {
  const std::string valid = R"({"version": 7, "samples": [{"time": 0.5, "position": {"x": 0.1, "y": 0.2}}],
    "clicks": [{"time": 12.5, "position": {"x": 0.42, "y": 0.17}, "button": "left", "isDown": true}],
    "scrolls": [{"time": 3, "position": {"x": 0, "y": 1}, "deltaX": 0, "deltaY": -2.5}],
    "keys": [{"time": 4, "display": "⌘S", "isDown": false}]})";
  const json base = *JSONText::parse(valid);
  // Any version decodes; there is no version check.
  const EventLog log = Coding::decode<EventLog>(base);
  EXPECT_EQ(log.version, 7);
  EXPECT_EQ(log.clicks.at(0), (ClickEvent{12.5, {0.42, 0.17}, ClickEvent::Button::left, true}));
  EXPECT_EQ(log.keys.at(0).display, "⌘S");

  static const struct {
    const char* pointer;
    json value;
    bool remove;
    const char* path;
  } cases[] = {
      {"/clicks/0/button", "middle", false, "clicks[0].button"},
      {"/clicks/0/button", "Left", false, "clicks[0].button"},
      {"/clicks/0/isDown", 1, false, "clicks[0].isDown"},
      {"/clicks/0/isDown", nullptr, true, "clicks[0].isDown"},
      {"/samples/0/position/y", nullptr, true, "samples[0].position.y"},
      {"/samples/0/time", "0.5", false, "samples[0].time"},
      {"/samples/0/time", nullptr, false, "samples[0].time"},
      {"/scrolls/0/deltaX", nullptr, true, "scrolls[0].deltaX"},
      {"/keys/0/display", 5, false, "keys[0].display"},
      {"/keys", json::object(), false, "keys"},
      {"/version", nullptr, true, "version"},
      {"/version", "1", false, "version"},
      {"/version", 1.5, false, "version"},
      {"/scrolls", nullptr, true, "scrolls"},
  };
  for (const auto& c : cases) {
    json broken = base;
    const json::json_pointer pointer(c.pointer);
    if (c.remove) {
      broken[pointer.parent_pointer()].erase(pointer.back());
    } else {
      broken[pointer] = c.value;
    }
    try {
      (void)Coding::decode<EventLog>(broken);
      ADD_FAILURE() << "decoded with " << c.pointer << " = " << c.value.dump() << (c.remove ? " removed" : "");
    } catch (const DecodingError& error) {
      EXPECT_EQ(error.path(), c.path) << c.pointer;
    }
  }
}

TEST(EventLogTest, EveryButtonHasItsRawText) {
  for (ClickEvent::Button button : ClickEvent::allButtons) {
    const json encoded = button;
    EXPECT_EQ(Coding::decode<ClickEvent::Button>(encoded), button) << encoded.dump();
  }
  EXPECT_EQ(json(ClickEvent::Button::other), "other");
}

}  // namespace
}  // namespace RecorderCore
