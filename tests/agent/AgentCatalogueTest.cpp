#include "RecorderCore/agent/AgentCatalogue.h"

#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "RecorderCore/platform/JSONText.h"

namespace RecorderCore {
namespace {

using nlohmann::json;

std::string readFixture(const std::string& name) {
  std::ifstream in(std::string(RECORDER_SOURCE_DIR) + "/tests/agent/fixtures/" + name, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// The golden file is the pretty-printed "tools/list" answer, written once from
// the texts agents are meant to read; any change to a title, a description or a
// schema shows up here as a diff.
TEST(AgentCatalogue, ListEntriesMatchTheGoldenFile) {
  json tools = json::array();
  for (const AgentTool& tool : AgentCatalogue::tools()) tools.push_back(tool.listEntry());
  const auto printed = JSONText::pretty(json{{"tools", tools}});
  ASSERT_TRUE(printed);
  EXPECT_EQ(*printed + "\n", readFixture("tools-list.json"));
}

// The schema texts themselves are exact (key order, no spaces), which the
// parsed list entries cannot show.
TEST(AgentCatalogue, SchemaTextsMatchTheGoldenFile) {
  std::istringstream golden(readFixture("tool-schemas.txt"));
  std::string line;
  std::size_t index = 0;
  const auto& tools = AgentCatalogue::tools();
  while (std::getline(golden, line)) {
    ASSERT_LT(index, tools.size());
    EXPECT_EQ(tools[index].name + "\t" + tools[index].schema, line);
    ++index;
  }
  EXPECT_EQ(index, tools.size());
}

TEST(AgentCatalogue, HoldsTwentyNineUniquelyNamedObjectSchemas) {
  const auto& tools = AgentCatalogue::tools();
  ASSERT_EQ(tools.size(), 29u);
  EXPECT_EQ(tools[0].name, "get_status");
  EXPECT_EQ(tools[9].name, "list_backgrounds");
  EXPECT_EQ(tools[28].name, "reveal_in_finder");
  EXPECT_EQ(AgentCatalogue::emptySchema, R"({"type":"object","properties":{},"additionalProperties":false})");

  std::set<std::string> names;
  for (const AgentTool& tool : tools) {
    EXPECT_TRUE(names.insert(tool.name).second) << "duplicate " << tool.name;
    EXPECT_FALSE(tool.title.empty()) << tool.name;
    EXPECT_FALSE(tool.description.empty()) << tool.name;
    const auto schema = JSONText::parseObject(tool.schema);
    ASSERT_TRUE(schema) << tool.name;
    EXPECT_EQ(schema->value("type", ""), "object") << tool.name;
    ASSERT_TRUE(schema->contains("properties")) << tool.name;
    EXPECT_TRUE(schema->at("properties").is_object()) << tool.name;
    EXPECT_EQ(tool.inputSchema(), *schema) << tool.name;  // never the fallback
    // Compact text: the only spaces are inside strings.
    bool inString = false;
    for (std::size_t i = 0; i < tool.schema.size(); ++i) {
      const char c = tool.schema[i];
      if (c == '"' && (i == 0 || tool.schema[i - 1] != '\\')) inString = !inString;
      if (!inString) {
        EXPECT_TRUE(c != ' ' && c != '\n') << tool.name << " at " << i;
      }
    }
  }
}

TEST(AgentCatalogue, ToolNamedMatchesExactly) {
  static const struct {
    const char* name;
    bool found;
  } cases[] = {
      {"get_status", true},      {"reveal_in_finder", true}, {"Get_Status", false}, {"GET_STATUS", false},
      {" get_status", false},    {"get_status ", false},     {"", false},           {"get", false},
      {"frobnicate", false},
  };
  for (const auto& c : cases) {
    const AgentTool* tool = AgentCatalogue::tool(c.name);
    EXPECT_EQ(tool != nullptr, c.found) << c.name;
    if (tool) {
      EXPECT_EQ(tool->name, c.name);
    }
  }
  // A name with an embedded NUL is not the name before it.
  EXPECT_EQ(AgentCatalogue::tool(std::string_view("get_status\0x", 12)), nullptr);
}

TEST(AgentTool, ListEntryHasFourKeysAndAParsedSchema) {
  const json entry = AgentCatalogue::tool("get_status")->listEntry();
  ASSERT_TRUE(entry.is_object());
  EXPECT_EQ(entry.size(), 4u);
  EXPECT_EQ(entry.at("name"), "get_status");
  EXPECT_EQ(entry.at("title"), "Status");
  EXPECT_TRUE(entry.at("description").is_string());
  EXPECT_EQ(entry.at("inputSchema"),
            json::parse(R"({"type":"object","properties":{},"additionalProperties":false})"));
}

TEST(AgentTool, InputSchemaFallsBackWhenTheTextIsNotAnObject) {
  static const char* const texts[] = {"", "{", "[]", "\"type\"", "42", "null", "{\"type\":\"object\"}x"};
  for (const char* text : texts) {
    const AgentTool tool{"t", "T", "d", text};
    EXPECT_EQ(tool.inputSchema(), json({{"type", "object"}})) << text;
    EXPECT_EQ(tool.listEntry().at("inputSchema"), json({{"type", "object"}})) << text;
  }
}

}  // namespace
}  // namespace RecorderCore
