#include "RecorderCore/project/ZoomSegment.h"

#include "RecorderCore/project/Coding.h"

namespace RecorderCore {

void to_json(nlohmann::json& j, const ZoomKeyframe& value) {
  j = nlohmann::json::object();
  Coding::put(j, "id", value.id);
  Coding::put(j, "time", value.time);
  Coding::put(j, "rect", value.rect);
}

void from_json(const nlohmann::json& j, ZoomKeyframe& value) {
  value.id = Coding::required<Uuid>(j, "id");
  value.time = Coding::required<double>(j, "time");
  value.rect = Coding::required<Rect>(j, "rect");
}

void to_json(nlohmann::json& j, const ZoomSegment& value) {
  j = nlohmann::json::object();
  Coding::put(j, "id", value.id);
  Coding::put(j, "start", value.start);
  Coding::put(j, "end", value.end);
  Coding::put(j, "rect", value.rect);
  Coding::put(j, "inDuration", value.inDuration);
  Coding::put(j, "outDuration", value.outDuration);
  Coding::put(j, "easing", value.easing);
  Coding::put(j, "isAuto", value.isAuto);
  Coding::put(j, "keyframes", value.keyframes);
}

void from_json(const nlohmann::json& j, ZoomSegment& value) {
  value.id = Coding::required<Uuid>(j, "id");
  value.start = Coding::required<double>(j, "start");
  value.end = Coding::required<double>(j, "end");
  value.rect = Coding::required<Rect>(j, "rect");
  value.inDuration = Coding::required<double>(j, "inDuration");
  value.outDuration = Coding::required<double>(j, "outDuration");
  value.easing = Coding::required<Easing>(j, "easing");
  value.isAuto = Coding::required<bool>(j, "isAuto");
  value.keyframes = Coding::required<std::vector<ZoomKeyframe>>(j, "keyframes");
}

}  // namespace RecorderCore
