// End-to-end checks on real speech: a sentence spoken by espeak-ng (turned
// into raw samples by sox), padded with silence and quiet noise, goes through
// the detector and the leveller.
#include <stdio.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "RecorderCore/audio/SpeechDetector.h"
#include "RecorderCore/audio/VoiceLeveler.h"

namespace RecorderCore {
namespace {

constexpr std::size_t kRate = 22050;

// The sentence as mono 32-bit float samples at kRate. Empty (failing the
// calling test, never skipping it) when espeak-ng or sox is missing: the
// project's setup installs both.
std::vector<float> spokenSentence() {
  FILE* pipe = ::popen("espeak-ng --stdout 'The quick brown fox jumps over the lazy dog and then runs back into the "
                       "forest to find its friends' | sox -t wav - -t f32 -r 22050 -c 1 -",
                       "r");
  std::vector<float> samples;
  if (pipe == nullptr) return samples;
  float buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, sizeof(float), std::size(buffer), pipe)) > 0;) {
    samples.insert(samples.end(), buffer, buffer + n);
  }
  if (::pclose(pipe) != 0) samples.clear();
  return samples;
}

double rmsOf(const std::vector<float>& samples, std::size_t first, std::size_t last) {
  double sum = 0;
  for (std::size_t i = first; i < last; ++i) sum += static_cast<double>(samples[i]) * samples[i];
  return std::sqrt(sum / static_cast<double>(last - first));
}

// The sentence at `speechDB` dBFS RMS after 1.5 s of digital silence and
// 1.5 s of uniform noise at -50 dBFS, followed by 2 s of that noise and 1 s
// of silence. Also gives where the speech starts and ends, in samples,
// measured on the spoken samples themselves (first and last above -40 dBFS).
struct PaddedSpeech {
  std::vector<float> samples;
  std::size_t speechStart = 0;
  std::size_t speechEnd = 0;
};

PaddedSpeech padded(const std::vector<float>& sentence, double speechDB) {
  const auto loud = [](float x) { return std::fabs(x) > 0.01f; };
  const auto first = static_cast<std::size_t>(std::find_if(sentence.begin(), sentence.end(), loud) - sentence.begin());
  const auto end = sentence.size() - static_cast<std::size_t>(std::find_if(sentence.rbegin(), sentence.rend(), loud) -
                                                              sentence.rbegin());
  const double scale = std::pow(10.0, speechDB / 20) / rmsOf(sentence, first, end);
  std::vector<float> hiss;
  std::uint32_t seed = 12345;
  for (std::size_t i = 0; i < kRate * 7 / 2; ++i) {
    seed = seed * 1664525u + 1013904223u;
    hiss.push_back(static_cast<float>(std::pow(10.0, -50.0 / 20) * std::sqrt(3.0) * (seed / 2147483648.0 - 1)));
  }
  PaddedSpeech out;
  out.samples.assign(kRate * 3 / 2, 0.0f);
  out.samples.insert(out.samples.end(), hiss.begin(), hiss.begin() + kRate * 3 / 2);
  out.speechStart = out.samples.size() + first;
  out.speechEnd = out.samples.size() + end;
  for (float x : sentence) out.samples.push_back(static_cast<float>(x * scale));
  out.samples.insert(out.samples.end(), hiss.begin() + kRate * 3 / 2, hiss.end());
  out.samples.insert(out.samples.end(), kRate, 0.0f);
  return out;
}

TEST(SpokenAudio, DetectorFindsTheSentenceAndTheLevellerEvensItsLoudness) {
  const std::vector<float> sentence = spokenSentence();
  ASSERT_GT(sentence.size(), kRate) << "espeak-ng and sox must be installed (on Debian: apt-get install espeak-ng sox)";

  // Levels of 20 ms frames: one range, where the sentence is, and nothing in
  // the padding.
  const std::size_t frame = kRate / 50;
  for (double speechDB : {-30.0, -20.0, -12.0}) {
    const PaddedSpeech track = padded(sentence, speechDB);
    std::vector<float> levels;
    for (std::size_t at = 0; at + frame <= track.samples.size(); at += frame) {
      levels.push_back(static_cast<float>(rmsOf(track.samples, at, at + frame)));
    }
    const auto ranges = SpeechDetector::detect(levels, static_cast<double>(frame) / kRate);
    ASSERT_EQ(ranges.size(), 1u) << speechDB << " dBFS";
    EXPECT_NEAR(ranges[0].start, static_cast<double>(track.speechStart) / kRate, 0.25) << speechDB << " dBFS";
    EXPECT_NEAR(ranges[0].end, static_cast<double>(track.speechEnd) / kRate, 0.25) << speechDB << " dBFS";
  }

  // The leveller's gain spans 0.35…6 (-9 dB…+15.6 dB) around a target of
  // 0.1 (-20 dBFS): speech from -30 dBFS to -12 dBFS RMS comes out within
  // 3 dB of each other, never clipping.
  std::vector<double> outputDB;
  for (double speechDB : {-30.0, -12.0}) {
    const PaddedSpeech track = padded(sentence, speechDB);
    VoiceLeveler leveler(kRate);
    std::vector<float> out = leveler.process(track.samples);
    const std::vector<float> tail = leveler.flush();
    out.insert(out.end(), tail.begin(), tail.end());
    ASSERT_EQ(out.size(), track.samples.size());
    for (float y : out) ASSERT_LT(std::fabs(y), leveler.ceiling) << speechDB << " dBFS";
    // Leave the first second of speech to the gain to settle.
    outputDB.push_back(20 * std::log10(rmsOf(out, track.speechStart + kRate, track.speechEnd)));
  }
  EXPECT_NEAR(outputDB[0], outputDB[1], 3.0) << "speech at -30 dBFS and -12 dBFS comes out at " << outputDB[0]
                                              << " dBFS and " << outputDB[1] << " dBFS";
}

}  // namespace
}  // namespace RecorderCore
