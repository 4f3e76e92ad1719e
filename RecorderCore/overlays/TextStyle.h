// How the words of a text overlay are drawn: font, weight, slant, case,
// outline, shadow and an optional box behind the text. The item's own
// `textColor` gives the fill colour.
#pragma once

#include <optional>
#include <string>

#include <nlohmann/json_fwd.hpp>

#include "RecorderCore/project/RGBAColor.h"

namespace RecorderCore {

struct TextStyle {
  // Absent = the system font.
  std::optional<std::string> fontName;
  bool bold = false;
  bool italic = false;
  bool uppercase = false;
  // Outline width as a fraction; 0 = no outline.
  double strokeWidth = 0;
  RGBAColor strokeColor = RGBAColor::black;
  bool shadow = false;
  bool boxEnabled = false;
  RGBAColor boxColor = RGBAColor::black;
  double boxOpacity = 1;
  // Box corner radius as a fraction; 0 = square corners, 0.5 = a pill.
  double cornerRadius = 0;
  // Space between text and box edge as a fraction.
  double padding = 0;

  bool operator==(const TextStyle&) const = default;
};

void to_json(nlohmann::json& json, const TextStyle& value);
void from_json(const nlohmann::json& json, TextStyle& value);

}  // namespace RecorderCore
