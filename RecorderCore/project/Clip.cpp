#include "RecorderCore/project/Clip.h"

#include <algorithm>

#include "RecorderCore/project/Coding.h"

namespace RecorderCore {

double Clip::outputDuration() const { return std::max(0.0, sourceEnd - sourceStart) / speed; }

void to_json(nlohmann::json& j, const Clip& value) {
  j = nlohmann::json::object();
  Coding::put(j, "id", value.id);
  Coding::put(j, "assetID", value.assetID);
  Coding::put(j, "sourceStart", value.sourceStart);
  Coding::put(j, "sourceEnd", value.sourceEnd);
  Coding::put(j, "speed", value.speed);
}

void from_json(const nlohmann::json& j, Clip& value) {
  value.id = Coding::required<Uuid>(j, "id");
  value.assetID = Coding::required<Uuid>(j, "assetID");
  value.sourceStart = Coding::required<double>(j, "sourceStart");
  value.sourceEnd = Coding::required<double>(j, "sourceEnd");
  value.speed = Coding::required<double>(j, "speed");
}

}  // namespace RecorderCore
