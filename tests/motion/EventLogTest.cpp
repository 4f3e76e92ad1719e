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

// What the binary search must agree with: the last sample at or before t (so
// the last of several equal times) and the straight line from it to the next.
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
  // Times on the samples' grid (hitting ties), between grid points, and out
  // of range on both sides.
  const double t = *rc::gen::oneOf(rc::gen::map(rc::gen::inRange(-8, 410), [](int i) { return i / 8.0; }),
                                   MotionGenerators::between(-2, 52));
  RC_ASSERT(pathOf(samples).cursorPosition(t) == linearScan(samples, t));
}

TEST(EventLogTest, SmoothingFollowsTheTimeConstant) {
  const EventLog three = pathOf({{0, {0, 0}}, {1, {1, 0}}, {2, {1, 1}}});
  for (double amount : {0.0, -2.0, std::nan("")}) EXPECT_EQ(three.smoothed(amount), three) << amount;
  const EventLog two = pathOf({{0, {0, 0}}, {1, {1, 1}}});
  EXPECT_EQ(two.smoothed(1), two);

  // Samples one second apart: with τ = 0.12 s each step goes 1 − e^(−1/0.12)
  // of the way; amounts above 1 act as 1.
  const EventLog smoothed = three.smoothed(1);
  const double step = 1 - std::exp(-1 / 0.12);
  EXPECT_EQ(smoothed.samples[0], three.samples[0]);
  EXPECT_DOUBLE_EQ(smoothed.samples[1].position.x, step);
  EXPECT_DOUBLE_EQ(smoothed.samples[2].position.y, step);
  EXPECT_EQ(three.smoothed(5), smoothed);

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
  const EventLog smoothed = log.smoothed(*MotionGenerators::between(-1, 3));
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
  const auto text = JSONText::compact(json(log));
  RC_ASSERT(text.has_value());
  const EventLog decoded = Coding::decode<EventLog>(JSONText::parse(*text).value());
  RC_ASSERT(decoded == log);
  RC_ASSERT(JSONText::compact(json(decoded)) == text);
}

TEST(EventLogTest, DecodingIsStrict) {
  json log = *JSONText::parse(R"({"version": 7, "samples": [], "scrolls": [], "keys": [],
    "clicks": [{"time": 12.5, "position": {"x": 0.42, "y": 0.17}, "button": "left", "isDown": true}]})");
  EXPECT_EQ(Coding::decode<EventLog>(log).version, 7) << "any version decodes";
  log["clicks"][0]["button"] = "middle";
  try {
    (void)Coding::decode<EventLog>(log);
    ADD_FAILURE() << "a middle button decoded";
  } catch (const DecodingError& error) {
    EXPECT_EQ(error.path(), "clicks[0].button");
  }
}

}  // namespace
}  // namespace RecorderCore
