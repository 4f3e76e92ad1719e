// A project's captions: a flat list of timed words in recording (source)
// time, as transcribed and then edited, with the look they are shown in.
// The stored order of the words is not trusted: whatever needs order sorts by
// `start` itself.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "RecorderCore/overlays/CaptionStyle.h"
#include "RecorderCore/project/Uuid.h"

namespace RecorderCore {

struct CaptionWord {
  // Kept through edits.
  Uuid id;
  // The word with its punctuation attached.
  std::string text;
  // Seconds in the recording's own time.
  double start = 0;
  double end = 0;
  // An explicit line break: true = this word begins a caption line, false =
  // it never does; absent = the automatic rules decide.
  std::optional<bool> lineStart;

  bool operator==(const CaptionWord&) const = default;
};

struct CaptionTrack {
  std::vector<CaptionWord> words;
  CaptionStyle style;
  // The captions are not shown while true.
  bool hidden = false;
  // The transcription language code.
  std::optional<std::string> language;

  bool operator==(const CaptionTrack&) const = default;
};

void to_json(nlohmann::json& json, const CaptionWord& value);
void from_json(const nlohmann::json& json, CaptionWord& value);
void to_json(nlohmann::json& json, const CaptionTrack& value);
void from_json(const nlohmann::json& json, CaptionTrack& value);

}  // namespace RecorderCore
