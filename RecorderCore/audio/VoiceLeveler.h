// Streaming automatic gain control for a voice track.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

namespace RecorderCore {

// Evens out the loudness of a voice: measures the RMS of each 20 ms block,
// steers a gain towards `target` (fast down, slow up), holds the gain through
// pauses so breaths and room noise are not pumped up, ramps the gain linearly
// across each block so changes never click, and soft-clips peaks so the
// output stays below `ceiling`.
//
// Usage: create one per stream with its sample rate, pass successive buffers
// of mono samples to process() and call flush() at the end. Output comes in
// whole blocks, so process() may return fewer samples than it was given; the
// rest waits in pending(). Because the state only advances block by block,
// splitting the same input into buffers of any sizes gives bit-identical
// output.
//
// All arithmetic is single precision, as on the audio thread. A value with
// mutable state: one owner, not thread-safe. Intentionally copyable.
class VoiceLeveler {
 public:
  // A leveller with a block of max(64, floor(sampleRate * 0.02)) samples.
  // A rate that is not a finite number gives the smallest block, 64 samples;
  // an absurdly large one is capped so the block length stays countable.
  explicit VoiceLeveler(double sampleRate);

  // Returns the levelled samples of every whole block now available (the
  // previous remainder first, then `samples`); keeps the rest pending.
  std::vector<float> process(std::span<const float> samples);

  // Levels whatever is pending as one final, shorter block, returns it and
  // empties pending(). Returns nothing when nothing is pending.
  std::vector<float> flush();

  // Target RMS loudness, linear amplitude.
  float target = 0.1f;
  // Bounds of the gain.
  float maxGain = 6.0f;
  float minGain = 0.35f;
  // Output peaks stay below this, linear amplitude.
  float ceiling = 0.89f;

  // Block length in samples, fixed at construction.
  std::size_t window() const { return window_; }
  // Block RMS above which the voice counts as present, fixed.
  float gateOpen() const { return gateOpen_; }

  // The gain reached at the end of the last block.
  float gain = 1.0f;
  // Smoothed loudness of the voiced blocks so far; 0 until the first one.
  float loudness = 0.0f;

  // Input samples not yet levelled: fewer than one block after process().
  const std::vector<float>& pending() const { return pending_; }

 private:
  // Levels `length` samples at `block` as one block and appends them to `out`.
  void processBlock(const float* block, std::size_t length, std::vector<float>& out);

  std::size_t window_;
  float gateOpen_ = 0.006f;
  std::vector<float> pending_;
};

}  // namespace RecorderCore
