// A saved look with a name: what a person keeps to style other projects
// with. The images the look refers to travel beside the preset as files;
// `files` pairs each referenced asset id with the name of its file.
#pragma once

#include <map>
#include <string>

#include <nlohmann/json_fwd.hpp>

#include "RecorderCore/project/Coding.h"
#include "RecorderCore/project/Look.h"
#include "RecorderCore/project/Uuid.h"

namespace RecorderCore {

struct LookPreset {
  Uuid id;
  // The name shown to people.
  std::string name;
  Date savedAt{};
  Look look;
  // Asset id (as the look refers to it) → file name beside the preset.
  std::map<Uuid, std::string> files;

  bool operator==(const LookPreset&) const = default;
};

// JSON keys are the field names; `savedAt` is ISO 8601 text. `files` is a
// flat array of alternating keys and values (see LookPreset.cpp).
void to_json(nlohmann::json& json, const LookPreset& value);
void from_json(const nlohmann::json& json, LookPreset& value);

}  // namespace RecorderCore
