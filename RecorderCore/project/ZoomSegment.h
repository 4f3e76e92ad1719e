// A zoom into part of the recording over a span of output time, made by hand
// or by the automatic zoom generator.
#pragma once

#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "RecorderCore/project/Easing.h"
#include "RecorderCore/project/Geometry.h"
#include "RecorderCore/project/Uuid.h"

namespace RecorderCore {

// A pan position inside a zoom: at output time `time` the zoomed area is `rect`.
struct ZoomKeyframe {
  Uuid id;
  double time = 0;
  Rect rect;

  bool operator==(const ZoomKeyframe&) const = default;
};

struct ZoomSegment {
  Uuid id;
  // Output seconds.
  double start = 0;
  double end = 0;
  // The area zoomed into, as fractions of the recording (0,0 top left; a
  // width and height of 0.5 is a two-fold zoom).
  Rect rect;
  // Seconds of the transitions into and out of the zoom.
  double inDuration = 0;
  double outDuration = 0;
  Easing easing = Easing::easeInOut;
  // Made by the automatic zoom generator; regenerating replaces only these.
  bool isAuto = false;
  std::vector<ZoomKeyframe> keyframes;

  bool operator==(const ZoomSegment&) const = default;
};

void to_json(nlohmann::json& json, const ZoomKeyframe& value);
void from_json(const nlohmann::json& json, ZoomKeyframe& value);
void to_json(nlohmann::json& json, const ZoomSegment& value);
void from_json(const nlohmann::json& json, ZoomSegment& value);

}  // namespace RecorderCore
