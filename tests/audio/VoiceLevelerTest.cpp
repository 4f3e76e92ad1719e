#include "RecorderCore/audio/VoiceLeveler.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include <gtest/gtest.h>
#include <rapidcheck/gtest.h>

namespace RecorderCore {
namespace {

std::vector<float> constant(std::size_t count, float value) { return std::vector<float>(count, value); }

// Levels `signal` fed in pieces of the given sizes (the last one repeated),
// then flushed; returns the output bits, so that comparisons are exact.
std::vector<std::uint32_t> levelled(double sampleRate, const std::vector<float>& signal,
                                    const std::vector<std::size_t>& pieces) {
  VoiceLeveler leveler(sampleRate);
  std::vector<float> out;
  for (std::size_t i = 0, k = 0; i < signal.size(); k = std::min(k + 1, pieces.size() - 1)) {
    const std::size_t n = std::min(pieces[k], signal.size() - i);
    const auto block = leveler.process(std::span(signal).subspan(i, n));
    out.insert(out.end(), block.begin(), block.end());
    RC_ASSERT(leveler.pending().size() < leveler.window());
    i += n;
  }
  const auto tail = leveler.flush();
  out.insert(out.end(), tail.begin(), tail.end());
  std::vector<std::uint32_t> bits;
  for (float x : out) bits.push_back(std::bit_cast<std::uint32_t>(x));
  return bits;
}

TEST(VoiceLeveler, BlocksOf20MillisecondsAndAtLeast64Samples) {
  const auto largest = static_cast<std::size_t>(std::numeric_limits<std::int64_t>::max());
  static const struct {
    double sampleRate;
    std::size_t window;
  } cases[] = {{48000, 960}, {44100, 882}, {3250, 65},        {2000, 64}, {0, 64}, {std::nan(""), 64},
               {-std::numeric_limits<double>::infinity(), 64}, {1e20, 2'000'000'000'000'000'000},
               {5e20, largest},  {std::numeric_limits<double>::infinity(), largest}};
  for (const auto& c : cases) EXPECT_EQ(VoiceLeveler(c.sampleRate).window(), c.window) << c.sampleRate;
}

TEST(VoiceLeveler, KeepsLessThanABlockPendingUntilFlushed) {
  VoiceLeveler leveler(48000);
  EXPECT_TRUE(leveler.process(constant(500, 0.05f)).empty());
  EXPECT_EQ(leveler.pending().size(), 500u);
  // 1,000 pending: one block of 960 comes out, 40 stay.
  EXPECT_EQ(leveler.process(constant(500, 0.05f)).size(), 960u);
  EXPECT_EQ(leveler.pending().size(), 40u);
  // The 40 are levelled as a block of their own: RMS and ramp over 40.
  const float g0 = leveler.gain;
  const std::vector<float> tail = leveler.flush();
  ASSERT_EQ(tail.size(), 40u);
  EXPECT_TRUE(leveler.pending().empty());
  EXPECT_EQ(tail[0], 0.05f * g0);
  EXPECT_NEAR(tail[39], 0.05f * (g0 + (leveler.gain - g0) * 39.0f / 40.0f), 1e-7);
  EXPECT_TRUE(leveler.flush().empty());
}

TEST(VoiceLeveler, SteersTheGainOnVoicedBlocksAndHoldsItInPauses) {
  VoiceLeveler leveler(48000);
  const std::size_t w = leveler.window();
  // The RMS is a single-precision sum of 960 squares: good to about 1e-5.
  const auto expectState = [&](double loudness, double gain) {
    EXPECT_NEAR(leveler.loudness, loudness, loudness * 1e-5);
    EXPECT_NEAR(leveler.gain, gain, gain * 1e-5);
  };

  // The first voiced block sets the loudness to its RMS: desired 0.1 / 0.05
  // = 2, reached slowly (6 % of the way per block), ramped across the block.
  std::vector<float> out = leveler.process(constant(w, 0.05f));
  expectState(0.05, 1.06);
  EXPECT_EQ(out[0], 0.05f);
  EXPECT_NEAR(out[w - 1], 0.05 * (1 + 0.06 * (w - 1) / w), 1e-6);

  // A pause (RMS 0.005, under 0.006) holds both gain and loudness exactly.
  const float gain = leveler.gain;
  EXPECT_EQ(leveler.process(constant(w, 0.005f))[w - 1], 0.005f * gain);
  expectState(0.05, gain);

  // Shouting after a high gain: loudness rises by 3.5 % of the difference,
  // the gain drops fast, by a quarter of the difference.
  leveler.gain = 4.0f;
  const double shouting = 0.05 + (0.9 - 0.05) * 0.035;
  leveler.process(constant(w, 0.9f));
  expectState(shouting, 4.0 + (0.1 / shouting - 4.0) * 0.25);

  // Held at length, quiet and loud speech drive the gain monotonically to
  // its bounds and no further.
  for (const auto& [level, limit] : {std::pair(0.007f, 6.0f), std::pair(0.9f, 0.35f)}) {
    VoiceLeveler steady(2000);
    for (int block = 0; block < 2000; ++block) {
      const float previous = steady.gain;
      steady.process(constant(64, level));
      ASSERT_TRUE(steady.gain >= 0.35f && steady.gain <= 6.0f) << level << " block " << block;
      ASSERT_TRUE(limit > 1 ? steady.gain >= previous : steady.gain <= previous) << level;
    }
    EXPECT_NEAR(steady.gain, limit, 1e-4) << level;
  }
}

TEST(VoiceLeveler, SoftClipsAboveTheKnee) {
  const float knee = 0.7f * 0.89f;  // 0.623
  const auto clipped = [knee](float x) { return knee + (0.89f - knee) * (1 - 1 / (1 + (x - knee) / (0.89f - knee))); };
  static const struct {
    float in;
    float out;
  } cases[] = {{0.5f, 0.5f}, {-0.5f, -0.5f}, {knee, knee}, {0.625f, clipped(0.625f)}, {-1.0f, -clipped(1.0f)}};
  for (const auto& c : cases) {
    // First sample of the first block: the gain there is exactly 1.
    VoiceLeveler leveler(2000);
    std::vector<float> block(64, 0.0f);
    block[0] = c.in;
    EXPECT_FLOAT_EQ(leveler.process(block).at(0), c.out) << c.in;
  }
}

// Any input within full scale comes out below the ceiling, with its sign,
// even from the highest gain.
RC_GTEST_PROP(VoiceLeveler, OutputStaysBelowTheCeiling, ()) {
  const auto signal = *rc::gen::container<std::vector<float>>(
      rc::gen::map(rc::gen::inRange(-1000, 1001), [](int v) { return static_cast<float>(v) / 1000.0f; }));
  VoiceLeveler leveler(*rc::gen::element(2000.0, 3200.0, 8000.0));
  leveler.gain = leveler.maxGain;
  std::vector<float> out = leveler.process(signal);
  const auto tail = leveler.flush();
  out.insert(out.end(), tail.begin(), tail.end());
  RC_ASSERT(out.size() == signal.size());
  for (std::size_t i = 0; i < out.size(); ++i) {
    RC_ASSERT(std::fabs(out[i]) < leveler.ceiling);
    RC_ASSERT(std::signbit(out[i]) == std::signbit(signal[i]));
  }
}

// Speech-like tones of changing loudness with pauses, cut into pieces of any
// sizes, give bit-identical output to the whole signal at once.
RC_GTEST_PROP(VoiceLeveler, SplittingTheInputGivesBitIdenticalOutput, ()) {
  std::vector<float> signal;
  for (const auto& [amplitude, count] : *rc::gen::container<std::vector<std::pair<float, int>>>(
           rc::gen::pair(rc::gen::element(0.0f, 0.003f, 0.02f, 0.1f, 0.5f, 1.0f, 3.0f), rc::gen::inRange(0, 3000)))) {
    for (int i = 0; i < count; ++i) {
      const auto t = static_cast<double>(signal.size());
      signal.push_back(amplitude * static_cast<float>(0.7 * std::sin(t * 0.0571) + 0.3 * std::sin(t * 0.331)));
    }
  }
  const double sampleRate = *rc::gen::element(2000.0, 3250.0, 22050.0);
  auto pieces = *rc::gen::nonEmpty(rc::gen::container<std::vector<std::size_t>>(rc::gen::inRange<std::size_t>(1, 700)));
  RC_ASSERT(levelled(sampleRate, signal, pieces) == levelled(sampleRate, signal, {signal.size() + 1}));
}

}  // namespace
}  // namespace RecorderCore
