#include "RecorderCore/motion/CameraTransition.h"

#include "RecorderCore/project/Coding.h"

namespace RecorderCore {

std::string_view rawValue(CameraTransition transition) {
  switch (transition) {
    case CameraTransition::instant: return "instant";
    case CameraTransition::smooth: return "smooth";
    case CameraTransition::pop: return "pop";
    case CameraTransition::flip: return "flip";
    case CameraTransition::spin: return "spin";
    case CameraTransition::twirl: return "twirl";
    case CameraTransition::bounce: return "bounce";
  }
  return "smooth";
}

std::string_view label(CameraTransition transition) {
  switch (transition) {
    case CameraTransition::instant: return "Instant";
    case CameraTransition::smooth: return "Smooth";
    case CameraTransition::pop: return "Pop";
    case CameraTransition::flip: return "Flip";
    case CameraTransition::spin: return "Spin";
    case CameraTransition::twirl: return "Twirl";
    case CameraTransition::bounce: return "Bounce";
  }
  return "Smooth";
}

void to_json(nlohmann::json& j, CameraTransition value) { j = std::string(rawValue(value)); }

void from_json(const nlohmann::json& j, CameraTransition& value) {
  value = Coding::decodeEnum<CameraTransition>(j, allCameraTransitions, "CameraTransition");
}

}  // namespace RecorderCore
