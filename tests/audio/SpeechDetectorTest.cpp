#include "RecorderCore/audio/SpeechDetector.h"

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <rapidcheck/gtest.h>

#include "tests/audio/AudioPrinters.h"

namespace RecorderCore {
namespace {

float fromDecibels(double dB) { return static_cast<float>(std::pow(10.0, dB / 20)); }

// Levels of `frames` frames at `quietDB`, with the given frame ranges
// [first, last) at `loudDB`.
std::vector<float> track(std::size_t frames, double quietDB, double loudDB,
                         std::initializer_list<std::pair<std::size_t, std::size_t>> runs) {
  std::vector<float> levels(frames, fromDecibels(quietDB));
  for (auto [first, last] : runs) {
    for (std::size_t i = first; i < last; ++i) levels[i] = fromDecibels(loudDB);
  }
  return levels;
}

std::string describe(const std::vector<SpeechRange>& ranges) {
  std::string text;
  for (const SpeechRange& r : ranges) text += "[" + std::to_string(r.start) + ", " + std::to_string(r.end) + "] ";
  return text;
}

TEST(SpeechDetector, FindsNothingWithoutUsableInput) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  static const struct {
    const char* name;
    std::vector<float> levels;
    double frameDuration;
  } cases[] = {
      {"no levels", {}, 0.02},
      {"four levels", {0, 0.5f, 0.5f, 0}, 1.0},
      {"frame duration 0", track(100, -80, -10, {{40, 60}}), 0},
      {"negative frame duration", track(100, -80, -10, {{40, 60}}), -0.02},
      {"NaN frame duration", track(100, -80, -10, {{40, 60}}), std::nan("")},
      {"constant level", std::vector<float>(200, 0.3f), 0.02},
      {"all silent", std::vector<float>(200, 0.0f), 0.02},
      {"contrast just under 12 dB", track(100, -40, -28.5, {{10, 90}}), 0.02},
      {"loud part quieter than -50 dB", track(100, -120, -51, {{40, 90}}), 0.02},
      {"NaN levels are silence", std::vector<float>(100, nan), 0.02},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SpeechDetector::detect(c.levels, c.frameDuration), std::vector<SpeechRange>{}) << c.name;
  }
}

TEST(SpeechDetector, FindsRunsAboveTheAdaptiveThreshold) {
  // Silence (levels of 0, -120 dB) around one spoken stretch from 1 s to 3 s.
  std::vector<float> levels(250, 0.0f);
  for (std::size_t i = 50; i < 150; ++i) levels[i] = 0.2f;
  EXPECT_EQ(SpeechDetector::detect(levels, 0.02), (std::vector<SpeechRange>{{1.0, 3.0}}));

  // A run reaching the last frame ends at n · frameDuration; one starting at
  // frame 0 starts at 0.
  levels.assign(100, 0.001f);
  for (std::size_t i = 60; i < 100; ++i) levels[i] = 0.3f;
  for (std::size_t i = 0; i < 20; ++i) levels[i] = 0.3f;
  EXPECT_EQ(SpeechDetector::detect(levels, 0.05), (std::vector<SpeechRange>{{0, 1.0}, {3.0, 5.0}}));
}

TEST(SpeechDetector, ThresholdIsEightAboveFloorOrTwentyTwoBelowPeak) {
  static const struct {
    const char* name;
    double quietDB, peakDB, probeDB;
    bool probeIsSpeech;
  } cases[] = {
      // Floor -100, peak -10: threshold -32 (peak - 22).
      {"just above peak - 22", -100, -10, -31.5, true},
      {"just below peak - 22", -100, -10, -32.5, false},
      // Floor -40, peak -27: threshold -32 (floor + 8).
      {"just above floor + 8", -40, -27, -31.5, true},
      {"just below floor + 8", -40, -27, -32.5, false},
  };
  for (const auto& c : cases) {
    // 20 quiet frames (the floor), a peak stretch, and a probe stretch of
    // 1 s two seconds after it, each 0.1 s frames.
    std::vector<float> levels = track(100, c.quietDB, c.peakDB, {{20, 30}});
    for (std::size_t i = 60; i < 70; ++i) levels[i] = fromDecibels(c.probeDB);
    std::vector<SpeechRange> expected{{2.0, 3.0}};
    if (c.probeIsSpeech) expected.push_back({6.0, 7.0});
    const auto found = SpeechDetector::detect(levels, 0.1);
    EXPECT_EQ(found, expected) << c.name << ": " << describe(found);
  }
}

