// What shows behind the recording: a solid colour, a gradient, an image asset
// or a blurred wallpaper image.
//
// Stored as an object with exactly one key, the case name, holding the
// payload's fields ({"solid": {"_0": colour}}, {"gradient": {"from", "to",
// "angle"}}, …). Any other number of keys, or an unknown case name, fails with
// "Invalid number of keys found, expected one.".
//
// A default-constructed BackgroundStyle is the shared default gradient.
#pragma once

#include <string_view>
#include <variant>

#include <nlohmann/json_fwd.hpp>

#include "RecorderCore/project/RGBAColor.h"
#include "RecorderCore/project/Uuid.h"

namespace RecorderCore {

struct BackgroundStyle {
  struct Solid {
    RGBAColor color;  // unlabelled: "_0" in JSON
    bool operator==(const Solid&) const = default;
  };
  struct Gradient {
    RGBAColor from;
    RGBAColor to;
    double angle = 0;
    bool operator==(const Gradient&) const = default;
  };
  struct Image {
    Uuid assetID;
    bool operator==(const Image&) const = default;
  };
  struct BlurredWallpaper {
    Uuid assetID;
    double blurRadius = 0;
    bool operator==(const BlurredWallpaper&) const = default;
  };
  using Value = std::variant<Solid, Gradient, Image, BlurredWallpaper>;

  Value value;

  // The default gradient.
  BackgroundStyle();
  BackgroundStyle(Value caseValue) : value(std::move(caseValue)) {}  // NOLINT: a case converts implicitly

  static BackgroundStyle solid(RGBAColor color) { return Value{Solid{color}}; }
  static BackgroundStyle gradient(RGBAColor from, RGBAColor to, double angle) {
    return Value{Gradient{from, to, angle}};
  }
  static BackgroundStyle image(Uuid assetID) { return Value{Image{assetID}}; }
  static BackgroundStyle blurredWallpaper(Uuid assetID, double blurRadius) {
    return Value{BlurredWallpaper{assetID, blurRadius}};
  }

  // The gradient from #D4FC79 to #96E6A1 at 135°, built once on first use and
  // shared by every new project.
  static const BackgroundStyle& defaultBackground();

  // The case name, as the JSON key: "solid", "gradient", "image" or
  // "blurredWallpaper".
  std::string_view caseName() const;

  bool operator==(const BackgroundStyle&) const = default;
};

void to_json(nlohmann::json& json, const BackgroundStyle& value);
void from_json(const nlohmann::json& json, BackgroundStyle& value);

}  // namespace RecorderCore
