#include "RecorderCore/agent/ClaudeDesktopConfig.h"

#include <string>

#include <gtest/gtest.h>
#include <rapidcheck/gtest.h>

#include "RecorderCore/platform/JSONText.h"
#include "tests/agent/AgentTestSupport.h"

namespace RecorderCore {
namespace {

using nlohmann::json;
namespace Config = ClaudeDesktopConfig;

const std::string kCommand = "/Applications/Acme Recorder.app/Contents/MacOS/acme-mcp";

std::string readFixture(const std::string& name) { return testing::readFixture("claude/" + name); }

TEST(ClaudeDesktopConfig, NothingToMergeIntoGivesOnlyTheNewEntry) {
  const std::string expected =
      "{\n  \"mcpServers\" : {\n    \"acme\" : {\n      \"args\" : [\n\n      ],\n"
      "      \"command\" : \"/Applications/Acme Recorder.app/Contents/MacOS/acme-mcp\"\n    }\n  }\n}";
  static const std::optional<std::string> files[] = {
      std::nullopt, readFixture("blank.json"), std::string("\xc2\xa0\xe3\x80\x80\n\xe2\x80\xa8"),
      std::string("{\"mcpServers\":\xff}"),  // not UTF-8: counts as empty text
  };
  for (const auto& file : files) {
    EXPECT_EQ(Config::merge(file, "acme", kCommand, {"acme", "other"}), expected) << file.value_or("<none>");
  }
}

TEST(ClaudeDesktopConfig, MergeKeepsEveryOtherMember) {
  const std::string original = readFixture("several-servers.json");
  const std::vector<std::string> removing = {"oldrecorder", "notes-mcp", "github", "acme", "missing", "weather"};
  const std::string merged = Config::merge(original, "acme", kCommand, removing);

  json expected = json::parse(original);
  expected["mcpServers"].erase("oldrecorder");  // an earlier bridge: its command ends in -mcp
  expected["mcpServers"]["acme"] = {{"command", kCommand}, {"args", json::array()}};
  EXPECT_EQ(json::parse(merged), expected);
  EXPECT_EQ(merged, JSONText::pretty(expected).value());  // sorted keys at every level
  EXPECT_NE(merged.find("\"command\" : \"/Applications/Acme Recorder.app/Contents/MacOS/acme-mcp\""),
            std::string::npos);  // slashes not escaped
  EXPECT_NE(merged.find("日本語 ✍️"), std::string::npos);  // text kept as UTF-8
  EXPECT_EQ(Config::merge(merged, "acme", kCommand, removing), merged);
  EXPECT_FALSE(Config::isInstalled(merged, "acme", kCommand + "x"));
  EXPECT_FALSE(Config::isInstalled(original, "acme", kCommand));  // the old entry runs another path
}

TEST(ClaudeDesktopConfig, RemovesOnlyEarlierBridges) {
  static const struct {
    json entry;
    bool removed;
  } cases[] = {
      {{{"command", "/x/old-mcp"}, {"args", json::array()}}, true},
      {{{"command", "/x/old-MCP"}}, false},
      {{{"command", "/x/old-mcp\xcc\x81"}}, false},         // the p carries a mark
      {{{"command", "/x/old\xd8\x80-mcp"}}, false},         // the - joins the sign before it
      {{{"command", 42}}, false},
      {json("/x/old-mcp"), false},
  };
  for (const auto& c : cases) {
    const json root = {{"mcpServers", {{"old", c.entry}, {"acme", {{"command", "/x/acme-mcp"}}}}}};
    const json merged = json::parse(Config::merge(root.dump(), "acme", kCommand, {"old"}));
    EXPECT_EQ(!merged["mcpServers"].contains("old"), c.removed) << c.entry.dump();
  }
  // The server's own name in the removal list: its entry is simply replaced.
  const json own = {{"mcpServers", {{"acme", {{"command", "/x/acme-mcp"}, {"env", {{"A", "1"}}}}}}}};
  EXPECT_EQ(json::parse(Config::merge(own.dump(), "acme", kCommand, {"acme"}))["mcpServers"],
            json({{"acme", {{"command", kCommand}, {"args", json::array()}}}}));
}

TEST(ClaudeDesktopConfig, MalformedServersMemberIsReplaced) {
  const json merged = json::parse(Config::merge(readFixture("malformed-servers.json"), "acme", kCommand, {}));
  EXPECT_EQ(merged, json::parse(R"({"keep":{"deep":{"er":[1,2,3]}},"mcpServers":{"acme":{"args":[],)"
                                R"("command":"/Applications/Acme Recorder.app/Contents/MacOS/acme-mcp"}}})"));
}

TEST(ClaudeDesktopConfig, RefusesWhatIsNotAnObject) {
  EXPECT_THROW(Config::merge(readFixture("broken.json"), "acme", kCommand, {}), Config::ParseError);
  try {
    Config::merge(std::string("{\"a\": tru}"), "acme", kCommand, {});
    ADD_FAILURE() << "no error";
  } catch (const Config::ParseError& error) {
    EXPECT_NE(std::string(error.what()).find("parse error"), std::string::npos) << error.what();
  }
  for (const std::string& text : {std::string("42"), std::string("null"), readFixture("top-level-array.json")}) {
    EXPECT_THROW(Config::merge(text, "acme", kCommand, {}), Config::MergeError) << text;
  }
  EXPECT_THROW(Config::merge("{\"a\":" + std::string(100000, '[') + std::string(100000, ']') + "}", "acme", kCommand, {}),
               Config::ParseError);
  EXPECT_THROW(Config::merge(std::string(100000, '['), "acme", kCommand, {}), Config::ParseError);
  EXPECT_THROW(Config::merge(std::nullopt, "acme", "/bad/\xff-mcp", {}), Config::WriteError);
}

TEST(ClaudeDesktopConfig, IsInstalledNeedsTheExactEntry) {
  EXPECT_FALSE(Config::isInstalled(std::nullopt, "acme", "/x/acme-mcp"));
  for (const char* file : {"not json", R"({"mcpServers":[]})", R"({"mcpServers":{"acme":"/x/acme-mcp"}})",
                           R"({"mcpServers":{"acme":{"command":["/x/acme-mcp"]}}})"}) {
    EXPECT_FALSE(Config::isInstalled(std::string(file), "acme", "/x/acme-mcp")) << file;
  }
  const std::string escaped = R"( {"mcpServers":{"acme":{"command":"\/x\/acme-mcp","args":["a"]}}} )";
  EXPECT_TRUE(Config::isInstalled(escaped, "acme", "/x/acme-mcp"));
}

// Whatever else the file holds comes back unchanged, and merging again gives
// the same bytes.
RC_GTEST_PROP(ClaudeDesktopConfig, MergeChangesOnlyTheOneEntry, ()) {
  json root = *testing::objectJSON();
  if (*rc::gen::arbitrary<bool>()) root["mcpServers"] = *testing::objectJSON(2);
  const std::string name = *testing::wireText();
  const std::string command = "/Applications/" + *testing::wireText() + "-mcp";

  const std::string merged = Config::merge(JSONText::compact(root).value(), name, command, {});
  json expected = root;
  if (!expected["mcpServers"].is_object()) expected["mcpServers"] = json::object();
  expected["mcpServers"][name] = {{"command", command}, {"args", json::array()}};
  RC_ASSERT(json::parse(merged) == expected);
  RC_ASSERT(Config::merge(merged, name, command, {}) == merged);
  RC_ASSERT(Config::isInstalled(merged, name, command));
}

}  // namespace
}  // namespace RecorderCore
