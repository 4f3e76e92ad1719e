#include "RecorderCore/agent/AgentTool.h"

#include "RecorderCore/platform/JSONText.h"

namespace RecorderCore {

nlohmann::json AgentTool::inputSchema() const {
  if (auto parsed = JSONText::parseObject(schema)) return std::move(*parsed);
  return {{"type", "object"}};
}

nlohmann::json AgentTool::listEntry() const {
  return {{"name", name}, {"title", title}, {"description", description}, {"inputSchema", inputSchema()}};
}

}  // namespace RecorderCore
