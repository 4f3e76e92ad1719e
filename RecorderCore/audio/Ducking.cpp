#include "RecorderCore/audio/Ducking.h"

#include <algorithm>
#include <cmath>

namespace RecorderCore::Ducking {

double gain(double t, std::span<const SpeechRange> speech, double level) {
  double factor = 1;
  for (const SpeechRange& range : speech) {
    const double a = range.start - lead;  // fully ducked from here
    const double a0 = a - fadeDown;       // the ramp down starts here
    const double b = range.end + fadeUp;  // back to full volume here
    if (!(a0 < t && t < b)) continue;
    double g;
    if (t < a) {
      g = 1 - (1 - level) * (t - a0) / fadeDown;
    } else if (t <= range.end) {
      g = level;
    } else {
      g = level + (1 - level) * (t - range.end) / fadeUp;
    }
    factor = std::min(factor, g);
  }
  return factor;
}

std::vector<VolumePoint> envelope(const MediaItem& item, std::span<const SpeechRange> speech, double level) {
  // Negated so that a NaN level ducks fully rather than poisoning the curve.
  const double duckLevel = !(level > 0) ? 0 : std::min(level, 1.0);
  const double start = item.start;
  const double end = item.end;

  std::vector<double> times{start, end};
  if (item.fadeIn > 0) times.push_back(std::min(start + item.fadeIn, end));
  if (item.fadeOut > 0) times.push_back(std::max(end - item.fadeOut, start));
  for (const SpeechRange& range : speech) {
    const double a = range.start - lead;
    for (double t : {a - fadeDown, a, range.end, range.end + fadeUp}) {
      if (start < t && t < end) times.push_back(t);
    }
  }
  // A NaN time has no place on the curve, and would break the ordering.
  std::erase_if(times, [](double t) { return std::isnan(t); });
  std::sort(times.begin(), times.end());
  times.erase(std::unique(times.begin(), times.end()), times.end());

  std::vector<VolumePoint> points;
  points.reserve(times.size());
  for (double t : times) {
    double volume = 0;
    if (!item.muted) {
      volume = item.volume;
      if (item.fadeIn > 0) volume *= std::clamp((t - start) / item.fadeIn, 0.0, 1.0);
      if (item.fadeOut > 0) volume *= std::clamp((end - t) / item.fadeOut, 0.0, 1.0);
      volume *= gain(t, speech, duckLevel);
    }
    points.push_back({t, volume});
  }
  return points;
}

}  // namespace RecorderCore::Ducking
