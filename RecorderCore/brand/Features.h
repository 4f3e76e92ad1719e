// The set of build features a run of the product has switched on.
//
// The Info.plist key "EnabledFeatures" lists them, comma-separated, and the
// environment variable ENABLED_FEATURES overrides it when it is set at all:
// an empty variable turns every feature off. Names are compared in lower case;
// names no Feature knows are kept and do nothing.
//
// Intentionally copyable; current() is built once and then only read.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>

#include "RecorderCore/brand/Feature.h"

namespace RecorderCore {

struct Features {
  // Lower-case feature names.
  std::set<std::string> enabled;

  // Builds the set from the process environment and the string value of
  // "EnabledFeatures" (nothing when the key is missing or not a string).
  Features(const std::map<std::string, std::string>& environment,
           std::optional<std::string> plistValue);

  // The features of the running process: its environment and its main
  // bundle's Info.plist.
  static const Features& current();

  // True when the feature's raw value is in the set.
  bool isEnabled(Feature feature) const;

  bool operator==(const Features&) const = default;
};

}  // namespace RecorderCore
