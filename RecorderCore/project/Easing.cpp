#include "RecorderCore/project/Easing.h"

#include <cmath>

#include "RecorderCore/project/Coding.h"

namespace RecorderCore {

std::string_view rawValue(Easing easing) {
  switch (easing) {
    case Easing::linear: return "linear";
    case Easing::easeInOut: return "easeInOut";
    case Easing::easeOut: return "easeOut";
    case Easing::spring: return "spring";
  }
  return "linear";
}

std::string_view label(Easing easing) {
  switch (easing) {
    case Easing::linear: return "Linear";
    case Easing::easeInOut: return "Ease in & out";
    case Easing::easeOut: return "Ease out";
    case Easing::spring: return "Spring";
  }
  return "Linear";
}

double evaluate(Easing easing, double t) {
  // NaN falls to 0 with the lower clamp, like any t at or below 0.
  const double x = !(t > 0) ? 0 : (t > 1 ? 1 : t);
  switch (easing) {
    case Easing::linear:
      return x;
    case Easing::easeInOut:
      return x < 0.5 ? 4 * x * x * x : 1 - std::pow(2 - 2 * x, 3) / 2;
    case Easing::easeOut:
      return 1 - std::pow(1 - x, 3);
    case Easing::spring:
      // Elastic ease out: overshoots above 1 before settling.
      if (x == 0) return 0;
      if (x == 1) return 1;
      return std::exp2(-10 * x) * std::sin((10 * x - 0.75) * 2.0943951023931953) + 1;
  }
  return x;
}

void to_json(nlohmann::json& j, Easing value) { j = std::string(rawValue(value)); }

void from_json(const nlohmann::json& j, Easing& value) { value = Coding::decodeEnum<Easing>(j, allEasings, "Easing"); }

}  // namespace RecorderCore
