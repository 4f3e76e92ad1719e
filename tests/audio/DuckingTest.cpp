#include "RecorderCore/audio/Ducking.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <rapidcheck/gtest.h>

#include "tests/audio/AudioPrinters.h"

namespace RecorderCore {
namespace {

const std::vector<SpeechRange> kSpeech10To12{{10, 12}};

TEST(Ducking, GainAroundSpeechFromTenToTwelve) {
  static const struct {
    double t, factor;
  } cases[] = {
      {0, 1},       {9.55, 1},   {9.6, 1 - 0.8 / 6}, {9.7, 0.6},  {9.85, 0.2}, {11, 0.2},
      {12, 0.2},    {12.45, 0.6}, {12.9, 1},         {13, 1},     {100, 1},
  };
  for (const auto& c : cases) {
    EXPECT_NEAR(Ducking::gain(c.t, kSpeech10To12, 0.2), c.factor, 1e-12) << "t = " << c.t;
  }
  EXPECT_EQ(Ducking::gain(11, {}, 0.2), 1);
  EXPECT_EQ(Ducking::lead, 0.15);
  EXPECT_EQ(Ducking::fadeDown, 0.3);
  EXPECT_EQ(Ducking::fadeUp, 0.9);
}

TEST(Ducking, OverlappingRangesTakeTheLowestFactorAndNeverStack) {
  static const struct {
    std::vector<SpeechRange> speech;
    double t, factor;
  } cases[] = {
      // The second range's ramp down overlaps the first one's ramp up.
      {{{10, 12}, {12.6, 13}}, 12.2, 0.2 + 0.8 * 0.2 / 0.9},  // rising from the first
      {{{10, 12}, {12.6, 13}}, 12.4, 1 - 0.8 * 0.25 / 0.3},   // falling into the second
      {{{10, 12}, {12.6, 13}}, 12.5, 0.2},
      // The same speech twice ducks as once: minimum, not product.
      {{{10, 12}, {10, 12}}, 9.7, 0.6},
      {{{10, 12}, {11, 13}}, 11.5, 0.2},
  };
  for (const auto& c : cases) {
    EXPECT_NEAR(Ducking::gain(c.t, c.speech, 0.2), c.factor, 1e-12) << "t = " << c.t;
  }
}

RC_GTEST_PROP(Ducking, GainStaysBetweenLevelAndOne, ()) {
  const double level = *rc::gen::inRange(0, 101) / 100.0;
  const auto starts = *rc::gen::container<std::vector<int>>(rc::gen::inRange(0, 3000));
  std::vector<SpeechRange> speech;
  for (int s : starts) speech.push_back({s / 100.0, s / 100.0 + *rc::gen::inRange(0, 500) / 100.0});
  const double t = *rc::gen::inRange(-100, 3600) / 100.0;
  const double g = Ducking::gain(t, speech, level);
  RC_ASSERT(g >= level - 1e-12);
  RC_ASSERT(g <= 1.0);
}

MediaItem item(double start, double end, double fadeIn = 0, double fadeOut = 0) {
  MediaItem it;
  it.start = start;
  it.end = end;
  it.fadeIn = fadeIn;
  it.fadeOut = fadeOut;
  it.volume = 0.8;
  return it;
}

std::string describe(const std::vector<VolumePoint>& points) {
  std::string text;
  for (const VolumePoint& p : points) text += "(" + std::to_string(p.time) + ", " + std::to_string(p.volume) + ") ";
  return text;
}

void expectPoints(const std::vector<VolumePoint>& actual, const std::vector<VolumePoint>& expected,
                  const std::string& name) {
  ASSERT_EQ(actual.size(), expected.size()) << name << ": " << describe(actual);
  for (std::size_t i = 0; i < actual.size(); ++i) {
    EXPECT_NEAR(actual[i].time, expected[i].time, 1e-12) << name << " point " << i << ": " << describe(actual);
    EXPECT_NEAR(actual[i].volume, expected[i].volume, 1e-12) << name << " point " << i << ": " << describe(actual);
  }
}

TEST(Ducking, EnvelopeOfFadesAndSpeech) {
  static const struct {
    const char* name;
    MediaItem item;
    std::vector<SpeechRange> speech;
    double level;
    std::vector<VolumePoint> expected;
  } cases[] = {
      {"fade in, no speech", item(0, 20, 2), {}, 0.2, {{0, 0}, {2, 0.8}, {20, 0.8}}},
      {"fade out", item(5, 10, 0, 1), {}, 0.2, {{5, 0.8}, {9, 0.8}, {10, 0}}},
      {"fades longer than the item are capped at its ends",
       item(5, 6, 4, 4), {}, 0.2, {{5, 0}, {6, 0}}},
      {"no fades keep the volume", item(0, 3), {}, 0.2, {{0, 0.8}, {3, 0.8}}},
      {"speech inside the item", item(0, 20), kSpeech10To12, 0.2,
       {{0, 0.8}, {9.55, 0.8}, {9.85, 0.16}, {12, 0.16}, {12.9, 0.8}, {20, 0.8}}},
      {"speech across the item's end: only the points inside", item(0, 10), kSpeech10To12, 0.2,
       {{0, 0.8}, {9.55, 0.8}, {9.85, 0.16}, {10, 0.16}}},
      {"speech ending before the item starts, ramp still rising", item(12.45, 15), kSpeech10To12, 0.2,
       {{12.45, 0.48}, {12.9, 0.8}, {15, 0.8}}},
      {"a time shared by both fades appears once", item(0, 4, 2, 2), {}, 0.2, {{0, 0}, {2, 0.8}, {4, 0}}},
      {"a fade and a ramp together", item(8, 20, 2), kSpeech10To12, 0.5,
       {{8, 0}, {9.55, 0.8 * 0.775}, {9.85, 0.8 * 0.925 * 0.5}, {10, 0.8 * 0.5}, {12, 0.8 * 0.5}, {12.9, 0.8}, {20, 0.8}}},
      {"levels below 0 duck to silence", item(0, 20), kSpeech10To12, -0.5,
       {{0, 0.8}, {9.55, 0.8}, {9.85, 0}, {12, 0}, {12.9, 0.8}, {20, 0.8}}},
      {"levels above 1 leave the volume", item(0, 20), kSpeech10To12, 1.5,
       {{0, 0.8}, {9.55, 0.8}, {9.85, 0.8}, {12, 0.8}, {12.9, 0.8}, {20, 0.8}}},
  };
  for (const auto& c : cases) {
    expectPoints(Ducking::envelope(c.item, c.speech, c.level), c.expected, c.name);

    // Muting keeps the times and zeroes every volume.
    MediaItem muted = c.item;
    muted.muted = true;
    std::vector<VolumePoint> silent = c.expected;
    for (VolumePoint& p : silent) p.volume = 0;
    expectPoints(Ducking::envelope(muted, c.speech, c.level), silent, std::string(c.name) + ", muted");
  }
}

// Interpolating between the envelope's points gives the volume the fades and
// the ducking call for at every time inside the item, wherever at most one
// of them changes (the product of two ramps is a curve no set of points on
// it can follow exactly).
RC_GTEST_PROP(Ducking, EnvelopeInterpolatesToTheFullCurve, ()) {
  const double start = *rc::gen::inRange(0, 1000) / 100.0;
  const double end = start + *rc::gen::inRange(1, 3000) / 100.0;
  MediaItem it = item(start, end, *rc::gen::inRange(0, 300) / 100.0, *rc::gen::inRange(0, 300) / 100.0);
  it.volume = *rc::gen::inRange(0, 201) / 100.0;
  // Speech ranges whose ramps do not overlap, so the ducking factor is
  // linear between consecutive points.
  std::vector<SpeechRange> speech;
  double next = *rc::gen::inRange(-200, 1000) / 100.0;
  for (int n = *rc::gen::inRange(0, 6); n > 0; --n) {
    const double s = next + Ducking::lead + Ducking::fadeDown;
    const double e = s + *rc::gen::inRange(0, 300) / 100.0;
    speech.push_back({s, e});
    next = e + Ducking::fadeUp + *rc::gen::inRange(0, 300) / 100.0;
  }
  const double level = *rc::gen::inRange(0, 101) / 100.0;

  const auto points = Ducking::envelope(it, speech, level);
  RC_ASSERT(points.size() >= 2u);
  RC_ASSERT(points.front().time == start);
  RC_ASSERT(points.back().time == end);
  for (std::size_t i = 1; i < points.size(); ++i) RC_ASSERT(points[i - 1].time < points[i].time);

  const auto volumeAt = [&](double t) {
    double v = it.volume;
    if (it.fadeIn > 0) v *= std::clamp((t - start) / it.fadeIn, 0.0, 1.0);
    if (it.fadeOut > 0) v *= std::clamp((end - t) / it.fadeOut, 0.0, 1.0);
    return v * Ducking::gain(t, speech, level);
  };
  for (std::size_t k = 1; k < points.size(); ++k) {
    const VolumePoint& a = points[k - 1];
    const VolumePoint& b = points[k];
    RC_ASSERT(std::fabs(a.volume - volumeAt(a.time)) < 1e-12);
    const double mid = (a.time + b.time) / 2;
    const double duck = Ducking::gain(mid, speech, level);
    const int moving = (it.fadeIn > 0 && mid < start + it.fadeIn) + (it.fadeOut > 0 && mid > end - it.fadeOut) +
                       (duck != level && duck != 1.0);
    if (moving > 1) continue;
    for (double f : {0.25, 0.5, 0.75}) {
      const double t = a.time + (b.time - a.time) * f;
      RC_ASSERT(std::fabs(a.volume + (b.volume - a.volume) * f - volumeAt(t)) < 1e-9);
    }
  }
}

}  // namespace
}  // namespace RecorderCore
