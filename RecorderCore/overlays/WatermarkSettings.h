// The user's own watermark, a text and/or logo drawn on every exported video,
// and where the product's own mark goes when `showBrand` is on.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json_fwd.hpp>

#include "RecorderCore/project/Geometry.h"
#include "RecorderCore/project/RGBAColor.h"
#include "RecorderCore/project/Uuid.h"

namespace RecorderCore {

// The nine spots of the placement grid (three rows from the top, three
// columns from the left).
enum class WatermarkPlacement {
  bottomRight,
  bottomLeft,
  topRight,
  topLeft,
  middleLeft,
  middleRight,
  topCenter,
  bottomCenter,
  center,
};

inline constexpr std::array allWatermarkPlacements{
    WatermarkPlacement::bottomRight, WatermarkPlacement::bottomLeft,  WatermarkPlacement::topRight,
    WatermarkPlacement::topLeft,     WatermarkPlacement::middleLeft,  WatermarkPlacement::middleRight,
    WatermarkPlacement::topCenter,   WatermarkPlacement::bottomCenter, WatermarkPlacement::center};

std::string_view rawValue(WatermarkPlacement placement);
// The name people see, e.g. "Bottom right".
std::string_view label(WatermarkPlacement placement);
// The grid spot a free position (fractions of the canvas) falls in: thirds
// of each axis, the lower edge of a third belonging to it; values outside
// 0…1 fall into the outer rows and columns.
WatermarkPlacement nearestWatermarkPlacement(double x, double y);

struct WatermarkSettings {
  bool enabled = false;
  std::string text;
  // The logo: an image asset of the project, shown in front of the text.
  std::optional<Uuid> imageAssetID;
  // Absent = the default font.
  std::optional<std::string> fontName;
  // Text height as a fraction of the canvas height.
  double size = 0;
  bool bold = false;
  bool italic = false;
  bool uppercase = false;
  RGBAColor textColor = RGBAColor::white;
  bool shadow = false;
  // Opacity of the whole mark.
  double opacity = 1;
  bool boxEnabled = false;
  RGBAColor boxColor = RGBAColor::black;
  double boxOpacity = 0;
  WatermarkPlacement placement = WatermarkPlacement::bottomRight;
  // Draw the product's own mark as well.
  bool showBrand = false;
  std::optional<WatermarkPlacement> brandPlacement;
  // Free centre of the mark (0,0 top left, 1,1 bottom right); used instead of
  // `placement` when present.
  std::optional<Point> position;
  // Free centre of the product's mark, used instead of `brandPlacement`.
  std::optional<Point> brandPosition;

  bool operator==(const WatermarkSettings&) const = default;
};

void to_json(nlohmann::json& json, WatermarkPlacement value);
void from_json(const nlohmann::json& json, WatermarkPlacement& value);
void to_json(nlohmann::json& json, const WatermarkSettings& value);
void from_json(const nlohmann::json& json, WatermarkSettings& value);

}  // namespace RecorderCore
