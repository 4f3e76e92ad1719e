// The optional parts a build of the product can contain. Which ones a given
// build has switched on is decided at run time by Features.
#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace RecorderCore {

enum class Feature {
  // Agent control: the agent bridge and the app's agent socket.
  mcp,
};

inline constexpr std::array allFeatures{Feature::mcp};

// The feature's name as it is written in "EnabledFeatures" and
// ENABLED_FEATURES.
constexpr std::string_view rawValue(Feature feature) {
  switch (feature) {
    case Feature::mcp:
      return "mcp";
  }
  return {};
}

// The feature with this raw value; nothing for a name no case has.
constexpr std::optional<Feature> featureFromRawValue(std::string_view raw) {
  for (Feature feature : allFeatures) {
    if (rawValue(feature) == raw) return feature;
  }
  return std::nullopt;
}

}  // namespace RecorderCore
