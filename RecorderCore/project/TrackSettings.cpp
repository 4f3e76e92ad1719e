#include "RecorderCore/project/TrackSettings.h"

#include "RecorderCore/project/Coding.h"

namespace RecorderCore {

void to_json(nlohmann::json& j, const TrackFlags& value) {
  j = nlohmann::json::object();
  Coding::put(j, "hidden", value.hidden);
  Coding::put(j, "locked", value.locked);
}

void from_json(const nlohmann::json& j, TrackFlags& value) {
  value.hidden = Coding::required<bool>(j, "hidden");
  value.locked = Coding::required<bool>(j, "locked");
}

void to_json(nlohmann::json& j, const TrackSettings& value) {
  j = nlohmann::json::object();
  Coding::put(j, "screen", value.screen);
  Coding::put(j, "zooms", value.zooms);
  Coding::put(j, "camera", value.camera);
}

void from_json(const nlohmann::json& j, TrackSettings& value) {
  value.screen = Coding::required<TrackFlags>(j, "screen");
  value.zooms = Coding::required<TrackFlags>(j, "zooms");
  value.camera = Coding::required<TrackFlags>(j, "camera");
}

}  // namespace RecorderCore
