#include "RecorderCore/overlays/Subtitles.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>

#include "RecorderCore/project/Project.h"

namespace RecorderCore {

std::string subtitleTimestamp(double seconds) {
  // Times past a few thousand years (and NaN) are clamped, so the conversion
  // to an integer stays defined.
  const double t = std::isnan(seconds) ? 0.0 : std::clamp(seconds, 0.0, 1e12);
  const auto ms = static_cast<std::int64_t>(std::round(t * 1000));
  char text[48];
  std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld,%03lld", static_cast<long long>(ms / 3600000),
                static_cast<long long>((ms / 60000) % 60), static_cast<long long>((ms / 1000) % 60),
                static_cast<long long>(ms % 1000));
  return text;
}

std::string Project::subtitleText() const {
  const auto cues = captionCues();
  std::string text;
  for (std::size_t i = 0; i < cues.size(); ++i) {
    text += std::to_string(i + 1);
    text += '\n';
    text += subtitleTimestamp(cues[i].start());
    text += " --> ";
    text += subtitleTimestamp(CaptionCue::endTime(cues, i));
    text += '\n';
    text += cues[i].text();
    text += "\n\n";
  }
  return text;
}

}  // namespace RecorderCore
