// Speech detection and the ducking of other audio under the speech it finds.
#include "RecorderCore/audio/SpeechDetector.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <rapidcheck/gtest.h>

#include "RecorderCore/audio/Ducking.h"

namespace RecorderCore {

void PrintTo(const SpeechRange& range, std::ostream* out) { *out << "[" << range.start << ", " << range.end << "]"; }
void PrintTo(const VolumePoint& point, std::ostream* out) { *out << "(" << point.time << ", " << point.volume << ")"; }

namespace {

float fromDecibels(double dB) { return static_cast<float>(std::pow(10.0, dB / 20)); }

// Levels of `frames` frames at `quietDB`, with the frame ranges [first, last)
// of `runs` at `loudDB`.
std::vector<float> track(std::size_t frames, double quietDB, double loudDB,
                         std::vector<std::pair<std::size_t, std::size_t>> runs) {
  std::vector<float> levels(frames, fromDecibels(quietDB));
  for (auto [first, last] : runs) std::fill(levels.begin() + first, levels.begin() + last, fromDecibels(loudDB));
  return levels;
}

TEST(SpeechDetector, FindsNothingWithoutUsableInput) {
  static const struct {
    const char* name;
    std::vector<float> levels;
    double frameDuration;
  } cases[] = {
      {"four levels", {0, 0.5f, 0.5f, 0}, 1.0},
      {"frame duration 0", track(100, -80, -10, {{40, 60}}), 0},
      {"NaN frame duration", track(100, -80, -10, {{40, 60}}), std::nan("")},
      {"constant level", std::vector<float>(200, 0.3f), 0.02},
      {"contrast just under 12 dB", track(100, -40, -28.5, {{10, 90}}), 0.02},
      {"loud part quieter than -50 dB", track(100, -120, -51, {{40, 90}}), 0.02},
      {"NaN levels are silence", std::vector<float>(100, std::numeric_limits<float>::quiet_NaN()), 0.02},
  };
  for (const auto& c : cases) EXPECT_TRUE(SpeechDetector::detect(c.levels, c.frameDuration).empty()) << c.name;

  // Levels of 0 count as -120 dB. A run reaching the last frame ends at
  // n · frameDuration; one starting at frame 0 starts at 0.
  EXPECT_EQ(SpeechDetector::detect(track(100, -1000, -10, {{0, 20}, {60, 100}}), 0.05),
            (std::vector<SpeechRange>{{0, 1.0}, {3.0, 5.0}}));
}

TEST(SpeechDetector, ThresholdIsEightAboveFloorOrTwentyTwoBelowPeak) {
  static const struct {
    double quietDB, peakDB, probeDB;
    bool probeIsSpeech;
  } cases[] = {
      {-100, -10, -31.5, true}, {-100, -10, -32.5, false},  // threshold peak − 22 = -32
      {-40, -27, -31.5, true},  {-40, -27, -32.5, false},   // threshold floor + 8 = -32
  };
  for (const auto& c : cases) {
    // 0.1 s frames: the floor, a peak at 2–3 s and a probe at 6–7 s.
    std::vector<float> levels = track(100, c.quietDB, c.peakDB, {{20, 30}});
    std::fill(levels.begin() + 60, levels.begin() + 70, fromDecibels(c.probeDB));
    std::vector<SpeechRange> expected{{2.0, 3.0}};
    if (c.probeIsSpeech) expected.push_back({6.0, 7.0});
    EXPECT_EQ(SpeechDetector::detect(levels, 0.1), expected) << c.quietDB << " " << c.peakDB << " " << c.probeDB;
  }

  // 11 frames: the floor is sorted[1] = -100 dB and the peak sorted[9] =
  // -40 dB (0.95 · 10 = 9.5 truncates), so the -50 dB frames are speech.
  // Rounding to sorted[10] = 0 dB would leave only the last frame.
  std::vector<float> eleven = track(11, -50, -100, {{0, 2}});
  eleven[9] = fromDecibels(-40);
  eleven[10] = 1.0f;
  EXPECT_EQ(SpeechDetector::detect(eleven, 0.1), (std::vector<SpeechRange>{{0.2, 11 * 0.1}}));
}

TEST(SpeechDetector, MergesGapsUnderSevenTenthsAndDropsShortRanges) {
  static const struct {
    const char* name;
    double frameDuration;
    std::vector<std::pair<std::size_t, std::size_t>> runs;
    std::vector<SpeechRange> expected;
  } cases[] = {
      // 36 · 0.02 - 1 · 0.02 is exactly 0.7: not less, so the short first
      // range stays on its own and is dropped.
      {"exactly 0.7 s apart: separate", 0.02, {{0, 1}, {36, 60}}, {{36 * 0.02, 60 * 0.02}}},
      {"a chain of short gaps merges into one", 0.02, {{50, 60}, {80, 90}, {110, 120}, {140, 150}}, {{1.0, 3.0}}},
      {"a single frame merged with a neighbour counts", 0.02, {{50, 100}, {120, 121}}, {{1.0, 121 * 0.02}}},
      {"exactly 0.25 s stays", 0.125, {{40, 42}}, {{5.0, 5.25}}},
      {"just under 0.25 s goes", 0.02, {{100, 112}}, {}},
  };
  for (const auto& c : cases) {
    auto runs = c.runs;
    runs.push_back({230, 250});  // keeps the 95th percentile on speech even when the runs are short
    std::vector<SpeechRange> expected = c.expected;
    expected.push_back({230 * c.frameDuration, 250 * c.frameDuration});
    EXPECT_EQ(SpeechDetector::detect(track(250, -66, -12, runs), c.frameDuration), expected) << c.name;
  }
}

// Whatever the levels, the ranges come out ordered, on frame boundaries,
// inside the track, at least 0.25 s long and at least 0.7 s apart.
RC_GTEST_PROP(SpeechDetector, RangesAreOrderedSeparatedAndLongEnough, ()) {
  const auto levels = *rc::gen::container<std::vector<float>>(rc::gen::map(
      rc::gen::inRange(0, 1000), [](int step) { return step < 300 ? 0.0f : static_cast<float>(step) / 1000.0f; }));
  const double frameDuration = *rc::gen::element(0.01, 0.02, 0.05, 0.125);
  const auto ranges = SpeechDetector::detect(levels, frameDuration);
  for (std::size_t k = 0; k < ranges.size(); ++k) {
    const SpeechRange& r = ranges[k];
    RC_ASSERT(r.start >= 0);
    RC_ASSERT(r.end <= static_cast<double>(levels.size()) * frameDuration);
    RC_ASSERT(r.end - r.start >= 0.25);
    RC_ASSERT(std::fabs(r.start / frameDuration - std::round(r.start / frameDuration)) < 1e-6);
    if (k > 0) RC_ASSERT(r.start - ranges[k - 1].end >= 0.7);
  }
}

TEST(Ducking, GainAroundSpeech) {
  static const struct {
    std::vector<SpeechRange> speech;
    double t, factor;
  } cases[] = {
      {{{10, 12}}, 9.55, 1}, {{{10, 12}}, 9.6, 1 - 0.8 / 6}, {{{10, 12}}, 9.7, 0.6}, {{{10, 12}}, 9.85, 0.2},
      {{{10, 12}}, 12, 0.2}, {{{10, 12}}, 12.45, 0.6},      {{{10, 12}}, 12.9, 1},   {{}, 11, 1},
      // The second range's ramp down overlaps the first one's ramp up: the
      // lower factor wins.
      {{{10, 12}, {12.6, 13}}, 12.2, 0.2 + 0.8 * 0.2 / 0.9},
      {{{10, 12}, {12.6, 13}}, 12.4, 1 - 0.8 * 0.25 / 0.3},
      // The same speech twice ducks as once: minimum, not product.
      {{{10, 12}, {10, 12}}, 9.7, 0.6},
  };
  for (const auto& c : cases) EXPECT_NEAR(Ducking::gain(c.t, c.speech, 0.2), c.factor, 1e-12) << "t = " << c.t;
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

void expectPoints(const std::vector<VolumePoint>& actual, const std::vector<VolumePoint>& expected,
                  const std::string& name) {
  bool close = actual.size() == expected.size();
  for (std::size_t i = 0; close && i < actual.size(); ++i) {
    close = std::fabs(actual[i].time - expected[i].time) < 1e-12 &&
            std::fabs(actual[i].volume - expected[i].volume) < 1e-12;
  }
  EXPECT_TRUE(close) << name << ": " << ::testing::PrintToString(actual);
}

TEST(Ducking, EnvelopeOfFadesAndSpeech) {
  const std::vector<SpeechRange> speech{{10, 12}};
  static const struct {
    const char* name;
    MediaItem item;
    std::vector<SpeechRange> speech;
    double level;
    std::vector<VolumePoint> expected;
  } cases[] = {
      {"fade in, no speech", item(0, 20, 2), {}, 0.2, {{0, 0}, {2, 0.8}, {20, 0.8}}},
      {"a time shared by both fades appears once", item(0, 4, 2, 2), {}, 0.2, {{0, 0}, {2, 0.8}, {4, 0}}},
      {"speech across the item's end: only the points inside", item(0, 10), speech, 0.2,
       {{0, 0.8}, {9.55, 0.8}, {9.85, 0.16}, {10, 0.16}}},
      {"speech ending before the item starts, ramp still rising", item(12.45, 15), speech, 0.2,
       {{12.45, 0.48}, {12.9, 0.8}, {15, 0.8}}},
      {"levels below 0 duck to silence", item(0, 20), speech, -0.5,
       {{0, 0.8}, {9.55, 0.8}, {9.85, 0}, {12, 0}, {12.9, 0.8}, {20, 0.8}}},
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
// it can follow exactly); the ducking stays between the level and 1.
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
    RC_ASSERT(duck >= level - 1e-12 && duck <= 1.0);
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
