// JSON text in and out, for every place that reads or writes JSON bytes.
//
// Reading goes through parse(), which never throws: a bad line from an agent or
// a damaged file is an answer, not a crash. It also refuses documents nested
// deeper than kMaxDepth, because the JSON value type copies, compares and
// prints recursively and a 100,000-deep document would overflow the stack.
//
// Writing comes in the two styles this code base needs:
//  - compact(): the wire form (no whitespace, UTF-8 as is, "/" not escaped);
//  - pretty(): the macOS style used for text meant for people and for other
//    programs' configuration files: two-space indentation, "key" : value with a
//    space on both sides of the colon, keys sorted, "/" not escaped, empty
//    containers written as "{\n\n}" / "[\n\n]", and doubles with an integral
//    value written without a fraction (1.0 prints as 1), as the platform's
//    serializer does.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace RecorderCore::JSONText {

// Deepest nesting of arrays and objects accepted by parse() and printed by
// compact() and pretty().
inline constexpr std::size_t kMaxDepth = 512;

// Parses bytes as one JSON value. Returns nothing when the bytes are not JSON
// (including invalid UTF-8 inside strings) or are nested deeper than kMaxDepth.
std::optional<nlohmann::json> parse(std::string_view bytes);

// Parses bytes as a JSON object; nothing when parse() fails or the top level is
// another kind of value.
std::optional<nlohmann::json> parseObject(std::string_view bytes);

// Writes the value compactly. Returns nothing when it cannot be written as JSON
// text (a string that is not valid UTF-8, a non-finite number, or nesting
// deeper than kMaxDepth).
std::optional<std::string> compact(const nlohmann::json& value);

// Writes the value in the macOS pretty style described above, without a final
// newline. Returns nothing in the same cases as compact().
std::optional<std::string> pretty(const nlohmann::json& value);

}  // namespace RecorderCore::JSONText
