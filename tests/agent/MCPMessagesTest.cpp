#include "RecorderCore/agent/MCPMessages.h"

#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>
#include <rapidcheck/gtest.h>

#include "RecorderCore/agent/AgentError.h"
#include "RecorderCore/platform/JSONText.h"
#include "tests/agent/JSONGenerators.h"

namespace RecorderCore {
namespace {

using nlohmann::json;

std::string compactText(const json& value) { return JSONText::compact(value).value_or("<unwritable>"); }

TEST(MCPMessages, EnvelopesEchoTheIdUnchanged) {
  static const struct {
    std::optional<json> id;
    const char* expected;
  } cases[] = {
      {json(7), R"({"id":7,"jsonrpc":"2.0","result":{}})"},
      {json(7.5), R"({"id":7.5,"jsonrpc":"2.0","result":{}})"},
      {json("abc"), R"({"id":"abc","jsonrpc":"2.0","result":{}})"},
      {json(nullptr), R"({"id":null,"jsonrpc":"2.0","result":{}})"},
      {std::nullopt, R"({"id":null,"jsonrpc":"2.0","result":{}})"},
      {json::array({1, "x"}), R"({"id":[1,"x"],"jsonrpc":"2.0","result":{}})"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(compactText(MCPMessages::result(c.id, json::object())), c.expected) << c.expected;
  }
  EXPECT_EQ(compactText(MCPMessages::error(std::nullopt, -32700, "Parse error")),
            R"({"error":{"code":-32700,"message":"Parse error"},"id":null,"jsonrpc":"2.0"})");
  EXPECT_EQ(compactText(MCPMessages::error(json("abc"), -32601, "Method not found: foo")),
            R"({"error":{"code":-32601,"message":"Method not found: foo"},"id":"abc","jsonrpc":"2.0"})");
}

TEST(MCPMessages, InitializeResultNamesTheBrandAndEchoesTheClientVersion) {
  const Brand brand(json{{"ProductNameCompact", "AcmeRec"},
                         {"ProductNameDisplay", "Acme Recorder"},
                         {"CFBundleShortVersionString", "2.4.1"}});
  const json result = MCPMessages::initializeResult(brand);
  EXPECT_EQ(MCPMessages::protocolVersion, "2025-06-18");
  EXPECT_EQ(result.at("protocolVersion"), "2025-06-18");
  EXPECT_EQ(result.at("capabilities"), json::parse(R"({"tools":{"listChanged":false}})"));
  EXPECT_EQ(result.at("serverInfo"), json::parse(R"({"name":"acmerec","title":"Acme Recorder","version":"2.4.1"})"));
  EXPECT_EQ(result.at("instructions"), MCPMessages::instructions("Acme Recorder"));
  EXPECT_EQ(result.size(), 4u);

  EXPECT_EQ(MCPMessages::initializeResult(brand, "2024-11-05").at("protocolVersion"), "2024-11-05");
  EXPECT_EQ(MCPMessages::initializeResult(brand, "").at("protocolVersion"), "");
}

// The golden text was taken once from the product's own wording, with its
// arrows, dash and apostrophes exactly as written.
TEST(MCPMessages, InstructionsMatchTheGoldenText) {
  std::ifstream in(std::string(RECORDER_SOURCE_DIR) + "/tests/agent/fixtures/instructions-acme.txt", std::ios::binary);
  std::ostringstream golden;
  golden << in.rdbuf();
  const std::string text = MCPMessages::instructions("Acme Recorder");
  EXPECT_EQ(text, golden.str());
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 6);
  EXPECT_NE(text.back(), '\n');
  EXPECT_EQ(text.rfind("Acme Recorder records the screen of this Mac", 0), 0u);
  EXPECT_EQ(MCPMessages::instructions("").substr(0, 9), " records ");
}

TEST(MCPMessages, ToolResultCarriesTheAnswerAsTextAndObject) {
  const json answer = {{"b", 1}, {"a", {{"file_path", "/Users/p/Movies/Take 1.mp4"}}}};
  const json result = MCPMessages::toolResult(answer, false);
  EXPECT_EQ(result.at("isError"), false);
  EXPECT_EQ(result.at("structuredContent"), answer);
  ASSERT_EQ(result.at("content").size(), 1u);
  EXPECT_EQ(result.at("content")[0].at("type"), "text");
  EXPECT_EQ(result.at("content")[0].at("text"),
            "{\n"
            "  \"a\" : {\n"
            "    \"file_path\" : \"/Users/p/Movies/Take 1.mp4\"\n"
            "  },\n"
            "  \"b\" : 1\n"
            "}");

  const json failure = MCPMessages::toolResult(json{{"error", "The app is closed."}}, true);
  EXPECT_EQ(failure.at("isError"), true);
  EXPECT_FALSE(failure.contains("structuredContent"));
  EXPECT_EQ(failure.size(), 2u);

  // An answer that cannot be written as text still gives a result.
  const json unwritable = {{"name", std::string("\xff\xfe")}};
  EXPECT_EQ(MCPMessages::toolResult(unwritable, true).at("content")[0].at("text"), "{}");
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
      {R"({"ok":true,"result":null,"error":{"code":"x"}})", false, "{}"},
      {R"({"ok":false})", true, R"({"error":{"message":"Unknown error."}})"},
      {R"({})", true, R"({"error":{"message":"Unknown error."}})"},
      {R"({"ok":"true","result":{"a":1}})", true, R"({"error":{"message":"Unknown error."}})"},
      {R"({"ok":1,"result":{"a":1}})", true, R"({"error":{"message":"Unknown error."}})"},
      {R"({"ok":false,"error":{"code":"no_project","message":"No project is open."}})", true,
       R"({"error":{"code":"no_project","message":"No project is open."}})"},
      {R"({"ok":false,"error":"plain text"})", true, R"({"error":"plain text"})"},
      {R"({"ok":false,"error":null})", true, R"({"error":null})"},
      {R"({"ok":false,"error":[1]})", true, R"({"error":[1]})"},
      {R"([1,2])", true, R"({"error":{"message":"Unknown error."}})"},
  };
  for (const auto& c : cases) {
    const json result = MCPMessages::toolResult(json::parse(c.reply));
    const json answer = json::parse(c.answer);
    EXPECT_EQ(result.at("isError"), c.isError) << c.reply;
    EXPECT_EQ(result.at("content")[0].at("text"), JSONText::pretty(answer).value()) << c.reply;
    if (c.isError) {
      EXPECT_FALSE(result.contains("structuredContent")) << c.reply;
    } else {
      EXPECT_EQ(result.at("structuredContent"), answer) << c.reply;
    }
  }
  const json failed = MCPMessages::toolResult(json::parse(R"({"ok":false})"));
  EXPECT_EQ(failed.at("content")[0].at("text"), "{\n  \"error\" : {\n    \"message\" : \"Unknown error.\"\n  }\n}");
}

RC_GTEST_PROP(MCPMessages, ToolResultTextReadsBackAsTheAnswer, ()) {
  const json answer = *testing::objectJSON();
  const bool isError = *rc::gen::arbitrary<bool>();
  const json result = MCPMessages::toolResult(answer, isError);
  const auto reread = JSONText::parse(result.at("content")[0].at("text").get<std::string>());
  RC_ASSERT(reread.has_value());
  RC_ASSERT(*reread == answer);
  RC_ASSERT(result.contains("structuredContent") == !isError);
}

TEST(AgentError, FactoriesGiveTheFixedCodesAndTexts) {
  const AgentError unknown = AgentError::unknownTool("frobnicate");
  EXPECT_EQ(unknown.code, "unknown_tool");
  EXPECT_EQ(unknown.message, "There is no tool called frobnicate.");
  EXPECT_EQ(unknown.hint, "List the tools again; the app may have been updated.");

  const AgentError bad = AgentError::badArgument("at", "must be positive.");
  EXPECT_EQ(bad, AgentError("bad_argument", "Argument at: must be positive."));
  EXPECT_EQ(AgentError::badArgument("x", "y", "Try z.").hint, "Try z.");

  const AgentError none = AgentError::noProject();
  EXPECT_EQ(none.code, "no_project");
  EXPECT_EQ(none.message, "No project is open.");
  EXPECT_EQ(none.hint, "Call list_projects and open_project first, or record something with start_recording.");

  // Equality looks at every field.
  EXPECT_NE(AgentError("a", "b", "c"), AgentError("a", "b"));
  EXPECT_NE(AgentError("a", "b"), AgentError("a", "B"));
  EXPECT_NE(AgentError("a", "b"), AgentError("A", "b"));
}

TEST(AgentError, WireFormLeavesOutAMissingHintAndThrowsAsAnException) {
  EXPECT_EQ(compactText(json(AgentError("x_y", "Went wrong."))), R"({"code":"x_y","message":"Went wrong."})");
  EXPECT_EQ(compactText(json(AgentError::unknownTool("a/b"))),
            R"({"code":"unknown_tool","hint":"List the tools again; the app may have been updated.",)"
            R"("message":"There is no tool called a/b."})");
  try {
    throw AgentError::noProject();
  } catch (const std::exception& error) {
    EXPECT_STREQ(error.what(), "No project is open.");
  }
}

}  // namespace
}  // namespace RecorderCore
