// The output frame of a project (whole pixels and frames per second) and the
// built-in canvas presets the aspect choices of the canvas tool map to.
#pragma once

#include <string>
#include <vector>

#include <nlohmann/json_fwd.hpp>

namespace RecorderCore {

struct CanvasSettings {
  int width = 1920;
  int height = 1080;
  int frameRate = 60;

  bool operator==(const CanvasSettings&) const = default;
};

// A named canvas size. Not stored: presets are identified by `id` ("16:9").
struct CanvasPreset {
  std::string id;
  std::string name;
  int width = 0;
  int height = 0;

  // The built-in presets, landscape first; every one has 1080 pixels on its
  // shorter side. Built once, then only read.
  static const std::vector<CanvasPreset>& all();

  bool operator==(const CanvasPreset&) const = default;
};

void to_json(nlohmann::json& json, const CanvasSettings& value);
void from_json(const nlohmann::json& json, CanvasSettings& value);

}  // namespace RecorderCore
