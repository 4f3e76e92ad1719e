// The look of a project's captions: font, size, colours, outline, box, word
// highlight, vertical position, words per line and the emoji above each
// sentence. Stored inside the caption track, or in the project's own
// `captionStyle` while it has no track.
//
// There is no built-in default style: a style comes from a caption preset;
// a default-constructed value is only a blank to fill in.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "RecorderCore/project/RGBAColor.h"

namespace RecorderCore {

struct CaptionStyle {
  // Id of the preset the style came from ("beast", "clean", …).
  std::string preset;
  // Absent = the system's default font.
  std::optional<std::string> fontName;
  double size = 0;
  // Display only: the stored words keep their case.
  bool uppercase = false;
  RGBAColor textColor = RGBAColor::white;
  // Outline width as a fraction; 0 = no outline.
  double strokeWidth = 0;
  RGBAColor strokeColor = RGBAColor::black;
  // Box behind the line; absent = no box.
  std::optional<RGBAColor> boxColor;
  bool shadow = false;
  bool highlightCurrentWord = false;
  RGBAColor highlightColor = defaultHighlight;
  // true = the spoken word gets a box of highlightColor; false = it is drawn
  // in that colour.
  bool highlightAsBox = false;
  // 0 = top of the canvas, 1 = bottom.
  double positionY = 0;
  // Most words in one cue; values below 1 act as 1.
  int maxWordsPerLine = 1;
  bool showEmoji = false;
  double emojiSize = 0;

  // Yellow, the first of the highlight swatches.
  static const RGBAColor defaultHighlight;
  // The seven colours offered for highlightColor: yellow, green, cyan, red,
  // pink, violet, orange. Built once, then only read.
  static const std::vector<RGBAColor>& highlightSwatches();

  bool operator==(const CaptionStyle&) const = default;
};

inline constexpr RGBAColor CaptionStyle::defaultHighlight{1.0, 0.86, 0.1, 1.0};

void to_json(nlohmann::json& json, const CaptionStyle& value);
void from_json(const nlohmann::json& json, CaptionStyle& value);

}  // namespace RecorderCore
