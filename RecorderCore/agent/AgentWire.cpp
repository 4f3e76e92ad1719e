#include "RecorderCore/agent/AgentWire.h"

#include "RecorderCore/platform/JSONText.h"

namespace RecorderCore::AgentWire {

using nlohmann::json;

std::optional<std::string> encode(const json& message) {
  if (!message.is_object()) return std::nullopt;
  auto text = JSONText::compact(message);
  if (!text) return std::nullopt;
  text->push_back('\n');
  return text;
}

std::optional<json> decode(std::string_view bytes) {
  const auto newline = bytes.find('\n');
  if (newline != std::string_view::npos) bytes = bytes.substr(0, newline);
  return JSONText::parseObject(bytes);
}

json reply(const std::optional<json>& id, const json& result) {
  return {{"id", id.value_or(nullptr)}, {"ok", true}, {"result", result}};
}

json reply(const std::optional<json>& id, const AgentError& error) {
  return {{"id", id.value_or(nullptr)}, {"ok", false}, {"error", error}};
}

}  // namespace RecorderCore::AgentWire
