// One tool that agents may call: its name, human title, the description the
// agent reads, and the JSON Schema of its arguments as compact JSON text.
//
// Intentionally copyable; the built-in tools live in AgentCatalogue.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

namespace RecorderCore {

struct AgentTool {
  std::string name;         // used in "tools/call", lower case with underscores
  std::string title;        // a short human title
  std::string description;  // written for a language model
  std::string schema;       // the input schema, compact JSON text

  // Returns `schema` parsed; {"type": "object"} when it does not parse as a
  // JSON object, so a damaged schema never hides the tool.
  nlohmann::json inputSchema() const;

  // Returns {"name", "title", "description", "inputSchema"}: the form in which
  // the tool appears in the "tools" array of a "tools/list" result.
  nlohmann::json listEntry() const;

  bool operator==(const AgentTool&) const = default;
};

}  // namespace RecorderCore
