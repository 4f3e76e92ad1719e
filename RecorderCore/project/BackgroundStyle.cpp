#include "RecorderCore/project/BackgroundStyle.h"

#include <optional>
#include <utility>

#include "RecorderCore/project/Coding.h"

namespace RecorderCore {

using nlohmann::json;

BackgroundStyle::BackgroundStyle() : value(defaultBackground().value) {}

const BackgroundStyle& BackgroundStyle::defaultBackground() {
  static const BackgroundStyle shared = Value{Gradient{
      RGBAColor::parseHex("#D4FC79").value(),
      RGBAColor::parseHex("#96E6A1").value(),
      135,
  }};
  return shared;
}

std::string_view BackgroundStyle::caseName() const {
  struct Name {
    std::string_view operator()(const Solid&) const { return "solid"; }
    std::string_view operator()(const Gradient&) const { return "gradient"; }
    std::string_view operator()(const Image&) const { return "image"; }
    std::string_view operator()(const BlurredWallpaper&) const { return "blurredWallpaper"; }
  };
  return std::visit(Name{}, value);
}

void to_json(json& j, const BackgroundStyle& value) {
  struct Payload {
    json operator()(const BackgroundStyle::Solid& c) const {
      json p = json::object();
      Coding::put(p, "_0", c.color);
      return p;
    }
    json operator()(const BackgroundStyle::Gradient& c) const {
      json p = json::object();
      Coding::put(p, "from", c.from);
      Coding::put(p, "to", c.to);
      Coding::put(p, "angle", c.angle);
      return p;
    }
    json operator()(const BackgroundStyle::Image& c) const {
      json p = json::object();
      Coding::put(p, "assetID", c.assetID);
      return p;
    }
    json operator()(const BackgroundStyle::BlurredWallpaper& c) const {
      json p = json::object();
      Coding::put(p, "assetID", c.assetID);
      Coding::put(p, "blurRadius", c.blurRadius);
      return p;
    }
  };
  j = json::object();
  j[std::string(value.caseName())] = std::visit(Payload{}, value.value);
}

namespace {

// Decodes the payload of the case `name`; nothing when no case has that name.
std::optional<BackgroundStyle::Value> decodeCase(const std::string& name, const json& payload) {
  if (name == "solid") return BackgroundStyle::Solid{Coding::required<RGBAColor>(payload, "_0")};
  if (name == "gradient") {
    return BackgroundStyle::Gradient{Coding::required<RGBAColor>(payload, "from"),
                                     Coding::required<RGBAColor>(payload, "to"),
                                     Coding::required<double>(payload, "angle")};
  }
  if (name == "image") return BackgroundStyle::Image{Coding::required<Uuid>(payload, "assetID")};
  if (name == "blurredWallpaper") {
    return BackgroundStyle::BlurredWallpaper{Coding::required<Uuid>(payload, "assetID"),
                                             Coding::required<double>(payload, "blurRadius")};
  }
  return std::nullopt;
}

}  // namespace

void from_json(const json& j, BackgroundStyle& value) {
  const auto [name, payload] = Coding::singleKey(j);
  std::optional<BackgroundStyle::Value> decoded;
  try {
    decoded = decodeCase(name, *payload);
  } catch (const DecodingError& error) {
    throw error.nested(name);
  }
  // A case this version does not know: no key of the object names a case, so
  // it is the same fault as an object without keys.
  if (!decoded) Coding::fail("", "Invalid number of keys found, expected one.");
  value.value = std::move(*decoded);
}

}  // namespace RecorderCore
