// Uuid: a 128-bit identifier of projects, assets, clips, zooms, keyframes,
// media items and caption words. Written in JSON as the canonical upper-case
// hyphenated text ("E621E1F8-C36C-495A-93FC-0C247A3E6E5F"). Intentionally
// copyable; ordered so it can key a std::map.
#pragma once

#include <array>
#include <compare>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace RecorderCore {

struct Uuid {
  std::array<std::uint8_t, 16> bytes{};

  // A new random (version 4) identifier.
  static Uuid random();
  // Parses the hyphenated 8-4-4-4-12 text, hex digits in either case; nothing
  // for any other text.
  static std::optional<Uuid> parse(std::string_view text);
  // The canonical upper-case hyphenated text.
  std::string uuidString() const;

  friend auto operator<=>(const Uuid&, const Uuid&) = default;
  friend bool operator==(const Uuid&, const Uuid&) = default;
};

}  // namespace RecorderCore

template <>
struct std::hash<RecorderCore::Uuid> {
  std::size_t operator()(const RecorderCore::Uuid& id) const noexcept {
    std::size_t h = 0;
    for (auto b : id.bytes) h = h * 131 + b;
    return h;
  }
};
