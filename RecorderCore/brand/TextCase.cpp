#include "RecorderCore/brand/TextCase.h"

#include <array>

#include <utf8proc.h>

namespace RecorderCore::TextCase {

std::string lowercased(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  const auto* bytes = reinterpret_cast<const utf8proc_uint8_t*>(text.data());
  std::size_t at = 0;
  while (at < text.size()) {
    utf8proc_int32_t codepoint = 0;
    const utf8proc_ssize_t length = utf8proc_iterate(
        bytes + at, static_cast<utf8proc_ssize_t>(text.size() - at), &codepoint);
    if (length <= 0) {
      out += text[at];
      ++at;
      continue;
    }
    std::array<utf8proc_uint8_t, 4> encoded{};
    const utf8proc_ssize_t written =
        utf8proc_encode_char(utf8proc_tolower(codepoint), encoded.data());
    out.append(reinterpret_cast<const char*>(encoded.data()),
               static_cast<std::size_t>(written));
    at += static_cast<std::size_t>(length);
  }
  return out;
}

}  // namespace RecorderCore::TextCase
