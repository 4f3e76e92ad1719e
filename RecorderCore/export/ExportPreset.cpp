#include "RecorderCore/export/ExportPreset.h"

#include <limits>

namespace RecorderCore {

const std::vector<ExportPreset>& ExportPreset::all() {
  static const std::vector<ExportPreset> presets{
      {"source", "Same as project", 0, 0, "Uses the project canvas size"},
      {"1080p", "1080p", 1920, 1080, ""},
      {"1440p", "1440p", 2560, 1440, ""},
      {"4k", "4K", 3840, 2160, ""},
      {"vertical", "Vertical 9:16", 1080, 1920, "Reels, TikTok, Shorts"},
      {"square", "Square 1:1", 1080, 1080, "Feed posts"},
      {"portrait45", "Portrait 4:5", 1080, 1350, "Instagram feed"},
  };
  return presets;
}

double ExportPreset::aspectRatio() const {
  // Spelled out for a zero height so the result does not rest on the
  // compiler's treatment of division by zero: IEEE 754's NaN and infinities.
  if (height == 0) {
    if (width == 0) return std::numeric_limits<double>::quiet_NaN();
    return width > 0 ? std::numeric_limits<double>::infinity() : -std::numeric_limits<double>::infinity();
  }
  return static_cast<double>(width) / static_cast<double>(height);
}

std::pair<int, int> ExportPreset::size(int canvasWidth, int canvasHeight) const {
  if (width != 0 && height != 0) return {width, height};
  return {canvasWidth, canvasHeight};
}

}  // namespace RecorderCore

std::size_t std::hash<RecorderCore::ExportPreset>::operator()(const RecorderCore::ExportPreset& preset) const noexcept {
  // Boost's hash_combine step over every field, so equal presets hash alike.
  std::size_t seed = 0;
  auto combine = [&seed](std::size_t value) { seed ^= value + 0x9e3779b97f4a7c15ULL + (seed << 6) + (seed >> 2); };
  combine(std::hash<std::string>{}(preset.id));
  combine(std::hash<std::string>{}(preset.name));
  combine(std::hash<int>{}(preset.width));
  combine(std::hash<int>{}(preset.height));
  combine(std::hash<std::string>{}(preset.note));
  return seed;
}
