#include "RecorderCore/project/CursorSettings.h"

#include "RecorderCore/project/Coding.h"

namespace RecorderCore {

std::string_view rawValue(CursorStyle style) {
  switch (style) {
    case CursorStyle::arrow: return "arrow";
    case CursorStyle::dot: return "dot";
    case CursorStyle::ring: return "ring";
  }
  return "arrow";
}

void to_json(nlohmann::json& j, CursorStyle value) { j = std::string(rawValue(value)); }

void from_json(const nlohmann::json& j, CursorStyle& value) {
  value = Coding::decodeEnum<CursorStyle>(j, allCursorStyles, "CursorStyle");
}

void to_json(nlohmann::json& j, const CursorSettings& value) {
  j = nlohmann::json::object();
  Coding::put(j, "visible", value.visible);
  Coding::put(j, "size", value.size);
  Coding::put(j, "style", value.style);
  Coding::put(j, "smoothing", value.smoothing);
  Coding::put(j, "clickRipples", value.clickRipples);
  Coding::put(j, "clickHighlightColor", value.clickHighlightColor);
  Coding::put(j, "hideWhenIdleAfter", value.hideWhenIdleAfter);
  Coding::put(j, "tint", value.tint);
}

void from_json(const nlohmann::json& j, CursorSettings& value) {
  value.visible = Coding::required<bool>(j, "visible");
  value.size = Coding::required<double>(j, "size");
  value.style = Coding::required<CursorStyle>(j, "style");
  value.smoothing = Coding::required<double>(j, "smoothing");
  value.clickRipples = Coding::required<bool>(j, "clickRipples");
  value.clickHighlightColor = Coding::required<RGBAColor>(j, "clickHighlightColor");
  value.hideWhenIdleAfter = Coding::required<double>(j, "hideWhenIdleAfter");
  value.tint = Coding::optional<RGBAColor>(j, "tint");
}

}  // namespace RecorderCore
