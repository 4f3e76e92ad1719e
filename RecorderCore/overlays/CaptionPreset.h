// The six built-in caption looks the editor and the "set_caption_style" tool
// offer by id. Not stored: a project keeps the style itself.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "RecorderCore/overlays/CaptionStyle.h"

namespace RecorderCore {

struct CaptionPreset {
  std::string id;
  std::string name;
  CaptionStyle style;

  // beast, social, pill, boxed, mono, clean — built once, then only read.
  static const std::vector<CaptionPreset>& all();
  // The preset with that id, or nothing.
  static std::optional<CaptionPreset> named(std::string_view id);

  bool operator==(const CaptionPreset&) const = default;
};

}  // namespace RecorderCore
