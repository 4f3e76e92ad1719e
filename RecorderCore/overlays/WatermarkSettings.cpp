#include "RecorderCore/overlays/WatermarkSettings.h"

#include "RecorderCore/project/Coding.h"

namespace RecorderCore {

std::string_view rawValue(WatermarkPlacement placement) {
  switch (placement) {
    case WatermarkPlacement::bottomRight: return "bottomRight";
    case WatermarkPlacement::bottomLeft: return "bottomLeft";
    case WatermarkPlacement::topRight: return "topRight";
    case WatermarkPlacement::topLeft: return "topLeft";
    case WatermarkPlacement::middleLeft: return "middleLeft";
    case WatermarkPlacement::middleRight: return "middleRight";
    case WatermarkPlacement::topCenter: return "topCenter";
    case WatermarkPlacement::bottomCenter: return "bottomCenter";
    case WatermarkPlacement::center: return "center";
  }
  return "bottomRight";
}

std::string_view label(WatermarkPlacement placement) {
  switch (placement) {
    case WatermarkPlacement::bottomRight: return "Bottom right";
    case WatermarkPlacement::bottomLeft: return "Bottom left";
    case WatermarkPlacement::topRight: return "Top right";
    case WatermarkPlacement::topLeft: return "Top left";
    case WatermarkPlacement::middleLeft: return "Middle left";
    case WatermarkPlacement::middleRight: return "Middle right";
    case WatermarkPlacement::topCenter: return "Top center";
    case WatermarkPlacement::bottomCenter: return "Bottom center";
    case WatermarkPlacement::center: return "Center";
  }
  return "Bottom right";
}

WatermarkPlacement nearestWatermarkPlacement(double x, double y) {
  // Rows from the top, columns from the left.
  static constexpr WatermarkPlacement grid[3][3] = {
      {WatermarkPlacement::topLeft, WatermarkPlacement::topCenter, WatermarkPlacement::topRight},
      {WatermarkPlacement::middleLeft, WatermarkPlacement::center, WatermarkPlacement::middleRight},
      {WatermarkPlacement::bottomLeft, WatermarkPlacement::bottomCenter, WatermarkPlacement::bottomRight},
  };
  const auto third = [](double v) -> std::size_t { return v < 1.0 / 3.0 ? 0 : (v < 2.0 / 3.0 ? 1 : 2); };
  return grid[third(y)][third(x)];
}

void to_json(nlohmann::json& j, WatermarkPlacement value) { j = std::string(rawValue(value)); }

void from_json(const nlohmann::json& j, WatermarkPlacement& value) {
  value = Coding::decodeEnum<WatermarkPlacement>(j, allWatermarkPlacements, "WatermarkPlacement");
}

void to_json(nlohmann::json& j, const WatermarkSettings& value) {
  j = nlohmann::json::object();
  Coding::put(j, "enabled", value.enabled);
  Coding::put(j, "text", value.text);
  Coding::put(j, "imageAssetID", value.imageAssetID);
  Coding::put(j, "fontName", value.fontName);
  Coding::put(j, "size", value.size);
  Coding::put(j, "bold", value.bold);
  Coding::put(j, "italic", value.italic);
  Coding::put(j, "uppercase", value.uppercase);
  Coding::put(j, "textColor", value.textColor);
  Coding::put(j, "shadow", value.shadow);
  Coding::put(j, "opacity", value.opacity);
  Coding::put(j, "boxEnabled", value.boxEnabled);
  Coding::put(j, "boxColor", value.boxColor);
  Coding::put(j, "boxOpacity", value.boxOpacity);
  Coding::put(j, "placement", value.placement);
  Coding::put(j, "showBrand", value.showBrand);
  Coding::put(j, "brandPlacement", value.brandPlacement);
  Coding::put(j, "position", value.position);
  Coding::put(j, "brandPosition", value.brandPosition);
}

void from_json(const nlohmann::json& j, WatermarkSettings& value) {
  value.enabled = Coding::required<bool>(j, "enabled");
  value.text = Coding::required<std::string>(j, "text");
  value.imageAssetID = Coding::optional<Uuid>(j, "imageAssetID");
  value.fontName = Coding::optional<std::string>(j, "fontName");
  value.size = Coding::required<double>(j, "size");
  value.bold = Coding::required<bool>(j, "bold");
  value.italic = Coding::required<bool>(j, "italic");
  value.uppercase = Coding::required<bool>(j, "uppercase");
  value.textColor = Coding::required<RGBAColor>(j, "textColor");
  value.shadow = Coding::required<bool>(j, "shadow");
  value.opacity = Coding::required<double>(j, "opacity");
  value.boxEnabled = Coding::required<bool>(j, "boxEnabled");
  value.boxColor = Coding::required<RGBAColor>(j, "boxColor");
  value.boxOpacity = Coding::required<double>(j, "boxOpacity");
  value.placement = Coding::required<WatermarkPlacement>(j, "placement");
  value.showBrand = Coding::required<bool>(j, "showBrand");
  value.brandPlacement = Coding::optional<WatermarkPlacement>(j, "brandPlacement");
  value.position = Coding::optional<Point>(j, "position");
  value.brandPosition = Coding::optional<Point>(j, "brandPosition");
}

}  // namespace RecorderCore
