#include "RecorderCore/overlays/TextPreset.h"

namespace RecorderCore {
namespace {

// The values a look uses unless it says otherwise: the system font, upright,
// black outline and box colours, an opaque box with rounded corners.
TextStyle baseStyle() {
  TextStyle style;
  style.fontName = std::nullopt;
  style.bold = false;
  style.italic = false;
  style.uppercase = false;
  style.strokeWidth = 0;
  style.strokeColor = RGBAColor::black;
  style.shadow = false;
  style.boxEnabled = false;
  style.boxColor = RGBAColor::black;
  style.boxOpacity = 1;
  style.cornerRadius = 0.25;
  style.padding = 0.45;
  return style;
}

std::vector<TextPreset> makePresets() {
  std::vector<TextPreset> presets;

  // Bold white text.
  TextStyle plain = baseStyle();
  plain.bold = true;
  presets.push_back({"plain", "Plain", plain, RGBAColor::white});

  // Black text on a white rounded box.
  TextStyle label = baseStyle();
  label.bold = true;
  label.boxEnabled = true;
  label.boxColor = RGBAColor::white;
  label.cornerRadius = 0.22;
  presets.push_back({"label", "Label", label, RGBAColor::black});

  // White text on an 85 % black pill.
  TextStyle pill = baseStyle();
  pill.bold = true;
  pill.boxEnabled = true;
  pill.boxOpacity = 0.85;
  pill.cornerRadius = 0.5;
  pill.padding = 0.55;
  presets.push_back({"pill", "Pill", pill, RGBAColor::white});

  // The big outlined look: white capitals in Impact, black outline, shadow.
  TextStyle beast = baseStyle();
  beast.fontName = "Impact";
  beast.uppercase = true;
  beast.strokeWidth = 0.09;
  beast.shadow = true;
  presets.push_back({"beast", "Beast", beast, RGBAColor::white});

  // White text on a square black box.
  TextStyle boxed = baseStyle();
  boxed.bold = true;
  boxed.boxEnabled = true;
  boxed.cornerRadius = 0;
  presets.push_back({"boxed", "Boxed", boxed, RGBAColor::white});

  // Black text on a yellow box.
  TextStyle marker = baseStyle();
  marker.bold = true;
  marker.boxEnabled = true;
  marker.boxColor = RGBAColor{1, 0.86, 0.1, 1};
  marker.cornerRadius = 0.12;
  marker.padding = 0.35;
  presets.push_back({"marker", "Marker", marker, RGBAColor::black});

  return presets;
}

}  // namespace

const std::vector<TextPreset>& TextPreset::all() {
  static const std::vector<TextPreset> presets = makePresets();
  return presets;
}

std::optional<TextPreset> TextPreset::matching(const TextStyle& style, const std::optional<RGBAColor>& textColor) {
  const RGBAColor color = textColor.value_or(RGBAColor::white);
  for (const TextPreset& preset : all()) {
    if (preset.style == style && preset.textColor == color) return preset;
  }
  return std::nullopt;
}

}  // namespace RecorderCore
