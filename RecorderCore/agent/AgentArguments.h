// The arguments of one tool call, read the way tool handlers need them.
//
// The optional accessors are forgiving: a missing key and a value of the
// wrong type both give nothing, so a handler falls back to its default. The
// throwing accessors are for what a tool cannot do without: they throw an
// AgentError "bad_argument" whose message names the argument, and the host
// app's boundary turns it into the failure reply the agent reads.
//
// Beside them sit the path checks that keep an agent inside the folders it
// may touch. Intentionally copyable; nothing here keeps state.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "RecorderCore/agent/AgentError.h"
#include "RecorderCore/project/RGBAColor.h"

namespace RecorderCore {

class AgentArguments {
 public:
  // Takes the "arguments" object of the call; nothing, or a value that is not
  // an object, gives no arguments.
  explicit AgentArguments(const std::optional<nlohmann::json>& arguments = std::nullopt);

  // The value when it is a JSON string (the empty string included).
  std::optional<std::string> string(std::string_view key) const;
  // The value when it is a JSON boolean; numbers do not count.
  std::optional<bool> boolean(std::string_view key) const;
  // The value when it is a JSON number; a boolean passes as 1.0 or 0.0.
  std::optional<double> number(std::string_view key) const;
  // The value when it is a JSON number, truncated toward zero (2.7 gives 2,
  // -2.7 gives -2) and limited to the 64-bit range; a boolean passes as 1 or 0.
  std::optional<std::int64_t> integer(std::string_view key) const;
  // The value when it is a JSON object.
  std::optional<nlohmann::json> object(std::string_view key) const;

  // Returns the string value; throws "Argument <key>: is required." when it is
  // missing, not a string or empty.
  std::string requiredString(std::string_view key) const;
  // Returns the number (a boolean passes as 1.0 or 0.0); throws "Argument
  // <key>: is required and must be a number." otherwise.
  double requiredNumber(std::string_view key) const;
  // Returns nothing when the key is missing or not a string, the colour when
  // the string is hex colour text (RGBAColor::parseHex); throws "Argument
  // <key>: must be a hex color like #1C1C1E." for any other string.
  std::optional<RGBAColor> color(std::string_view key) const;

  bool operator==(const AgentArguments&) const = default;

  // The arguments exactly as parsed from the request; always an object.
  nlohmann::json raw;
};

// Returns true when `path` is the standardised `root` or lies below it: it
// begins with that root followed by "/" (a root ending in "/" gets no second
// one). Compared by characters, case-sensitively, so /tmpfoo is not inside
// /tmp. `path` is used as given; standardise it first.
bool isInside(std::string_view root, std::string_view path);

// Returns true when the agent's path, standardised with "~" expanded to the
// home folder, is inside `root`, `secondRoot`, "/private" + `secondRoot`,
// "/tmp" or "/private/tmp". ".." is resolved before the comparison, so a path
// cannot climb out of a root.
bool isAllowedPath(std::string_view path, std::string_view root, std::string_view secondRoot);

// Returns the absolute form of a path, as file URLs are standardised: a
// leading "~" expanded to $HOME when `expandTilde` is set, a relative path
// put under the current folder, empty and "." components removed and ".."
// components resolved (never above "/"), no trailing "/".
std::string standardizedPath(std::string_view path, bool expandTilde);

}  // namespace RecorderCore
