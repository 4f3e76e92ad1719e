// The agent protocol's building blocks: the tool catalogue, the agent socket's
// wire form, and the MCP messages and tool results the bridge writes.
#include <string>

#include <gtest/gtest.h>
#include <rapidcheck/gtest.h>

#include "RecorderCore/agent/AgentCatalogue.h"
#include "RecorderCore/agent/AgentError.h"
#include "RecorderCore/agent/AgentWire.h"
#include "RecorderCore/agent/MCPMessages.h"
#include "RecorderCore/platform/JSONText.h"
#include "tests/agent/AgentTestSupport.h"

namespace RecorderCore {
namespace {

using nlohmann::json;
using testing::readFixture;

// The golden files are the pretty-printed "tools/list" answer, written once from
// the texts agents are meant to read, and the exact schema texts (key order, no
// spaces). Any change to a name, title, description or schema shows as a diff.
TEST(AgentCatalogue, ListEntriesAndSchemaTextsMatchTheGoldenFiles) {
  const auto& tools = AgentCatalogue::tools();
  ASSERT_EQ(tools.size(), 29u);
  EXPECT_EQ(tools[9].name, "list_backgrounds");
  EXPECT_EQ(tools[28].name, "reveal_in_finder");
  json entries = json::array();
  std::string schemas;
  for (const AgentTool& tool : tools) {
    entries.push_back(tool.listEntry());
    schemas += tool.name + "\t" + tool.schema + "\n";
    // Every built-in schema parses, so none falls back.
    EXPECT_EQ(tool.inputSchema(), JSONText::parseObject(tool.schema)) << tool.name;
  }
  EXPECT_EQ(JSONText::pretty(json{{"tools", entries}}).value_or("") + "\n", readFixture("tools-list.json"));
  EXPECT_EQ(schemas, readFixture("tool-schemas.txt"));
}

TEST(AgentCatalogue, ToolNamedMatchesExactlyAndSchemasFallBack) {
  ASSERT_NE(AgentCatalogue::tool("reveal_in_finder"), nullptr);
  EXPECT_EQ(AgentCatalogue::tool("reveal_in_finder")->name, "reveal_in_finder");
  for (std::string_view name : {"Get_Status", " get_status", "get_status ", "", "get"}) {
    EXPECT_EQ(AgentCatalogue::tool(name), nullptr) << name;
  }
  // A name with an embedded NUL is not the name before it.
  EXPECT_EQ(AgentCatalogue::tool(std::string_view("get_status\0x", 12)), nullptr);
  // A schema text that is not an object is listed as {"type": "object"}.
  for (const char* text : {"", "{", "[]", "42", "{\"type\":\"object\"}x"}) {
    const AgentTool tool{"t", "T", "d", text};
    EXPECT_EQ(tool.listEntry().at("inputSchema"), json({{"type", "object"}})) << text;
  }
}

TEST(AgentWire, EncodeWritesOneCompactLineOrNothing) {
  EXPECT_EQ(AgentWire::socketName, "agent.sock");
  EXPECT_EQ(AgentWire::encode(json{{"id", "call"}, {"command", "tools/call"}, {"arguments", {{"path", "/tmp/a b"}}}}),
            "{\"arguments\":{\"path\":\"/tmp/a b\"},\"command\":\"tools/call\",\"id\":\"call\"}\n");
  for (const json& value : {json::array(), json("x"), json{{"bad", std::string("\xc3")}}, json{{"nan", std::nan("")}}}) {
    EXPECT_EQ(AgentWire::encode(value), std::nullopt) << value.dump(-1, ' ', false, json::error_handler_t::replace);
  }
  // Deep nesting is refused without crashing.
  EXPECT_EQ(AgentWire::decode("{\"a\":" + std::string(100000, '[') + std::string(100000, ']') + "}\n"), std::nullopt);
  EXPECT_EQ(AgentWire::decode(std::string(100000, '{')), std::nullopt);
}

TEST(AgentWire, DecodeReadsTheFirstLineAsAnObject) {
  static const struct {
    std::string bytes;
    const char* expected;  // nullptr: nothing
  } cases[] = {
      {"{\"ok\":true}\r\n", R"({"ok":true})"},      {"{\"ok\":true}\n{\"ok\":false}\n", R"({"ok":true})"},
      {"  {\"a\":[1,{\"b\":null}]}  \ngarbage", R"({"a":[1,{"b":null}]})"},
      {"[1,2]\n", nullptr},         {"not json\n", nullptr},          {"\n{\"ok\":true}\n", nullptr},
      {"", nullptr},                {"{\"ok\":\n true}\n", nullptr},   {"{\"s\":\"\xff\"}\n", nullptr},
  };
  for (const auto& c : cases) {
    const auto expected = c.expected ? std::optional<json>(json::parse(c.expected)) : std::nullopt;
    EXPECT_EQ(AgentWire::decode(c.bytes), expected) << c.bytes;
  }
}

TEST(AgentWire, RepliesHaveTheFixedShapes) {
  EXPECT_EQ(AgentWire::encode(AgentWire::reply(json("call"), json{{"path", "/a/b"}})),
            "{\"id\":\"call\",\"ok\":true,\"result\":{\"path\":\"/a/b\"}}\n");
  EXPECT_EQ(AgentWire::encode(AgentWire::reply(std::nullopt, AgentError::unknownTool("zap"))),
            R"({"error":{"code":"unknown_tool","hint":"List the tools again; the app may have been updated.",)"
            R"("message":"There is no tool called zap."},"id":null,"ok":false})" "\n");
  // Without a hint, the error leaves it out.
  EXPECT_EQ(AgentWire::encode(json{{"e", AgentError("x_y", "Went wrong.")}}), R"({"e":{"code":"x_y","message":"Went wrong."}})" "\n");
}

RC_GTEST_PROP(AgentWire, EncodeThenDecodeGivesTheMessageBack, ()) {
  const json message = *testing::objectJSON();
  const std::string trailing = *rc::gen::elementOf(std::vector<std::string>{"", "{\"next\":1}\n", "junk"});
  const auto bytes = AgentWire::encode(message);
  RC_ASSERT(bytes.has_value());
  RC_ASSERT(bytes->back() == '\n');
  RC_ASSERT(bytes->find('\n') == bytes->size() - 1);  // one line, whatever the text holds
  const auto decoded = AgentWire::decode(*bytes + trailing);
  RC_ASSERT(decoded.has_value());
  RC_ASSERT(*decoded == message);
}

// The golden instructions were taken once from the product's own wording,
// with its arrows, dash and apostrophes exactly as written.
TEST(MCPMessages, InitializeResultNamesTheBrandAndCarriesTheInstructions) {
  const Brand brand(json{{"ProductNameCompact", "AcmeRec"}, {"ProductNameDisplay", "Acme Recorder"},
                         {"CFBundleShortVersionString", "2.4.1"}});
  const json result = MCPMessages::initializeResult(brand);
  EXPECT_EQ(result.at("protocolVersion"), "2025-06-18");
  EXPECT_EQ(result.at("capabilities"), json::parse(R"({"tools":{"listChanged":false}})"));
  EXPECT_EQ(result.at("serverInfo"), json::parse(R"({"name":"acmerec","title":"Acme Recorder","version":"2.4.1"})"));
  EXPECT_EQ(result.at("instructions"), readFixture("instructions-acme.txt"));
  EXPECT_EQ(MCPMessages::initializeResult(brand, "2024-11-05").at("protocolVersion"), "2024-11-05");
  EXPECT_EQ(MCPMessages::instructions("").substr(0, 9), " records ");
}

TEST(MCPMessages, ToolResultCarriesTheAnswerAsTextAndObject) {
  const json answer = {{"b", 1}, {"a", {{"file_path", "/Users/p/Movies/Take 1.mp4"}}}};
  const json result = MCPMessages::toolResult(answer, false);
  const std::string text = "{\n  \"a\" : {\n    \"file_path\" : \"/Users/p/Movies/Take 1.mp4\"\n  },\n  \"b\" : 1\n}";
  EXPECT_EQ(result, json({{"content", {{{"type", "text"}, {"text", text}}}}, {"isError", false}, {"structuredContent", answer}}));
  EXPECT_EQ(MCPMessages::toolResult(answer, true), json({{"content", {{{"type", "text"}, {"text", text}}}}, {"isError", true}}));

  // An answer that cannot be written as text still gives a result.
  EXPECT_EQ(MCPMessages::toolResult({{"name", std::string("\xff\xfe")}}, true).at("content")[0].at("text"), "{}");
}

TEST(MCPMessages, ToolResultFromAWireReply) {
  static const struct {
    const char* reply;
    bool isError;
    const char* answer;  // the structured answer the result carries
  } cases[] = {
      {R"({"id":"call","ok":true,"result":{"file_path":"/tmp/x.mp4"}})", false, R"({"file_path":"/tmp/x.mp4"})"},
      {R"({"ok":true})", false, "{}"},
      {R"({"ok":true,"result":[1,2]})", false, "{}"},
      {R"({"ok":false})", true, R"({"error":{"message":"Unknown error."}})"},
      {R"({"ok":"true","result":{"a":1}})", true, R"({"error":{"message":"Unknown error."}})"},
      {R"({"ok":false,"error":"plain text"})", true, R"({"error":"plain text"})"},
  };
  for (const auto& c : cases) {
    const json result = MCPMessages::toolResult(json::parse(c.reply));
    const json answer = json::parse(c.answer);
    EXPECT_EQ(result.at("isError"), c.isError) << c.reply;
    EXPECT_EQ(result.at("content")[0].at("text"), JSONText::pretty(answer).value()) << c.reply;
    EXPECT_EQ(result.value("structuredContent", json()), c.isError ? json() : answer) << c.reply;
  }
}

RC_GTEST_PROP(MCPMessages, ToolResultTextReadsBackAsTheAnswer, ()) {
  const json answer = *testing::objectJSON();
  const bool isError = *rc::gen::arbitrary<bool>();
  const json result = MCPMessages::toolResult(answer, isError);  // the text is the pretty form
  RC_ASSERT(JSONText::parse(result.at("content")[0].at("text").get<std::string>()) == std::optional(answer));
  RC_ASSERT(result.contains("structuredContent") == !isError);
}

TEST(AgentError, FactoriesGiveTheFixedCodesAndTexts) {
  static const struct {
    AgentError error;
    AgentError expected;
  } cases[] = {
      {AgentError::unknownTool("frobnicate"), {"unknown_tool", "There is no tool called frobnicate.",
                                               "List the tools again; the app may have been updated."}},
      {AgentError::badArgument("at", "must be positive."), {"bad_argument", "Argument at: must be positive."}},
      {AgentError::badArgument("x", "y", "Try z."), {"bad_argument", "Argument x: y", "Try z."}},
      {AgentError::noProject(), {"no_project", "No project is open.",
                                 "Call list_projects and open_project first, or record something with start_recording."}},
  };
  for (const auto& c : cases) EXPECT_EQ(c.error, c.expected) << c.expected.message;
  // Equality looks at every field; thrown, the message is what() says.
  EXPECT_NE(AgentError("a", "b", "c"), AgentError("a", "b"));
  EXPECT_NE(AgentError("a", "b"), AgentError("a", "B"));
  EXPECT_NE(AgentError("a", "b"), AgentError("A", "b"));
  EXPECT_STREQ(static_cast<const std::exception&>(AgentError::noProject()).what(), "No project is open.");
}

}  // namespace
}  // namespace RecorderCore
