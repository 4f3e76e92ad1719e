// The one list of tools that agents may call, in the order agents see them.
//
// The host app serves these tools over the agent socket and carries out each
// call; the bridge lists them itself when the app does not answer
// "tools/list". The descriptions are the only statement of what each tool
// does, so they are written for the language model that reads them.
//
// The list is a constant built on first use and only read afterwards, so any
// thread may use it.
#pragma once

#include <string_view>
#include <vector>

#include "RecorderCore/agent/AgentTool.h"

namespace RecorderCore::AgentCatalogue {

// The schema of every tool that takes no arguments.
inline constexpr std::string_view emptySchema =
    R"({"type":"object","properties":{},"additionalProperties":false})";

// Returns the 29 tools in catalogue order.
const std::vector<AgentTool>& tools();

// Returns the first tool whose name equals `name` exactly (case-sensitive), or
// nullptr. The pointer stays valid for the life of the process.
const AgentTool* tool(std::string_view named);

}  // namespace RecorderCore::AgentCatalogue
