// Readable failure messages for the audio values.
#pragma once

#include <ostream>

#include "RecorderCore/audio/SpeechRange.h"

namespace RecorderCore {

inline void PrintTo(const SpeechRange& range, std::ostream* out) {
  *out << "[" << range.start << ", " << range.end << "]";
}

inline void PrintTo(const VolumePoint& point, std::ostream* out) {
  *out << "(" << point.time << ", " << point.volume << ")";
}

}  // namespace RecorderCore
