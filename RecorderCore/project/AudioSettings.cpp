#include "RecorderCore/project/AudioSettings.h"

#include "RecorderCore/project/Coding.h"

namespace RecorderCore {

std::optional<std::string> AudioSettings::processedMicFileName() const {
  if (!micNoiseRemoval && !micLeveling) return std::nullopt;
  std::string name = "mic.clean-";
  if (micNoiseRemoval) name += 'n';
  if (micLeveling) name += 'l';
  return name + ".m4a";
}

void to_json(nlohmann::json& j, const AudioSettings& value) {
  j = nlohmann::json::object();
  Coding::put(j, "micVolume", value.micVolume);
  Coding::put(j, "systemVolume", value.systemVolume);
  Coding::put(j, "micMuted", value.micMuted);
  Coding::put(j, "systemMuted", value.systemMuted);
  Coding::put(j, "micNoiseRemoval", value.micNoiseRemoval);
  Coding::put(j, "micLeveling", value.micLeveling);
  Coding::put(j, "duckMusic", value.duckMusic);
  Coding::put(j, "duckLevel", value.duckLevel);
}

void from_json(const nlohmann::json& j, AudioSettings& value) {
  value.micVolume = Coding::required<double>(j, "micVolume");
  value.systemVolume = Coding::required<double>(j, "systemVolume");
  value.micMuted = Coding::required<bool>(j, "micMuted");
  value.systemMuted = Coding::required<bool>(j, "systemMuted");
  value.micNoiseRemoval = Coding::required<bool>(j, "micNoiseRemoval");
  value.micLeveling = Coding::required<bool>(j, "micLeveling");
  value.duckMusic = Coding::required<bool>(j, "duckMusic");
  value.duckLevel = Coding::required<double>(j, "duckLevel");
}

}  // namespace RecorderCore
