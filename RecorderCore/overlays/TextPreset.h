// The ready-made looks of a text overlay.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "RecorderCore/overlays/TextStyle.h"
#include "RecorderCore/project/RGBAColor.h"

namespace RecorderCore {

// One look: a text style with its fill colour, offered by the editor and
// chosen by id through the agent's text tool. The list is fixed; values are
// plain and compared field by field.
struct TextPreset {
  std::string id;    // lower case, stable
  std::string name;  // shown to people
  TextStyle style;
  RGBAColor textColor;

  // The six looks in menu order, built once and then only read.
  static const std::vector<TextPreset>& all();

  // Returns the first look whose style and text colour equal the given ones
  // exactly, field by field; nothing when none does. A missing text colour
  // counts as white.
  static std::optional<TextPreset> matching(const TextStyle& style, const std::optional<RGBAColor>& textColor);

  bool operator==(const TextPreset&) const = default;
};

}  // namespace RecorderCore
