#include "RecorderCore/project/CanvasSettings.h"

#include "RecorderCore/project/Coding.h"

namespace RecorderCore {

const std::vector<CanvasPreset>& CanvasPreset::all() {
  static const std::vector<CanvasPreset> presets{
      {"16:9", "16:9 · Landscape", 1920, 1080}, {"9:16", "9:16 · Vertical", 1080, 1920},
      {"1:1", "1:1 · Square", 1080, 1080},      {"4:5", "4:5 · Portrait", 1080, 1350},
      {"4:3", "4:3 · Classic", 1440, 1080},     {"3:2", "3:2", 1620, 1080},
      {"21:9", "21:9 · Ultrawide", 2520, 1080},
  };
  return presets;
}

void to_json(nlohmann::json& j, const CanvasSettings& value) {
  j = nlohmann::json::object();
  Coding::put(j, "width", value.width);
  Coding::put(j, "height", value.height);
  Coding::put(j, "frameRate", value.frameRate);
}

void from_json(const nlohmann::json& j, CanvasSettings& value) {
  value.width = Coding::required<int>(j, "width");
  value.height = Coding::required<int>(j, "height");
  value.frameRate = Coding::required<int>(j, "frameRate");
}

}  // namespace RecorderCore
