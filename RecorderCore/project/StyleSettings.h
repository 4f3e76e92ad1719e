// How the recording sits inside the canvas: background, padding, rounded
// corners, shadow, device frame and motion blur. A default-constructed value
// holds the defaults of a new project.
#pragma once

#include <array>
#include <string_view>

#include <nlohmann/json_fwd.hpp>

#include "RecorderCore/project/BackgroundStyle.h"

namespace RecorderCore {

// A drawn frame around the recording.
enum class DeviceFrame { none, macbook, browser };

inline constexpr std::array allDeviceFrames{DeviceFrame::none, DeviceFrame::macbook, DeviceFrame::browser};

std::string_view rawValue(DeviceFrame frame);

struct StyleSettings {
  BackgroundStyle background;
  // Margin around the recording, a fraction of the canvas's shorter side.
  double padding = 0.08;
  double cornerRadius = 16;
  double shadowOpacity = 0.45;
  double shadowRadius = 40;
  double shadowOffsetY = 20;
  DeviceFrame deviceFrame = DeviceFrame::none;
  double motionBlur = 0.5;

  bool operator==(const StyleSettings&) const = default;
};

void to_json(nlohmann::json& json, DeviceFrame value);
void from_json(const nlohmann::json& json, DeviceFrame& value);
void to_json(nlohmann::json& json, const StyleSettings& value);
void from_json(const nlohmann::json& json, StyleSettings& value);

}  // namespace RecorderCore
