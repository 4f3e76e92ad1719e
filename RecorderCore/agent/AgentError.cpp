#include "RecorderCore/agent/AgentError.h"

#include <utility>

namespace RecorderCore {

AgentError::AgentError(std::string errorCode, std::string errorMessage, std::optional<std::string> errorHint)
    : code(std::move(errorCode)), message(std::move(errorMessage)), hint(std::move(errorHint)) {}

AgentError AgentError::unknownTool(std::string_view name) {
  return AgentError("unknown_tool", "There is no tool called " + std::string(name) + ".",
                    "List the tools again; the app may have been updated.");
}

AgentError AgentError::badArgument(std::string_view argument, std::string_view detail,
                                   std::optional<std::string> hint) {
  return AgentError("bad_argument", "Argument " + std::string(argument) + ": " + std::string(detail),
                    std::move(hint));
}

AgentError AgentError::noProject() {
  return AgentError("no_project", "No project is open.",
                    "Call list_projects and open_project first, or record something with start_recording.");
}

const char* AgentError::what() const noexcept { return message.c_str(); }

void to_json(nlohmann::json& json, const AgentError& error) {
  json = nlohmann::json::object();
  json["code"] = error.code;
  json["message"] = error.message;
  if (error.hint) json["hint"] = *error.hint;
}

}  // namespace RecorderCore
