// Finds where someone speaks on a microphone track.
#pragma once

#include <span>
#include <vector>

#include "RecorderCore/audio/SpeechRange.h"

namespace RecorderCore::SpeechDetector {

// Returns the stretches of speech, in time order, given the loudness of
// consecutive frames of a track (linear RMS or peak amplitude, whichever the
// caller measures) and the length of one frame in seconds.
//
// The threshold adapts to the recording: it sits 8 dB above the noise floor
// (10th percentile) and at most 22 dB below the speech peak (95th
// percentile), so both a quiet and a hot microphone work without settings.
// Runs closer than 0.7 s apart are merged so that short pauses between words
// do not split a sentence, and anything shorter than 0.25 s is dropped as a
// click or a cough.
//
// Returns no ranges when there are fewer than 5 frames, when `frameDuration`
// is not positive, or when the track has no usable contrast (peak less than
// 12 dB above the floor, or peak at or below -50 dB). Levels of 0 (and
// negative or NaN levels) count as silence, -120 dB.
std::vector<SpeechRange> detect(std::span<const float> levels, double frameDuration);

}  // namespace RecorderCore::SpeechDetector
