// The project's mix of the recorded microphone and system sound. A
// default-constructed value holds the defaults of a new project.
#pragma once

#include <optional>
#include <string>

#include <nlohmann/json_fwd.hpp>

namespace RecorderCore {

struct AudioSettings {
  double micVolume = 1.0;
  double systemVolume = 1.0;
  bool micMuted = false;
  bool systemMuted = false;
  bool micNoiseRemoval = false;
  bool micLeveling = false;
  // Lower music while someone speaks, to duckLevel.
  bool duckMusic = false;
  double duckLevel = 0.25;

  // The file name of the cached processed copy of the microphone track for
  // this combination of switches: "mic.clean-" + "n" (noise removal) + "l"
  // (levelling) + ".m4a"; nothing when neither is on.
  std::optional<std::string> processedMicFileName() const;

  bool operator==(const AudioSettings&) const = default;
};

void to_json(nlohmann::json& json, const AudioSettings& value);
void from_json(const nlohmann::json& json, AudioSettings& value);

}  // namespace RecorderCore
