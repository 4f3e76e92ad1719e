#include "RecorderCore/project/StyleSettings.h"

#include "RecorderCore/project/Coding.h"

namespace RecorderCore {

std::string_view rawValue(DeviceFrame frame) {
  switch (frame) {
    case DeviceFrame::none: return "none";
    case DeviceFrame::macbook: return "macbook";
    case DeviceFrame::browser: return "browser";
  }
  return "none";
}

void to_json(nlohmann::json& j, DeviceFrame value) { j = std::string(rawValue(value)); }

void from_json(const nlohmann::json& j, DeviceFrame& value) {
  value = Coding::decodeEnum<DeviceFrame>(j, allDeviceFrames, "DeviceFrame");
}

void to_json(nlohmann::json& j, const StyleSettings& value) {
  j = nlohmann::json::object();
  Coding::put(j, "background", value.background);
  Coding::put(j, "padding", value.padding);
  Coding::put(j, "cornerRadius", value.cornerRadius);
  Coding::put(j, "shadowOpacity", value.shadowOpacity);
  Coding::put(j, "shadowRadius", value.shadowRadius);
  Coding::put(j, "shadowOffsetY", value.shadowOffsetY);
  Coding::put(j, "deviceFrame", value.deviceFrame);
  Coding::put(j, "motionBlur", value.motionBlur);
}

void from_json(const nlohmann::json& j, StyleSettings& value) {
  value.background = Coding::required<BackgroundStyle>(j, "background");
  value.padding = Coding::required<double>(j, "padding");
  value.cornerRadius = Coding::required<double>(j, "cornerRadius");
  value.shadowOpacity = Coding::required<double>(j, "shadowOpacity");
  value.shadowRadius = Coding::required<double>(j, "shadowRadius");
  value.shadowOffsetY = Coding::required<double>(j, "shadowOffsetY");
  value.deviceFrame = Coding::required<DeviceFrame>(j, "deviceFrame");
  value.motionBlur = Coding::required<double>(j, "motionBlur");
}

}  // namespace RecorderCore
