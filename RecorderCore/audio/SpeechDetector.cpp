#include "RecorderCore/audio/SpeechDetector.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace RecorderCore::SpeechDetector {

namespace {

// Levels are clamped to this before taking the logarithm, so silence is
// -120 dB rather than minus infinity.
constexpr float kSilentLevel = 0.000001f;

constexpr std::size_t kMinimumFrames = 5;
// The speech peak must stand this far above the floor to be told apart.
constexpr float kMinimumContrast = 12.0f;
// A recording whose peak is this quiet holds no speech worth finding.
constexpr float kQuietPeak = -50.0f;
constexpr float kAboveFloor = 8.0f;
constexpr float kBelowPeak = 22.0f;
// Seconds.
constexpr double kMergeGap = 0.7;
constexpr double kShortestRange = 0.25;

float decibels(float level) {
  // Written as a negated comparison so a NaN level counts as silence too.
  if (!(level > kSilentLevel)) level = kSilentLevel;
  return 20.0f * std::log10(level);
}

}  // namespace

std::vector<SpeechRange> detect(std::span<const float> levels, double frameDuration) {
  const std::size_t n = levels.size();
  if (n < kMinimumFrames || !(frameDuration > 0)) return {};

  std::vector<float> dB(n);
  std::transform(levels.begin(), levels.end(), dB.begin(), decibels);

  std::vector<float> sorted = dB;
  std::sort(sorted.begin(), sorted.end());
  const auto percentile = [&](double fraction) {
    return sorted[static_cast<std::size_t>(fraction * static_cast<double>(n - 1))];
  };
  const float noiseFloor = percentile(0.1);
  const float speechPeak = percentile(0.95);
  if (speechPeak - noiseFloor < kMinimumContrast || speechPeak <= kQuietPeak) return {};
  const float threshold = std::max(noiseFloor + kAboveFloor, speechPeak - kBelowPeak);

  std::vector<SpeechRange> runs;
  for (std::size_t i = 0; i < n;) {
    if (dB[i] < threshold) {
      ++i;
      continue;
    }
    std::size_t j = i + 1;
    while (j < n && dB[j] >= threshold) ++j;
    // j is the first quiet frame, or n when the run reaches the last frame.
    runs.push_back({static_cast<double>(i) * frameDuration, static_cast<double>(j) * frameDuration});
    i = j;
  }

  std::vector<SpeechRange> merged;
  for (const SpeechRange& run : runs) {
    if (!merged.empty() && run.start - merged.back().end < kMergeGap) {
      merged.back().end = run.end;
    } else {
      merged.push_back(run);
    }
  }
  std::erase_if(merged, [](const SpeechRange& r) { return r.end - r.start < kShortestRange; });
  return merged;
}

}  // namespace RecorderCore::SpeechDetector
