#include "RecorderCore/platform/JSONText.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace RecorderCore::JSONText {
namespace {

using nlohmann::json;

// Depth of the deepest array or object in the text, scanning outside strings.
// Cheap enough to run on every line before the real parser sees it.
std::size_t nestingDepth(std::string_view bytes, std::size_t limit) {
  std::size_t depth = 0;
  std::size_t deepest = 0;
  bool inString = false;
  bool escaped = false;
  for (char c : bytes) {
    if (inString) {
      if (escaped) {
        escaped = false;
      } else if (c == '\\') {
        escaped = true;
      } else if (c == '"') {
        inString = false;
      }
      continue;
    }
    switch (c) {
      case '"':
        inString = true;
        break;
      case '[':
      case '{':
        if (++depth > deepest) {
          deepest = depth;
          if (deepest > limit) return deepest;
        }
        break;
      case ']':
      case '}':
        if (depth > 0) --depth;
        break;
      default:
        break;
    }
  }
  return deepest;
}

// Appends a string in JSON form. Most keys and values are plain printable
// ASCII and are copied as they are; anything else goes through the library's
// escaping (which throws on bytes that are not UTF-8).
void appendString(std::string& out, const std::string& text) {
  const bool plain = std::all_of(text.begin(), text.end(), [](char c) {
    return c >= 0x20 && c < 0x7f && c != '"' && c != '\\';
  });
  if (plain) {
    out += '"';
    out += text;
    out += '"';
  } else {
    out += json(text).dump(-1, ' ', false, json::error_handler_t::strict);
  }
}

// Appends a scalar in JSON form. Strings and numbers go through the library's
// serializer (escaping, shortest round-trip doubles); doubles with an integral
// value are written without their fraction, as the platform's writer does.
bool appendScalar(std::string& out, const json& value) {
  if (value.is_string()) {
    appendString(out, value.get_ref<const std::string&>());
    return true;
  }
  if (value.is_number_integer() || value.is_boolean() || value.is_null()) {
    out += value.is_boolean() ? (value.get<bool>() ? "true" : "false")
           : value.is_null()  ? "null"
           : value.is_number_unsigned() ? std::to_string(value.get<std::uint64_t>())
                                        : std::to_string(value.get<std::int64_t>());
    return true;
  }
  if (value.is_number_float()) {
    const double d = value.get<double>();
    if (!std::isfinite(d)) return false;
    if (d == std::floor(d) && std::fabs(d) < 1e15) {
      out += std::to_string(static_cast<long long>(d));
      return true;
    }
  }
  out += value.dump(-1, ' ', false, json::error_handler_t::strict);
  return true;
}

// Whether the library's serializer can write the value as JSON text: no
// deeper than kMaxDepth (its writer recurses) and no NaN or infinity (which it
// would write as null). Strings that are not UTF-8 make it throw instead.
bool writable(const json& value, std::size_t depth) {
  if (depth > kMaxDepth) return false;
  if (value.is_object()) {
    for (const auto& [key, member] : value.items()) {
      if (!writable(member, depth + 1)) return false;
    }
    return true;
  }
  if (value.is_array()) {
    for (const auto& element : value) {
      if (!writable(element, depth + 1)) return false;
    }
    return true;
  }
  return !value.is_number_float() || std::isfinite(value.get<double>());
}

void indent(std::string& out, std::size_t level) { out.append(level * 2, ' '); }

bool appendPretty(std::string& out, const json& value, std::size_t depth) {
  if (depth > kMaxDepth) return false;
  if (value.is_object()) {
    out += "{\n";
    bool first = true;
    // The object type keeps its keys sorted by their UTF-8 bytes.
    for (const auto& [key, member] : value.items()) {
      if (!first) out += ",\n";
      first = false;
      indent(out, depth + 1);
      appendString(out, key);
      out += " : ";
      if (!appendPretty(out, member, depth + 1)) return false;
    }
    out += '\n';
    indent(out, depth);
    out += '}';
    return true;
  }
  if (value.is_array()) {
    out += "[\n";
    bool first = true;
    for (const auto& element : value) {
      if (!first) out += ",\n";
      first = false;
      indent(out, depth + 1);
      if (!appendPretty(out, element, depth + 1)) return false;
    }
    out += '\n';
    indent(out, depth);
    out += ']';
    return true;
  }
  return appendScalar(out, value);
}

}  // namespace

std::optional<nlohmann::json> parse(std::string_view bytes) {
  // The parser stops at a NUL byte as if the input ended there, so
  // "{}\0junk" would pass. A raw NUL is never valid JSON (not even inside a
  // string), so such bytes are refused outright.
  if (bytes.find('\0') != std::string_view::npos) return std::nullopt;
  if (nestingDepth(bytes, kMaxDepth) > kMaxDepth) return std::nullopt;
  json value = json::parse(bytes.begin(), bytes.end(), nullptr, /*allow_exceptions=*/false);
  if (value.is_discarded()) return std::nullopt;
  return value;
}

std::optional<nlohmann::json> parseObject(std::string_view bytes) {
  auto value = parse(bytes);
  if (!value || !value->is_object()) return std::nullopt;
  return value;
}

std::optional<std::string> compact(const nlohmann::json& value) {
  if (!writable(value, 0)) return std::nullopt;
  try {
    // One pass of the library's serializer: it writes exactly this form.
    return value.dump(-1, ' ', false, json::error_handler_t::strict);
  } catch (const json::exception&) {
    return std::nullopt;  // a string that is not valid UTF-8
  }
}

std::optional<std::string> pretty(const nlohmann::json& value) {
  std::string out;
  try {
    if (!appendPretty(out, value, 0)) return std::nullopt;
  } catch (const json::exception&) {
    return std::nullopt;
  }
  return out;
}

}  // namespace RecorderCore::JSONText
