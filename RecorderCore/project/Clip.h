// One piece of a recorded file on the screen timeline. Clips play one after
// the other in array order, starting the project's `screenStart` seconds into
// the output.
#pragma once

#include <nlohmann/json_fwd.hpp>

#include "RecorderCore/project/Uuid.h"

namespace RecorderCore {

struct Clip {
  Uuid id;
  // The asset played, normally the screen recording.
  Uuid assetID;
  // The piece of the file that plays, in the asset's own seconds.
  double sourceStart = 0;
  double sourceEnd = 0;
  // Playback rate; 1 is normal speed.
  double speed = 1;

  // Seconds this clip occupies on the output: max(0, end − start) / speed, so
  // a clip whose end lies before its start takes no time.
  double outputDuration() const;

  bool operator==(const Clip&) const = default;
};

void to_json(nlohmann::json& json, const Clip& value);
void from_json(const nlohmann::json& json, Clip& value);

}  // namespace RecorderCore
