// The plain values the audio analysis hands out: where someone speaks, and
// the points of a volume envelope.
#pragma once

namespace RecorderCore {

// A stretch of a track where someone speaks, in seconds on that track's
// timeline; `start` <= `end`. Intentionally copyable.
struct SpeechRange {
  double start = 0;
  double end = 0;

  friend bool operator==(const SpeechRange&, const SpeechRange&) = default;
};

// One point of a volume envelope: at `time` seconds the sound plays at
// `volume` (linear gain, 1 = unchanged). A renderer interpolates linearly
// between consecutive points.
struct VolumePoint {
  double time = 0;
  double volume = 1;

  friend bool operator==(const VolumePoint&, const VolumePoint&) = default;
};

}  // namespace RecorderCore
