#include "RecorderCore/audio/VoiceLeveler.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace RecorderCore {

namespace {

constexpr std::size_t kMinimumWindow = 64;
constexpr double kBlockSeconds = 0.02;

// Loudness follows a rise faster than a fall, so a sudden loud passage is
// caught quickly while a quiet word does not drag the estimate down.
constexpr float kLoudnessRise = 0.035f;
constexpr float kLoudnessFall = 0.013f;
// The gain drops fast (to avoid clipping) and climbs slowly (to avoid
// pumping up breaths and noise).
constexpr float kGainDown = 0.25f;
constexpr float kGainUp = 0.06f;
// Keeps the division finite for a loudness estimate near zero.
constexpr float kSmallestLoudness = 0.00001f;
// The soft clip starts at this fraction of the ceiling.
constexpr float kKnee = 0.7f;

std::size_t windowFor(double sampleRate) {
  const double samples = std::floor(sampleRate * kBlockSeconds);
  // The negated comparison also sends NaN to the smallest block.
  if (!(samples > static_cast<double>(kMinimumWindow))) return kMinimumWindow;
  // 2^63: the largest block length still countable by a signed 64-bit count.
  constexpr double kLargest = 9223372036854775808.0;
  if (samples >= kLargest) return static_cast<std::size_t>(std::numeric_limits<std::int64_t>::max());
  return static_cast<std::size_t>(samples);
}

}  // namespace

VoiceLeveler::VoiceLeveler(double sampleRate) : window_(windowFor(sampleRate)) {}

std::vector<float> VoiceLeveler::process(std::span<const float> samples) {
  pending_.insert(pending_.end(), samples.begin(), samples.end());
  std::vector<float> out;
  if (pending_.size() < window_) return out;
  out.reserve(pending_.size());
  std::size_t done = 0;
  while (pending_.size() - done >= window_) {
    processBlock(pending_.data() + done, window_, out);
    done += window_;
  }
  pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(done));
  return out;
}

std::vector<float> VoiceLeveler::flush() {
  std::vector<float> out;
  if (pending_.empty()) return out;
  out.reserve(pending_.size());
  processBlock(pending_.data(), pending_.size(), out);
  pending_.clear();
  return out;
}

void VoiceLeveler::processBlock(const float* block, std::size_t length, std::vector<float>& out) {
  const float count = static_cast<float>(length);
  // A plain running sum, in order: the result must not depend on how the
  // compiler or the buffer sizes would group the additions.
  float sumOfSquares = 0;
  for (std::size_t i = 0; i < length; ++i) sumOfSquares += block[i] * block[i];
  const float rms = std::sqrt(sumOfSquares / count);

  const float g0 = gain;
  float desired = g0;  // a pause: hold the gain and the loudness
  if (rms > gateOpen_) {
    if (loudness == 0) {
      loudness = rms;
    } else {
      loudness += (rms - loudness) * (rms > loudness ? kLoudnessRise : kLoudnessFall);
    }
    desired = target / std::max(loudness, kSmallestLoudness);
    desired = std::max(desired, minGain);
    desired = std::min(desired, maxGain);
  }
  gain = g0 + (desired - g0) * (g0 > desired ? kGainDown : kGainUp);

  const float knee = kKnee * ceiling;
  const float headroom = ceiling - knee;
  const float step = gain - g0;
  const std::size_t first = out.size();
  out.resize(first + length);
  float* levelled = out.data() + first;
  for (std::size_t i = 0; i < length; ++i) {
    float y = block[i] * (g0 + step * static_cast<float>(i) / count);
    const float magnitude = std::fabs(y);
    if (magnitude > knee) {
      const float u = (magnitude - knee) / headroom;
      y = std::copysign(knee + headroom * (1.0f - 1.0f / (1.0f + u)), y);
    }
    levelled[i] = y;
  }
}

}  // namespace RecorderCore
