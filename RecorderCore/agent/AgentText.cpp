#include "RecorderCore/agent/AgentText.h"

#include <utf8proc.h>

#include "RecorderCore/platform/UnicodeText.h"

namespace RecorderCore::AgentText {
namespace {

// The code point that starts at `at`, or -1 when the bytes there are not UTF-8.
utf8proc_int32_t codePointAt(std::string_view text, std::size_t at) {
  const UnicodeText::Decoded decoded = UnicodeText::decodeAt(text, at);
  return decoded.valid ? static_cast<utf8proc_int32_t>(decoded.codePoint) : -1;
}

}  // namespace

bool standsAlone(std::string_view text, std::size_t at) {
  const auto self = static_cast<utf8proc_int32_t>(static_cast<unsigned char>(text[at]));
  if (at > 0) {
    std::size_t start = at - 1;
    while (start > 0 && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80) --start;
    const utf8proc_int32_t before = codePointAt(text, start);
    if (before >= 0 && !utf8proc_grapheme_break(before, self)) return false;
  }
  if (at + 1 < text.size()) {
    const utf8proc_int32_t after = codePointAt(text, at + 1);
    if (after >= 0 && !utf8proc_grapheme_break(self, after)) return false;
  }
  return true;
}

bool startsCharacterAfterASCII(std::string_view text, std::size_t at) {
  if (at == 0 || at >= text.size()) return true;
  const utf8proc_int32_t next = codePointAt(text, at);
  const auto before = static_cast<utf8proc_int32_t>(static_cast<unsigned char>(text[at - 1]));
  return next < 0 || utf8proc_grapheme_break(before, next);
}

std::size_t findCharacter(std::string_view text, char separator, std::size_t from) {
  for (std::size_t at = text.find(separator, from); at != std::string_view::npos;
       at = text.find(separator, at + 1)) {
    if (standsAlone(text, at)) return at;
  }
  return std::string_view::npos;
}

std::vector<std::string_view> splitDroppingEmpty(std::string_view text, char separator) {
  std::vector<std::string_view> pieces;
  std::size_t start = 0;
  for (;;) {
    const std::size_t cut = findCharacter(text, separator, start);
    const std::size_t end = cut == std::string_view::npos ? text.size() : cut;
    if (end > start) pieces.push_back(text.substr(start, end - start));
    if (cut == std::string_view::npos) return pieces;
    start = cut + 1;
  }
}

std::vector<std::string_view> splitOnce(std::string_view text, char separator) {
  std::vector<std::string_view> pieces;
  std::size_t start = 0;
  for (std::size_t cut = findCharacter(text, separator); cut != std::string_view::npos;
       cut = findCharacter(text, separator, cut + 1)) {
    if (cut > start) {
      pieces.push_back(text.substr(start, cut - start));
      start = cut + 1;
      break;
    }
    start = cut + 1;  // a separator before the first piece: skipped
  }
  if (start < text.size()) pieces.push_back(text.substr(start));
  return pieces;
}

std::string_view trimSpacesAndTabs(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

}  // namespace RecorderCore::AgentText
