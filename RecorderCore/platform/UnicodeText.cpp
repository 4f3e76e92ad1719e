#include "RecorderCore/platform/UnicodeText.h"

#include <utf8proc.h>

namespace RecorderCore::UnicodeText {
namespace {

utf8proc_category_t category(char32_t c) {
  if (c > 0x10FFFF) return UTF8PROC_CATEGORY_CN;
  return utf8proc_category(static_cast<utf8proc_int32_t>(c));
}

// Maps every code point with `map`; ASCII, the common case in names and
// headers, is mapped by the same function without decoding.
std::string mapped(std::string_view text, utf8proc_int32_t (*map)(utf8proc_int32_t)) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    const auto byte = static_cast<unsigned char>(text[at]);
    if (byte < 0x80) {
      out.push_back(static_cast<char>(map(byte)));
      ++at;
      continue;
    }
    const Decoded d = decodeAt(text, at);
    if (!d.valid) {
      out.push_back(text[at]);
    } else {
      utf8proc_uint8_t buffer[4];
      const utf8proc_ssize_t length = utf8proc_encode_char(map(static_cast<utf8proc_int32_t>(d.codePoint)), buffer);
      out.append(reinterpret_cast<const char*>(buffer), static_cast<std::size_t>(length));
    }
    at += d.length;
  }
  return out;
}

}  // namespace

Decoded decodeAt(std::string_view text, std::size_t at) {
  utf8proc_int32_t codePoint = 0;
  const auto* bytes = reinterpret_cast<const utf8proc_uint8_t*>(text.data() + at);
  const utf8proc_ssize_t length =
      utf8proc_iterate(bytes, static_cast<utf8proc_ssize_t>(text.size() - at), &codePoint);
  if (length <= 0) return {0xFFFFFFFF, 1, false};
  return {static_cast<char32_t>(codePoint), static_cast<std::size_t>(length), true};
}

bool isValidUTF8(std::string_view bytes) {
  for (std::size_t at = 0; at < bytes.size();) {
    // ASCII runs are the common case in headers and configuration files.
    if (static_cast<unsigned char>(bytes[at]) < 0x80) {
      ++at;
      continue;
    }
    const Decoded d = decodeAt(bytes, at);
    if (!d.valid) return false;
    at += d.length;
  }
  return true;
}

bool isSpaceOrTab(char32_t c) { return c == U'\t' || category(c) == UTF8PROC_CATEGORY_ZS; }

bool isLineBreak(char32_t c) {
  return (c >= 0x0A && c <= 0x0D) || c == 0x85 || c == 0x2028 || c == 0x2029;
}

bool isWhiteSpaceOrNewline(char32_t c) { return isSpaceOrTab(c) || isLineBreak(c); }

bool isLetterOrNumber(char32_t c) {
  switch (category(c)) {
    case UTF8PROC_CATEGORY_LU:
    case UTF8PROC_CATEGORY_LL:
    case UTF8PROC_CATEGORY_LT:
    case UTF8PROC_CATEGORY_LM:
    case UTF8PROC_CATEGORY_LO:
    case UTF8PROC_CATEGORY_ND:
    case UTF8PROC_CATEGORY_NL:
    case UTF8PROC_CATEGORY_NO:
      return true;
    default:
      return false;
  }
}

bool isLetterMarkOrNumber(char32_t c) {
  const auto kind = category(c);
  return kind == UTF8PROC_CATEGORY_MN || kind == UTF8PROC_CATEGORY_MC || kind == UTF8PROC_CATEGORY_ME ||
         isLetterOrNumber(c);
}

std::string trim(std::string_view text, bool (*inClass)(char32_t)) {
  std::size_t begin = 0;
  while (begin < text.size()) {
    const Decoded d = decodeAt(text, begin);
    if (!d.valid || !inClass(d.codePoint)) break;
    begin += d.length;
  }
  // The end of the kept text: just past the last code point outside the class.
  std::size_t end = begin;
  for (std::size_t at = begin; at < text.size();) {
    const Decoded d = decodeAt(text, at);
    at += d.length;
    if (!d.valid || !inClass(d.codePoint)) end = at;
  }
  return std::string(text.substr(begin, end - begin));
}

std::vector<std::string> split(std::string_view text, bool (*isSeparator)(char32_t)) {
  std::vector<std::string> pieces;
  std::string current;
  for (std::size_t at = 0; at < text.size();) {
    const Decoded d = decodeAt(text, at);
    if (d.valid && isSeparator(d.codePoint)) {
      if (!current.empty()) pieces.push_back(std::move(current));
      current.clear();
    } else {
      current.append(text.substr(at, d.length));
    }
    at += d.length;
  }
  if (!current.empty()) pieces.push_back(std::move(current));
  return pieces;
}

std::string filter(std::string_view text, bool (*keep)(char32_t)) {
  std::string kept;
  for (std::size_t at = 0; at < text.size();) {
    const Decoded d = decodeAt(text, at);
    if (d.valid && keep(d.codePoint)) kept.append(text.substr(at, d.length));
    at += d.length;
  }
  return kept;
}

std::string lowercased(std::string_view text) { return mapped(text, utf8proc_tolower); }

std::string uppercased(std::string_view text) { return mapped(text, utf8proc_toupper); }

std::vector<std::string_view> characters(std::string_view text) {
  std::vector<std::string_view> result;
  std::size_t clusterStart = 0;
  utf8proc_int32_t state = 0;
  utf8proc_int32_t previous = -1;
  for (std::size_t at = 0; at < text.size();) {
    const Decoded d = decodeAt(text, at);
    const auto current = d.valid ? static_cast<utf8proc_int32_t>(d.codePoint) : -1;
    // An invalid byte is a character of its own.
    const bool breaks = at > 0 && (previous < 0 || current < 0 ||
                                   utf8proc_grapheme_break_stateful(previous, current, &state));
    if (breaks) {
      result.push_back(text.substr(clusterStart, at - clusterStart));
      clusterStart = at;
    }
    previous = current;
    at += d.length;
  }
  if (clusterStart < text.size()) result.push_back(text.substr(clusterStart));
  return result;
}

std::size_t characterCount(std::string_view text) { return characters(text).size(); }

}  // namespace RecorderCore::UnicodeText
