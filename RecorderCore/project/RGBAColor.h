// A colour with alpha; every component is a fraction 0…1 (not 0…255).
//
// Components are stored and decoded as given, without clamping, so a value
// outside 0…1 survives a round trip; only hexString() clamps. Agent tools take
// colours as hexadecimal text and hand it to parseHex(). Intentionally
// copyable; compared member-wise.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json_fwd.hpp>

namespace RecorderCore {

struct RGBAColor {
  double r = 0;
  double g = 0;
  double b = 0;
  double a = 1;

  static const RGBAColor black;
  static const RGBAColor white;
  // The product's green, used for click ripples and highlights.
  static const RGBAColor accent;
  static const RGBAColor highlight;

  // Parses "RRGGBB" or "RRGGBBAA" hex text, with an optional leading "#" and
  // spaces or tabs around it; nothing for any other text. The length is
  // counted in user-perceived characters, so a combining mark cannot make a
  // seven-byte text pass as six characters.
  static std::optional<RGBAColor> parseHex(std::string_view text);

  // "#RRGGBB" in upper case, components clamped to 0…1; alpha is not written.
  std::string hexString() const;

  bool operator==(const RGBAColor&) const = default;
};

inline constexpr RGBAColor RGBAColor::black{0, 0, 0, 1};
inline constexpr RGBAColor RGBAColor::white{1, 1, 1, 1};
inline constexpr RGBAColor RGBAColor::accent{0.588, 0.902, 0.631, 1};
inline constexpr RGBAColor RGBAColor::highlight{1.0, 0.75, 0.1, 0.85};

void to_json(nlohmann::json& json, const RGBAColor& value);
void from_json(const nlohmann::json& json, RGBAColor& value);

}  // namespace RecorderCore
