// How the recorded pointer is redrawn. A default-constructed value holds the
// defaults of a new project.
#pragma once

#include <array>
#include <optional>
#include <string_view>

#include <nlohmann/json_fwd.hpp>

#include "RecorderCore/project/RGBAColor.h"

namespace RecorderCore {

enum class CursorStyle { arrow, dot, ring };

inline constexpr std::array allCursorStyles{CursorStyle::arrow, CursorStyle::dot, CursorStyle::ring};

std::string_view rawValue(CursorStyle style);

struct CursorSettings {
  bool visible = true;
  double size = 3.0;
  CursorStyle style = CursorStyle::arrow;
  double smoothing = 0.6;
  bool clickRipples = true;
  RGBAColor clickHighlightColor{0.588, 0.902, 0.631, 0.85};
  // Seconds of stillness after which the cursor is hidden; 0 never hides it.
  double hideWhenIdleAfter = 0;
  std::optional<RGBAColor> tint;

  bool operator==(const CursorSettings&) const = default;
};

void to_json(nlohmann::json& json, CursorStyle value);
void from_json(const nlohmann::json& json, CursorStyle& value);
void to_json(nlohmann::json& json, const CursorSettings& value);
void from_json(const nlohmann::json& json, CursorSettings& value);

}  // namespace RecorderCore
