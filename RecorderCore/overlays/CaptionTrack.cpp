#include "RecorderCore/overlays/CaptionTrack.h"

#include "RecorderCore/project/Coding.h"

namespace RecorderCore {

void to_json(nlohmann::json& j, const CaptionWord& value) {
  j = nlohmann::json::object();
  Coding::put(j, "id", value.id);
  Coding::put(j, "text", value.text);
  Coding::put(j, "start", value.start);
  Coding::put(j, "end", value.end);
  Coding::put(j, "lineStart", value.lineStart);
}

void from_json(const nlohmann::json& j, CaptionWord& value) {
  value.id = Coding::required<Uuid>(j, "id");
  value.text = Coding::required<std::string>(j, "text");
  value.start = Coding::required<double>(j, "start");
  value.end = Coding::required<double>(j, "end");
  value.lineStart = Coding::optional<bool>(j, "lineStart");
}

void to_json(nlohmann::json& j, const CaptionTrack& value) {
  j = nlohmann::json::object();
  Coding::put(j, "words", value.words);
  Coding::put(j, "style", value.style);
  Coding::put(j, "hidden", value.hidden);
  Coding::put(j, "language", value.language);
}

void from_json(const nlohmann::json& j, CaptionTrack& value) {
  value.words = Coding::required<std::vector<CaptionWord>>(j, "words");
  value.style = Coding::required<CaptionStyle>(j, "style");
  value.hidden = Coding::required<bool>(j, "hidden");
  value.language = Coding::optional<std::string>(j, "language");
}

}  // namespace RecorderCore
