// The entry that lets the Claude Desktop agent host start the agent bridge.
//
// That host keeps its servers in a JSON configuration file whose member
// "mcpServers" maps server names to launch entries {"command", "args"}. The
// functions here are pure data work on the file's bytes: merge() returns the
// new bytes with this product's entry in place, isInstalled() says whether it
// already is. Finding, reading and writing the file is the caller's, so a
// failure here never touches what is on disk.
//
// Everything else in the file (other servers with their environment blocks,
// the host's own settings) comes back unchanged, pretty-printed with sorted
// keys as the platform writes configuration files.
#pragma once

#include <cstddef>
#include <exception>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace RecorderCore::ClaudeDesktopConfig {

// The file is JSON, but not an object at the top level.
class MergeError : public std::exception {
 public:
  enum class Case { notAnObject };

  static const MergeError notAnObject;

  explicit MergeError(Case which) : value(which) {}
  const char* what() const noexcept override;

  friend bool operator==(const MergeError& a, const MergeError& b) { return a.value == b.value; }

  Case value;
};

// The file is not JSON; what() is the JSON parser's own description.
class ParseError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The merged configuration could not be written as JSON text (a name or
// command that is not UTF-8).
class WriteError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Returns the configuration file's new bytes with "mcpServers"[name] set to
// {"command": command, "args": []}, replacing any entry of that name whole.
// `existing` is the file's current bytes: none, empty, blank or not UTF-8
// count as an empty configuration. Entries named in `removing` (other than
// `name`) are removed when their command ends in "-mcp", which marks them as
// earlier bridges of this product family; other entries stay. An
// "mcpServers" that is not an object is replaced.
// Throws ParseError when the bytes are not JSON, MergeError::notAnObject when
// they hold another value than an object, WriteError when the result cannot be
// written.
std::string merge(const std::optional<std::string>& existing, std::string_view name, std::string_view command,
                  const std::vector<std::string>& removing);

// Returns true when the bytes are a JSON object whose "mcpServers"[name] is an
// object with a "command" string equal to `command`. Never throws.
bool isInstalled(const std::optional<std::string>& existing, std::string_view name, std::string_view command);

}  // namespace RecorderCore::ClaudeDesktopConfig

template <>
struct std::hash<RecorderCore::ClaudeDesktopConfig::MergeError> {
  std::size_t operator()(const RecorderCore::ClaudeDesktopConfig::MergeError& error) const noexcept {
    return std::hash<int>()(static_cast<int>(error.value));
  }
};
