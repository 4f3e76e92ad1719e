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

std::vector<float> join(std::vector<float> a, const std::vector<float>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// The output bits, so that comparisons are exact (and NaN-proof).
std::vector<std::uint32_t> bits(const std::vector<float>& samples) {
  std::vector<std::uint32_t> out;
  for (float x : samples) out.push_back(std::bit_cast<std::uint32_t>(x));
  return out;
}

// Levels `signal` fed in buffers of `bufferSize` samples, then flushed.
std::vector<float> levelInBuffers(double sampleRate, const std::vector<float>& signal, std::size_t bufferSize) {
  VoiceLeveler leveler(sampleRate);
  std::vector<float> out;
  for (std::size_t i = 0; i < signal.size(); i += bufferSize) {
    const std::size_t n = std::min(bufferSize, signal.size() - i);
    out = join(std::move(out), leveler.process(std::span(signal).subspan(i, n)));
    EXPECT_LT(leveler.pending().size(), leveler.window());
  }
  return join(std::move(out), leveler.flush());
}

// A voice-like test signal: tones of changing loudness with pauses, from
// (amplitude, samples) segments.
std::vector<float> tones(const std::vector<std::pair<float, std::size_t>>& segments) {
  std::vector<float> out;
  std::size_t n = 0;
  for (auto [amplitude, count] : segments) {
    for (std::size_t i = 0; i < count; ++i, ++n) {
      const double t = static_cast<double>(n);
      out.push_back(amplitude * static_cast<float>(0.7 * std::sin(t * 0.0571) + 0.3 * std::sin(t * 0.331)));
    }
  }
  return out;
}

TEST(VoiceLeveler, StartsWithItsInitialValuesAndA20MillisecondBlock) {
  static const struct {
    double sampleRate;
    std::size_t window;
  } cases[] = {
      {48000, 960},
      {44100, 882},
      {22050, 441},
      {16000, 320},
      {3250, 65},
      {2000, 64},
      {8, 64},
      {0, 64},
      {-48000, 64},
      {std::nan(""), 64},
      {-std::numeric_limits<double>::infinity(), 64},
      {1e20, 2'000'000'000'000'000'000},
      // Past what a signed 64-bit count holds: capped there.
      {5e20, static_cast<std::size_t>(std::numeric_limits<std::int64_t>::max())},
      {std::numeric_limits<double>::infinity(), static_cast<std::size_t>(std::numeric_limits<std::int64_t>::max())},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(VoiceLeveler(c.sampleRate).window(), c.window) << c.sampleRate;
  }
  const VoiceLeveler leveler(48000);
  EXPECT_EQ(leveler.target, 0.1f);
  EXPECT_EQ(leveler.maxGain, 6.0f);
  EXPECT_EQ(leveler.minGain, 0.35f);
  EXPECT_EQ(leveler.ceiling, 0.89f);
  EXPECT_EQ(leveler.gateOpen(), 0.006f);
  EXPECT_EQ(leveler.gain, 1.0f);
  EXPECT_EQ(leveler.loudness, 0.0f);
  EXPECT_TRUE(leveler.pending().empty());
}

TEST(VoiceLeveler, KeepsLessThanABlockPendingUntilFlushed) {
  VoiceLeveler leveler(48000);
  EXPECT_TRUE(leveler.process(constant(500, 0.05f)).empty());
  EXPECT_EQ(leveler.pending().size(), 500u);
  EXPECT_EQ(leveler.gain, 1.0f);

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

  // The first voiced block sets the loudness to its RMS: desired 0.1 / 0.05
  // = 2, reached slowly (6 % of the way per block).
  std::vector<float> out = leveler.process(constant(w, 0.05f));
  // (The RMS is a single-precision sum of 960 squares: good to about 1e-5.)
  EXPECT_NEAR(leveler.loudness, 0.05, 0.05 * 1e-5);
  EXPECT_NEAR(leveler.gain, 1.06, 1e-5);
  // The gain ramps linearly across the block from the old value.
  EXPECT_EQ(out[0], 0.05f);
  EXPECT_NEAR(out[w / 2], 0.05 * 1.03, 1e-6);
  EXPECT_NEAR(out[w - 1], 0.05 * (1 + 0.06 * (w - 1) / w), 1e-6);

  // A pause (RMS 0.005, under 0.006) holds both gain and loudness exactly.
  const float gain = leveler.gain;
  const float loudness = leveler.loudness;
  out = leveler.process(constant(w, 0.005f));
  EXPECT_EQ(leveler.gain, gain);
  EXPECT_EQ(leveler.loudness, loudness);
  EXPECT_EQ(out[w - 1], 0.005f * gain);

  // Louder speech: loudness rises by 3.5 % of the difference; the desired
  // gain 0.1 / 0.05525 is still above the current one, so it rises slowly.
  leveler.process(constant(w, 0.2f));
  double expectedLoudness = 0.05 + (0.2 - 0.05) * 0.035;
  double expectedGain = 1.06 + (0.1 / expectedLoudness - 1.06) * 0.06;
  EXPECT_NEAR(leveler.loudness, expectedLoudness, expectedLoudness * 1e-5);
  EXPECT_NEAR(leveler.gain, expectedGain, expectedGain * 1e-5);

  // Quieter speech: loudness falls by 1.3 % of the difference.
  leveler.process(constant(w, 0.01f));
  expectedLoudness += (0.01 - expectedLoudness) * 0.013;
  expectedGain += (0.1 / expectedLoudness - expectedGain) * 0.06;
  EXPECT_NEAR(leveler.loudness, expectedLoudness, expectedLoudness * 1e-5);
  EXPECT_NEAR(leveler.gain, expectedGain, expectedGain * 1e-5);

  // Shouting after a high gain: the desired gain falls below the current one
  // and the gain drops fast, by a quarter of the difference.
  leveler.gain = 4.0f;
  expectedGain = 4.0;
  leveler.process(constant(w, 0.9f));
  expectedLoudness += (0.9 - expectedLoudness) * 0.035;
  const double desired = 0.1 / expectedLoudness;
  ASSERT_LT(desired, expectedGain);
  expectedGain += (desired - expectedGain) * 0.25;
  EXPECT_NEAR(leveler.loudness, expectedLoudness, expectedLoudness * 1e-5);
  EXPECT_NEAR(leveler.gain, expectedGain, expectedGain * 1e-5);
}

TEST(VoiceLeveler, GainStaysWithinItsBounds) {
  static const struct {
    float level;
    float limit;
  } cases[] = {{0.007f, 6.0f}, {0.9f, 0.35f}};
  for (const auto& c : cases) {
    VoiceLeveler leveler(2000);
    float previous = leveler.gain;
    for (int block = 0; block < 2000; ++block) {
      leveler.process(constant(64, c.level));
      ASSERT_GE(leveler.gain, 0.35f) << c.level << " block " << block;
      ASSERT_LE(leveler.gain, 6.0f) << c.level << " block " << block;
      // Monotonic towards the bound.
      ASSERT_TRUE(c.limit > 1 ? leveler.gain >= previous : leveler.gain <= previous) << c.level;
      previous = leveler.gain;
    }
    EXPECT_NEAR(leveler.gain, c.limit, 1e-4) << c.level;
  }
}

TEST(VoiceLeveler, SoftClipsAboveTheKneeAndNeverReachesTheCeiling) {
  const float knee = 0.7f * 0.89f;  // 0.623
  static const struct {
    float in;
    float out;
  } cases[] = {
      {0.5f, 0.5f},
      {-0.5f, -0.5f},
      {knee, knee},
      {0.625f, knee + (0.89f - knee) * (1 - 1 / (1 + (0.625f - knee) / (0.89f - knee)))},
      {1.0f, knee + (0.89f - knee) * (1 - 1 / (1 + (1 - knee) / (0.89f - knee)))},
      {-1.0f, -(knee + (0.89f - knee) * (1 - 1 / (1 + (1 - knee) / (0.89f - knee))))},
  };
  for (const auto& c : cases) {
    // First sample of the first block: the gain there is exactly 1.
    VoiceLeveler leveler(2000);
    std::vector<float> block(64, 0.0f);
    block[0] = c.in;
    const std::vector<float> out = leveler.process(block);
    ASSERT_EQ(out.size(), 64u);
    EXPECT_FLOAT_EQ(out[0], c.out) << c.in;
    EXPECT_LT(std::fabs(out[0]), 0.89f) << c.in;
  }
}

// Any input within full scale comes out below the ceiling, with its sign.
RC_GTEST_PROP(VoiceLeveler, OutputStaysBelowTheCeiling, ()) {
  const auto signal = *rc::gen::container<std::vector<float>>(
      rc::gen::map(rc::gen::inRange(-1000, 1001), [](int v) { return static_cast<float>(v) / 1000.0f; }));
  VoiceLeveler leveler(*rc::gen::element(2000.0, 3200.0, 8000.0));
  // Start from the highest gain so peaks are as hot as they can get.
  leveler.gain = leveler.maxGain;
  std::vector<float> out = leveler.process(signal);
  out = join(std::move(out), leveler.flush());
  RC_ASSERT(out.size() == signal.size());
  for (std::size_t i = 0; i < out.size(); ++i) {
    RC_ASSERT(std::fabs(out[i]) < leveler.ceiling);
    RC_ASSERT(std::signbit(out[i]) == std::signbit(signal[i]));
  }
}

TEST(VoiceLeveler, BufferSizesDoNotChangeTheOutput) {
  // Three seconds at 48 kHz: speech-like tones at several levels, pauses,
  // and a final partial block.
  const std::vector<float> signal = tones({{0.0f, 12000},
                                           {0.05f, 30000},
                                           {0.002f, 9000},
                                           {0.6f, 20000},
                                           {1.0f, 4000},
                                           {0.0f, 5000},
                                           {0.01f, 40000},
                                           {0.2f, 24123}});
  const std::vector<float> whole = levelInBuffers(48000, signal, signal.size());
  ASSERT_EQ(whole.size(), signal.size());
  for (std::size_t size : {std::size_t{1}, std::size_t{7}, std::size_t{960}, std::size_t{4096}}) {
    EXPECT_EQ(bits(levelInBuffers(48000, signal, size)), bits(whole)) << "buffers of " << size;
  }
}

RC_GTEST_PROP(VoiceLeveler, SplittingTheInputGivesBitIdenticalOutput, ()) {
  const auto segments = *rc::gen::container<std::vector<std::pair<float, std::size_t>>>(rc::gen::pair(
      rc::gen::element(0.0f, 0.003f, 0.02f, 0.1f, 0.5f, 1.0f, 3.0f),
      rc::gen::map(rc::gen::inRange(0, 3000), [](int n) { return static_cast<std::size_t>(n); })));
  const std::vector<float> signal = tones(segments);
  const double sampleRate = *rc::gen::element(2000.0, 3250.0, 22050.0);

  VoiceLeveler leveler(sampleRate);
  std::vector<float> split;
  std::size_t at = 0;
  while (at < signal.size()) {
    const auto n = std::min(static_cast<std::size_t>(*rc::gen::inRange(1, 700)), signal.size() - at);
    split = join(std::move(split), leveler.process(std::span(signal).subspan(at, n)));
    at += n;
  }
  split = join(std::move(split), leveler.flush());

  RC_ASSERT(bits(split) == bits(levelInBuffers(sampleRate, signal, signal.size() + 1)));
}

}  // namespace
}  // namespace RecorderCore
