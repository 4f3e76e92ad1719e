// The hidden and locked switches of the three fixed timeline tracks.
#pragma once

#include <nlohmann/json_fwd.hpp>

namespace RecorderCore {

struct TrackFlags {
  bool hidden = false;
  bool locked = false;

  bool operator==(const TrackFlags&) const = default;
};

struct TrackSettings {
  TrackFlags screen;
  TrackFlags zooms;
  TrackFlags camera;

  bool operator==(const TrackSettings&) const = default;
};

void to_json(nlohmann::json& json, const TrackFlags& value);
void from_json(const nlohmann::json& json, TrackFlags& value);
void to_json(nlohmann::json& json, const TrackSettings& value);
void from_json(const nlohmann::json& json, TrackSettings& value);

}  // namespace RecorderCore
