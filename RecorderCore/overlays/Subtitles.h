// SubRip subtitle text of a project's captions (Project::subtitleText) and
// its timestamp format.
#pragma once

#include <string>

namespace RecorderCore {

// "HH:MM:SS,mmm" of a time in seconds: milliseconds rounded half away from
// zero, negative times as zero, hours not wrapping at 24.
std::string subtitleTimestamp(double seconds);

}  // namespace RecorderCore
