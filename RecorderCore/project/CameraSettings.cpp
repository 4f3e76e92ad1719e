#include "RecorderCore/project/CameraSettings.h"

#include "RecorderCore/project/Coding.h"

namespace RecorderCore {

std::string_view rawValue(CameraLayout layout) {
  switch (layout) {
    case CameraLayout::hidden: return "hidden";
    case CameraLayout::bubbleBottomRight: return "bubbleBottomRight";
    case CameraLayout::bubbleBottomLeft: return "bubbleBottomLeft";
    case CameraLayout::bubbleTopRight: return "bubbleTopRight";
    case CameraLayout::bubbleTopLeft: return "bubbleTopLeft";
    case CameraLayout::sideBySide: return "sideBySide";
    case CameraLayout::fullScreen: return "fullScreen";
  }
  return "hidden";
}

std::string_view rawValue(BubbleShape shape) {
  switch (shape) {
    case BubbleShape::circle: return "circle";
    case BubbleShape::roundedRect: return "roundedRect";
  }
  return "circle";
}

void to_json(nlohmann::json& j, CameraLayout value) { j = std::string(rawValue(value)); }

void from_json(const nlohmann::json& j, CameraLayout& value) {
  value = Coding::decodeEnum<CameraLayout>(j, allCameraLayouts, "CameraLayout");
}

void to_json(nlohmann::json& j, BubbleShape value) { j = std::string(rawValue(value)); }

void from_json(const nlohmann::json& j, BubbleShape& value) {
  value = Coding::decodeEnum<BubbleShape>(j, allBubbleShapes, "BubbleShape");
}

void to_json(nlohmann::json& j, const CameraLayoutKeyframe& value) {
  j = nlohmann::json::object();
  Coding::put(j, "id", value.id);
  Coding::put(j, "time", value.time);
  Coding::put(j, "layout", value.layout);
}

void from_json(const nlohmann::json& j, CameraLayoutKeyframe& value) {
  value.id = Coding::required<Uuid>(j, "id");
  value.time = Coding::required<double>(j, "time");
  value.layout = Coding::required<CameraLayout>(j, "layout");
}

void to_json(nlohmann::json& j, const CameraSettings& value) {
  j = nlohmann::json::object();
  Coding::put(j, "layout", value.layout);
  Coding::put(j, "keyframes", value.keyframes);
  Coding::put(j, "bubbleSize", value.bubbleSize);
  Coding::put(j, "bubbleShape", value.bubbleShape);
  Coding::put(j, "mirrored", value.mirrored);
  Coding::put(j, "borderWidth", value.borderWidth);
  Coding::put(j, "shadow", value.shadow);
  Coding::put(j, "avatarAssetID", value.avatarAssetID);
  Coding::put(j, "showAvatar", value.showAvatar);
  Coding::put(j, "transition", value.transition);
  Coding::put(j, "transitionDuration", value.transitionDuration);
}

void from_json(const nlohmann::json& j, CameraSettings& value) {
  value.layout = Coding::required<CameraLayout>(j, "layout");
  value.keyframes = Coding::required<std::vector<CameraLayoutKeyframe>>(j, "keyframes");
  value.bubbleSize = Coding::required<double>(j, "bubbleSize");
  value.bubbleShape = Coding::required<BubbleShape>(j, "bubbleShape");
  value.mirrored = Coding::required<bool>(j, "mirrored");
  value.borderWidth = Coding::required<double>(j, "borderWidth");
  value.shadow = Coding::required<bool>(j, "shadow");
  value.avatarAssetID = Coding::optional<Uuid>(j, "avatarAssetID");
  value.showAvatar = Coding::required<bool>(j, "showAvatar");
  value.transition = Coding::optional<CameraTransition>(j, "transition");
  value.transitionDuration = Coding::optional<double>(j, "transitionDuration");
}

}  // namespace RecorderCore
