// The camera bubble: its layout over time and its look. A default-constructed
// value holds the defaults of a new project.
#pragma once

#include <array>
#include <optional>
#include <string_view>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "RecorderCore/motion/CameraTransition.h"
#include "RecorderCore/project/Uuid.h"

namespace RecorderCore {

enum class CameraLayout {
  hidden,
  bubbleBottomRight,
  bubbleBottomLeft,
  bubbleTopRight,
  bubbleTopLeft,
  sideBySide,
  fullScreen,
};

inline constexpr std::array allCameraLayouts{
    CameraLayout::hidden,       CameraLayout::bubbleBottomRight, CameraLayout::bubbleBottomLeft,
    CameraLayout::bubbleTopRight, CameraLayout::bubbleTopLeft,   CameraLayout::sideBySide,
    CameraLayout::fullScreen};

std::string_view rawValue(CameraLayout layout);

enum class BubbleShape { circle, roundedRect };

inline constexpr std::array allBubbleShapes{BubbleShape::circle, BubbleShape::roundedRect};

std::string_view rawValue(BubbleShape shape);

// From output time `time` on, the camera is in `layout`.
struct CameraLayoutKeyframe {
  Uuid id;
  double time = 0;
  CameraLayout layout = CameraLayout::bubbleBottomRight;

  bool operator==(const CameraLayoutKeyframe&) const = default;
};

struct CameraSettings {
  // The layout before the first keyframe.
  CameraLayout layout = CameraLayout::bubbleBottomRight;
  std::vector<CameraLayoutKeyframe> keyframes;
  // Side of the bubble as a fraction of the canvas height.
  double bubbleSize = 0.24;
  BubbleShape bubbleShape = BubbleShape::circle;
  bool mirrored = true;
  double borderWidth = 0;
  bool shadow = true;
  // An image asset shown instead of the camera picture when showAvatar is on.
  std::optional<Uuid> avatarAssetID;
  bool showAvatar = false;
  // Animation of a layout change; absent means smooth.
  std::optional<CameraTransition> transition;
  // Seconds of that animation; absent means the transition's default.
  std::optional<double> transitionDuration;

  bool operator==(const CameraSettings&) const = default;
};

void to_json(nlohmann::json& json, CameraLayout value);
void from_json(const nlohmann::json& json, CameraLayout& value);
void to_json(nlohmann::json& json, BubbleShape value);
void from_json(const nlohmann::json& json, BubbleShape& value);
void to_json(nlohmann::json& json, const CameraLayoutKeyframe& value);
void from_json(const nlohmann::json& json, CameraLayoutKeyframe& value);
void to_json(nlohmann::json& json, const CameraSettings& value);
void from_json(const nlohmann::json& json, CameraSettings& value);

}  // namespace RecorderCore
