// The one error record of agent tools.
//
// A tool handler throws an AgentError when a call cannot be carried out; the
// host app catches it at its single boundary and sends it back as the failure
// reply {"ok": false, "error": {...}} (AgentWire::reply), which the bridge turns
// into a tool result with "isError" true (MCPMessages::toolResult). The record
// is a plain value: copy it, compare it field by field, put it into JSON with
// `json j = error;`.
//
// Codes are stable, lower case with underscores; the host app may use codes of
// its own beside the three this library defines.
#pragma once

#include <exception>
#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace RecorderCore {

class AgentError : public std::exception {
 public:
  AgentError(std::string errorCode, std::string errorMessage, std::optional<std::string> errorHint = std::nullopt);

  // "unknown_tool": there is no tool called `name`.
  static AgentError unknownTool(std::string_view name);
  // "bad_argument": "Argument <argument>: <detail>", with an optional hint.
  static AgentError badArgument(std::string_view argument, std::string_view detail,
                                std::optional<std::string> hint = std::nullopt);
  // "no_project": an editing tool was called with no project open.
  static AgentError noProject();

  // The message, so that a stray AgentError still says what went wrong.
  const char* what() const noexcept override;

  friend bool operator==(const AgentError& a, const AgentError& b) {
    return a.code == b.code && a.message == b.message && a.hint == b.hint;
  }

  std::string code;
  std::string message;
  std::optional<std::string> hint;
};

// The wire form {"code", "message", "hint"}; "hint" is left out when there is none.
void to_json(nlohmann::json& json, const AgentError& error);

}  // namespace RecorderCore