TEST(SpeechDetector, AFrameExactlyAtTheThresholdIsSpeech) {
  // The detector's own decibel conversion, to find a level whose decibels
  // are exactly 22 below those of the peak level.
  const auto dB = [](float level) { return 20.0f * std::log10(level); };
  const float peak = 0.3f;
  const float threshold = dB(peak) - 22.0f;
  float level = fromDecibels(threshold);
  for (int step = 0; step < 1000 && dB(level) != threshold; ++step) {
    level = std::nextafter(level, dB(level) < threshold ? 1.0f : 0.0f);
  }
  ASSERT_EQ(dB(level), threshold);

  std::vector<float> levels(100, 0.0f);  // floor -120 dB: peak - 22 decides
  for (std::size_t i = 90; i < 100; ++i) levels[i] = peak;
  for (std::size_t i = 20; i < 40; ++i) levels[i] = level;
  float below = level;
  while (dB(below) == threshold) below = std::nextafter(below, 0.0f);
  levels[40] = below;
  EXPECT_EQ(SpeechDetector::detect(levels, 0.1), (std::vector<SpeechRange>{{2.0, 4.0}, {9.0, 10.0}}));
}

TEST(SpeechDetector, PercentilesTruncateTheirIndex) {
  // 11 frames: the floor is sorted[1] = -100 dB and the peak sorted[9] =
  // -40 dB (0.95 · 10 = 9.5 truncates), so the threshold is -62 dB and the
  // -50 dB frames are speech. Rounding to sorted[10] = 0 dB would leave only
  // the last frame, too short to keep.
  std::vector<float> levels = {fromDecibels(-100), fromDecibels(-100)};
  for (int i = 0; i < 7; ++i) levels.push_back(fromDecibels(-50));
  levels.push_back(fromDecibels(-40));
  levels.push_back(1.0f);
  const auto found = SpeechDetector::detect(levels, 0.1);
  ASSERT_EQ(found.size(), 1u) << describe(found);
  EXPECT_DOUBLE_EQ(found[0].start, 0.2);
  EXPECT_DOUBLE_EQ(found[0].end, 11 * 0.1);
}

TEST(SpeechDetector, MergesGapsUnderSevenTenthsAndDropsShortRanges) {
  static const struct {
    const char* name;
    double frameDuration;
    std::vector<std::pair<std::size_t, std::size_t>> runs;
    std::vector<SpeechRange> expected;
  } cases[] = {
      {"0.5 s apart: merged", 0.02, {{50, 100}, {125, 175}}, {{1.0, 3.5}}},
      {"0.7 s apart: separate", 0.02, {{50, 100}, {135, 185}}, {{1.0, 2.0}, {135 * 0.02, 185 * 0.02}}},
      // 36 · 0.02 - 1 · 0.02 is exactly 0.7: not less, so the short first
      // range stays on its own and is dropped.
      {"exactly 0.7 s apart: separate", 0.02, {{0, 1}, {36, 60}}, {{36 * 0.02, 60 * 0.02}}},
      {"a chain of short gaps merges into one", 0.02, {{50, 60}, {80, 90}, {110, 120}, {140, 150}}, {{1.0, 3.0}}},
      {"a single 0.02 s frame is dropped", 0.02, {{100, 101}}, {}},
      {"a single frame merged with a neighbour counts", 0.02, {{50, 100}, {120, 121}}, {{1.0, 121 * 0.02}}},
      {"exactly 0.25 s stays", 0.125, {{40, 42}}, {{5.0, 5.25}}},
      {"just under 0.25 s goes", 0.02, {{100, 112}}, {}},
  };
  for (const auto& c : cases) {
    std::vector<float> levels(250, 0.0005f);
    for (auto [first, last] : c.runs) {
      for (std::size_t i = first; i < last; ++i) levels[i] = 0.25f;
    }
    // Keeps the 95th percentile on speech even when the runs are short.
    for (std::size_t i = 230; i < 250; ++i) levels[i] = 0.25f;
    std::vector<SpeechRange> expected = c.expected;
    expected.push_back({230 * c.frameDuration, 250 * c.frameDuration});
    const auto found = SpeechDetector::detect(levels, c.frameDuration);
    EXPECT_EQ(found, expected) << c.name << ": " << describe(found);
  }
}

// Whatever the levels, the ranges come out ordered, on frame boundaries,
// inside the track, at least 0.25 s long and at least 0.7 s apart.
RC_GTEST_PROP(SpeechDetector, RangesAreOrderedSeparatedAndLongEnough, ()) {
  const auto levels = *rc::gen::container<std::vector<float>>(rc::gen::map(
      rc::gen::inRange(0, 1000), [](int step) { return step < 300 ? 0.0f : static_cast<float>(step) / 1000.0f; }));
  const double frameDuration = *rc::gen::element(0.01, 0.02, 0.05, 0.125);
  const auto ranges = SpeechDetector::detect(levels, frameDuration);
  const double length = static_cast<double>(levels.size()) * frameDuration;
  for (std::size_t k = 0; k < ranges.size(); ++k) {
    const SpeechRange& r = ranges[k];
    RC_ASSERT(r.start >= 0);
    RC_ASSERT(r.end <= length);
    RC_ASSERT(r.end - r.start >= 0.25);
    const double startFrame = r.start / frameDuration;
    RC_ASSERT(std::fabs(startFrame - std::round(startFrame)) < 1e-6);
    if (k > 0) RC_ASSERT(r.start - ranges[k - 1].end >= 0.7);
  }
}

}  // namespace
}  // namespace RecorderCore
