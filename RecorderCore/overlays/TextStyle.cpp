#include "RecorderCore/overlays/TextStyle.h"

#include "RecorderCore/project/Coding.h"

namespace RecorderCore {

void to_json(nlohmann::json& j, const TextStyle& value) {
  j = nlohmann::json::object();
  Coding::put(j, "fontName", value.fontName);
  Coding::put(j, "bold", value.bold);
  Coding::put(j, "italic", value.italic);
  Coding::put(j, "uppercase", value.uppercase);
  Coding::put(j, "strokeWidth", value.strokeWidth);
  Coding::put(j, "strokeColor", value.strokeColor);
  Coding::put(j, "shadow", value.shadow);
  Coding::put(j, "boxEnabled", value.boxEnabled);
  Coding::put(j, "boxColor", value.boxColor);
  Coding::put(j, "boxOpacity", value.boxOpacity);
  Coding::put(j, "cornerRadius", value.cornerRadius);
  Coding::put(j, "padding", value.padding);
}

void from_json(const nlohmann::json& j, TextStyle& value) {
  value.fontName = Coding::optional<std::string>(j, "fontName");
  value.bold = Coding::required<bool>(j, "bold");
  value.italic = Coding::required<bool>(j, "italic");
  value.uppercase = Coding::required<bool>(j, "uppercase");
  value.strokeWidth = Coding::required<double>(j, "strokeWidth");
  value.strokeColor = Coding::required<RGBAColor>(j, "strokeColor");
  value.shadow = Coding::required<bool>(j, "shadow");
  value.boxEnabled = Coding::required<bool>(j, "boxEnabled");
  value.boxColor = Coding::required<RGBAColor>(j, "boxColor");
  value.boxOpacity = Coding::required<double>(j, "boxOpacity");
  value.cornerRadius = Coding::required<double>(j, "cornerRadius");
  value.padding = Coding::required<double>(j, "padding");
}

}  // namespace RecorderCore
