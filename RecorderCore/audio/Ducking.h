// Lowers music and other media while someone speaks.
#pragma once

#include <span>
#include <vector>

#include "RecorderCore/audio/SpeechRange.h"
#include "RecorderCore/project/MediaItem.h"

namespace RecorderCore::Ducking {

// Seconds. The volume is fully down `lead` before speech starts, after a ramp
// of `fadeDown` that ends there; after speech it comes back up over `fadeUp`.
// The lead keeps the first syllable clear of the music; the slow recovery
// keeps the music from pumping between sentences.
inline constexpr double lead = 0.15;
inline constexpr double fadeDown = 0.3;
inline constexpr double fadeUp = 0.9;

// Returns the factor (between `level` and 1) that ducking applies at time `t`
// given the speech ranges. Where the ramps of several ranges overlap the
// lowest factor wins, so ranges never stack below `level`. With no speech
// the factor is 1.
double gain(double t, std::span<const SpeechRange> speech, double level);

// Returns the volume envelope of `item` over its span, sorted by time: a
// point at the item's start and end, where its fades end, and where the
// ducking ramps of each speech range start and end inside the item. The
// volume at each point is the item's `volume` times its fades times the
// ducking factor, 0 throughout when the item is muted; linear interpolation
// between the points reproduces the whole curve. `level` is clamped to 0…1.
std::vector<VolumePoint> envelope(const MediaItem& item, std::span<const SpeechRange> speech, double level);

}  // namespace RecorderCore::Ducking
