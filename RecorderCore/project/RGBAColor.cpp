#include "RecorderCore/project/RGBAColor.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

#include <utf8proc.h>

#include "RecorderCore/project/Coding.h"

namespace RecorderCore {
namespace {

// One code point of UTF-8 text; `length` is 0 for bytes that are not UTF-8.
struct Scalar {
  utf8proc_int32_t codePoint = -1;
  std::size_t length = 0;
};

Scalar scalarAt(std::string_view text, std::size_t at) {
  Scalar scalar;
  const auto* bytes = reinterpret_cast<const utf8proc_uint8_t*>(text.data() + at);
  const auto read = utf8proc_iterate(bytes, static_cast<utf8proc_ssize_t>(text.size() - at), &scalar.codePoint);
  scalar.length = read > 0 ? static_cast<std::size_t>(read) : 0;
  return scalar;
}

// Spaces and tabs: the tab and every Unicode space separator, not line breaks.
bool isHorizontalSpace(utf8proc_int32_t codePoint) {
  return codePoint == '\t' || utf8proc_category(codePoint) == UTF8PROC_CATEGORY_ZS;
}

// Trims horizontal white space from both ends; nothing when the text is not
// UTF-8 (such text can never be a colour anyway).
std::optional<std::string_view> trimHorizontalSpace(std::string_view text) {
  std::size_t begin = 0;
  std::size_t contentEnd = 0;
  bool inContent = false;
  for (std::size_t at = 0; at < text.size();) {
    const Scalar scalar = scalarAt(text, at);
    if (scalar.length == 0) return std::nullopt;
    if (!isHorizontalSpace(scalar.codePoint)) {
      if (!inContent) begin = at;
      inContent = true;
      contentEnd = at + scalar.length;
    }
    at += scalar.length;
  }
  if (!inContent) return std::string_view();
  return text.substr(begin, contentEnd - begin);
}

// The number of user-perceived characters (extended grapheme clusters).
std::size_t graphemeCount(std::string_view text) {
  std::size_t count = 0;
  utf8proc_int32_t previous = -1;
  utf8proc_int32_t state = 0;
  for (std::size_t at = 0; at < text.size();) {
    const Scalar scalar = scalarAt(text, at);
    if (scalar.length == 0) return 0;
    if (previous < 0 || utf8proc_grapheme_break_stateful(previous, scalar.codePoint, &state)) ++count;
    previous = scalar.codePoint;
    at += scalar.length;
  }
  return count;
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// An unsigned radix-16 number with at most one leading "+", as the platform's
// integer parser reads it; nothing for anything else.
std::optional<std::uint64_t> parseUnsignedHex(std::string_view text) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty() || text.size() > 16) return std::nullopt;
  std::uint64_t value = 0;
  for (char c : text) {
    const int digit = hexDigit(c);
    if (digit < 0) return std::nullopt;
    value = value * 16 + static_cast<std::uint64_t>(digit);
  }
  return value;
}

double component(std::uint64_t value, int shift) { return static_cast<double>((value >> shift) & 0xFF) / 255.0; }

// A component as a byte: clamped to 0…1 (NaN counts as 0), times 255, rounded
// half away from zero.
unsigned byteOf(double fraction) {
  if (!(fraction > 0)) fraction = 0;
  if (fraction > 1) fraction = 1;
  return static_cast<unsigned>(std::round(fraction * 255));
}

}  // namespace

std::optional<RGBAColor> RGBAColor::parseHex(std::string_view text) {
  auto trimmed = trimHorizontalSpace(text);
  if (!trimmed) return std::nullopt;
  std::string_view hex = *trimmed;
  if (!hex.empty() && hex.front() == '#') hex.remove_prefix(1);
  const std::size_t length = graphemeCount(hex);
  if (length != 6 && length != 8) return std::nullopt;
  const auto value = parseUnsignedHex(hex);
  if (!value) return std::nullopt;
  if (length == 6) return RGBAColor{component(*value, 16), component(*value, 8), component(*value, 0), 1.0};
  return RGBAColor{component(*value, 24), component(*value, 16), component(*value, 8), component(*value, 0)};
}

std::string RGBAColor::hexString() const {
  char text[8];
  std::snprintf(text, sizeof text, "#%02X%02X%02X", byteOf(r), byteOf(g), byteOf(b));
  return text;
}

void to_json(nlohmann::json& j, const RGBAColor& value) {
  j = nlohmann::json::object();
  Coding::put(j, "r", value.r);
  Coding::put(j, "g", value.g);
  Coding::put(j, "b", value.b);
  Coding::put(j, "a", value.a);
}

void from_json(const nlohmann::json& j, RGBAColor& value) {
  value.r = Coding::required<double>(j, "r");
  value.g = Coding::required<double>(j, "g");
  value.b = Coding::required<double>(j, "b");
  value.a = Coding::required<double>(j, "a");
}

}  // namespace RecorderCore
