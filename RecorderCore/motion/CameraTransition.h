// The animation of the camera when its layout changes. Stored as the raw
// string (the case name); an unknown string fails to decode.
#pragma once

#include <array>
#include <string_view>

#include <nlohmann/json_fwd.hpp>

namespace RecorderCore {

enum class CameraTransition { instant, smooth, pop, flip, spin, twirl, bounce };

inline constexpr std::array allCameraTransitions{
    CameraTransition::instant, CameraTransition::smooth, CameraTransition::pop,   CameraTransition::flip,
    CameraTransition::spin,    CameraTransition::twirl,  CameraTransition::bounce};

// Seconds of a transition when the settings name none.
inline constexpr double cameraTransitionDefaultDuration = 0.6;

std::string_view rawValue(CameraTransition transition);
// The name people see, e.g. "Twirl".
std::string_view label(CameraTransition transition);

void to_json(nlohmann::json& json, CameraTransition value);
void from_json(const nlohmann::json& json, CameraTransition& value);

}  // namespace RecorderCore
