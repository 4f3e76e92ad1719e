#include "RecorderCore/overlays/CaptionStyle.h"

#include "RecorderCore/project/Coding.h"

namespace RecorderCore {

const std::vector<RGBAColor>& CaptionStyle::highlightSwatches() {
  static const std::vector<RGBAColor> swatches{
      defaultHighlight,            // yellow
      {0.588, 0.902, 0.631, 1.0},  // green
      {0.15, 0.95, 0.93, 1.0},     // cyan
      {1.0, 0.25, 0.35, 1.0},      // red
      {1.0, 0.45, 0.85, 1.0},      // pink
      {0.49, 0.3, 1.0, 1.0},       // violet
      {1.0, 0.55, 0.1, 1.0},       // orange
  };
  return swatches;
}

void to_json(nlohmann::json& j, const CaptionStyle& value) {
  j = nlohmann::json::object();
  Coding::put(j, "preset", value.preset);
  Coding::put(j, "fontName", value.fontName);
  Coding::put(j, "size", value.size);
  Coding::put(j, "uppercase", value.uppercase);
  Coding::put(j, "textColor", value.textColor);
  Coding::put(j, "strokeWidth", value.strokeWidth);
  Coding::put(j, "strokeColor", value.strokeColor);
  Coding::put(j, "boxColor", value.boxColor);
  Coding::put(j, "shadow", value.shadow);
  Coding::put(j, "highlightCurrentWord", value.highlightCurrentWord);
  Coding::put(j, "highlightColor", value.highlightColor);
  Coding::put(j, "highlightAsBox", value.highlightAsBox);
  Coding::put(j, "positionY", value.positionY);
  Coding::put(j, "maxWordsPerLine", value.maxWordsPerLine);
  Coding::put(j, "showEmoji", value.showEmoji);
  Coding::put(j, "emojiSize", value.emojiSize);
}

void from_json(const nlohmann::json& j, CaptionStyle& value) {
  value.preset = Coding::required<std::string>(j, "preset");
  value.fontName = Coding::optional<std::string>(j, "fontName");
  value.size = Coding::required<double>(j, "size");
  value.uppercase = Coding::required<bool>(j, "uppercase");
  value.textColor = Coding::required<RGBAColor>(j, "textColor");
  value.strokeWidth = Coding::required<double>(j, "strokeWidth");
  value.strokeColor = Coding::required<RGBAColor>(j, "strokeColor");
  value.boxColor = Coding::optional<RGBAColor>(j, "boxColor");
  value.shadow = Coding::required<bool>(j, "shadow");
  value.highlightCurrentWord = Coding::required<bool>(j, "highlightCurrentWord");
  value.highlightColor = Coding::required<RGBAColor>(j, "highlightColor");
  value.highlightAsBox = Coding::required<bool>(j, "highlightAsBox");
  value.positionY = Coding::required<double>(j, "positionY");
  value.maxWordsPerLine = Coding::required<int>(j, "maxWordsPerLine");
  value.showEmoji = Coding::required<bool>(j, "showEmoji");
  value.emojiSize = Coding::required<double>(j, "emojiSize");
}

}  // namespace RecorderCore
