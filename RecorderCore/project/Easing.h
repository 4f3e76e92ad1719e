// The easing curves of zoom transitions. Stored as the raw string (the case
// name); an unknown string fails to decode.
#pragma once

#include <array>
#include <string_view>

#include <nlohmann/json_fwd.hpp>

namespace RecorderCore {

enum class Easing { linear, easeInOut, easeOut, spring };

inline constexpr std::array allEasings{Easing::linear, Easing::easeInOut, Easing::easeOut, Easing::spring};

std::string_view rawValue(Easing easing);
// The name people see in the editor, e.g. "Ease in & out".
std::string_view label(Easing easing);
// The curve's value at progress t; t is clamped to 0…1 first, and every curve
// gives 0 at 0 and 1 at 1 (spring overshoots above 1 in between).
double evaluate(Easing easing, double t);

void to_json(nlohmann::json& json, Easing value);
void from_json(const nlohmann::json& json, Easing& value);

}  // namespace RecorderCore
