// One caption line as shown: the words of a cue placed on the output
// timeline, with the emoji of its sentence. Derived from the caption track
// whenever needed (Project::captionCues), never stored.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "RecorderCore/project/Uuid.h"

namespace RecorderCore {

struct CaptionCue {
  struct Word {
    Uuid id;           // the caption word it comes from
    std::string text;  // trimmed
    double start = 0;  // output seconds
    double end = 0;
    bool operator==(const Word&) const = default;
  };

  // How long a cue stays up after its last word, unless the next cue starts
  // earlier.
  static constexpr double hold = 0.6;

  std::vector<Word> words;
  std::optional<std::string> emoji;
  // Output seconds from which the emoji is shown.
  double emojiStart = 0;

  // The words' texts joined with one space.
  std::string text() const;
  // The first word's start; 0 for a cue without words.
  double start() const;
  // The last word's end; 0 for a cue without words.
  double lastWordEnd() const;
  // Index of the last word whose start is at or before t; nothing when t is
  // before the first word.
  std::optional<std::size_t> currentWordIndex(double t) const;

  // When cue `index` of `cues` leaves the screen: its last word's end plus the
  // hold, or the next cue's start when that comes first.
  static double endTime(const std::vector<CaptionCue>& cues, std::size_t index);

  bool operator==(const CaptionCue&) const = default;
};

// The caption on screen at one moment, with the spoken word's index when the
// style highlights it.
struct ActiveCaption {
  CaptionCue cue;
  std::optional<std::size_t> wordIndex;
  bool operator==(const ActiveCaption&) const = default;
};

}  // namespace RecorderCore
