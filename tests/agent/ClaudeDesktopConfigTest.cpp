#include "RecorderCore/agent/ClaudeDesktopConfig.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unordered_set>

#include <gtest/gtest.h>
#include <rapidcheck/gtest.h>

#include "RecorderCore/platform/JSONText.h"
#include "tests/agent/JSONGenerators.h"

namespace RecorderCore {
namespace {

using nlohmann::json;
namespace Config = ClaudeDesktopConfig;

const std::string kCommand = "/Applications/Acme Recorder.app/Contents/MacOS/acme-mcp";

std::string readFixture(const std::string& name) {
  std::ifstream in(std::string(RECORDER_SOURCE_DIR) + "/tests/agent/fixtures/claude/" + name, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// Asks another JSON reader whether the text is JSON: Python's, through a pipe.
bool pythonReadsJSON(const std::string& text) {
  const auto path = std::filesystem::temp_directory_path() /
                    ("claude-config-" + std::to_string(reinterpret_cast<std::uintptr_t>(&text)) + ".json");
  {
    std::ofstream out(path, std::ios::binary);
    out << text;
  }
  // The system's interpreter starts much faster than a version manager's shim.
  const std::string python = std::filesystem::exists("/usr/bin/python3") ? "/usr/bin/python3" : "python3";
  const std::string command =
      python + " -c 'import json,sys; json.load(sys.stdin)' < '" + path.string() + "' 2>/dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  const int status = pipe ? pclose(pipe) : -1;
  std::filesystem::remove(path);
  return status == 0;
}

TEST(ClaudeDesktopConfig, NothingToMergeIntoGivesOnlyTheNewEntry) {
  const std::string expected =
      "{\n"
      "  \"mcpServers\" : {\n"
      "    \"acme\" : {\n"
      "      \"args\" : [\n"
      "\n"
      "      ],\n"
      "      \"command\" : \"/Applications/Acme Recorder.app/Contents/MacOS/acme-mcp\"\n"
      "    }\n"
      "  }\n"
      "}";
  static const std::optional<std::string> files[] = {
      std::nullopt, std::string(), readFixture("blank.json"), std::string("\xc2\xa0\xe3\x80\x80\n\xe2\x80\xa8"),
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
  EXPECT_TRUE(pythonReadsJSON(merged));
  EXPECT_FALSE(pythonReadsJSON(merged.substr(0, merged.size() - 1)));  // the check itself can fail

  EXPECT_EQ(Config::merge(merged, "acme", kCommand, removing), merged);
  EXPECT_EQ(Config::merge(original, "acme", kCommand, removing), merged);
  EXPECT_TRUE(Config::isInstalled(merged, "acme", kCommand));
  EXPECT_FALSE(Config::isInstalled(merged, "acme", kCommand + "x"));
  EXPECT_FALSE(Config::isInstalled(merged, "acme", kCommand.substr(1)));
  EXPECT_FALSE(Config::isInstalled(original, "acme", kCommand));  // the old entry runs another path
}

TEST(ClaudeDesktopConfig, RemovesOnlyEarlierBridges) {
  static const struct {
    json entry;
    bool removed;
  } cases[] = {
      {{{"command", "/x/old-mcp"}, {"args", json::array()}}, true},
      {{{"command", "-mcp"}}, true},
      {{{"command", "/x/old-mcp "}}, false},
      {{{"command", "/x/old-MCP"}}, false},
      {{{"command", "/x/oldmcp"}}, false},
      {{{"command", "/x/old-mcp\xcc\x81"}}, false},         // the p carries a mark
      {{{"command", "/x/old\xd8\x80-mcp"}}, false},         // the - joins the sign before it
      {{{"command", 42}}, false},
      {{{"args", {"-mcp"}}}, false},
      {json("/x/old-mcp"), false},
      {json::array({"/x/old-mcp"}), false},
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
  static const char* const notObjects[] = {"[]", "42", "\"text\"", "null", "true", " \n[{\"mcpServers\":{}}]\n"};
  for (const char* text : notObjects) {
    try {
      Config::merge(std::string(text), "acme", kCommand, {});
      ADD_FAILURE() << text;
    } catch (const Config::MergeError& error) {
      EXPECT_EQ(error, Config::MergeError::notAnObject) << text;
    }
  }
  EXPECT_THROW(Config::merge(readFixture("top-level-array.json"), "acme", kCommand, {}), Config::MergeError);
  const std::string deep = "{\"a\":" + std::string(100000, '[') + std::string(100000, ']') + "}";
  EXPECT_THROW(Config::merge(deep, "acme", kCommand, {}), Config::ParseError);
  EXPECT_THROW(Config::merge(std::string(100000, '['), "acme", kCommand, {}), Config::ParseError);
  EXPECT_THROW(Config::merge(std::nullopt, "acme", "/bad/\xff-mcp", {}), Config::WriteError);
  EXPECT_EQ(std::unordered_set<Config::MergeError>{Config::MergeError::notAnObject}.size(), 1u);
}

TEST(ClaudeDesktopConfig, IsInstalledNeedsTheExactEntry) {
  static const struct {
    std::optional<std::string> file;
    bool installed;
  } cases[] = {
      {std::nullopt, false},
      {std::string(), false},
      {std::string(" "), false},
      {std::string("not json"), false},
      {std::string("[]"), false},
      {std::string(R"({"mcpServers":[]})"), false},
      {std::string(R"({"mcpServers":{"acme":"/x/acme-mcp"}})"), false},
      {std::string(R"({"mcpServers":{"acme":{"command":["/x/acme-mcp"]}}})"), false},
      {std::string(R"({"mcpServers":{"Acme":{"command":"/x/acme-mcp"}}})"), false},
      {std::string(R"({"mcpServers":{"acme":{"command":"/x/acme-mcp "}}})"), false},
      {std::string(R"({"mcpServers":{"acme":{"command":"/x/acme-mcp"}}})"), true},
      {std::string(R"( {"mcpServers":{"acme":{"command":"\/x\/acme-mcp","args":["a"]}}} )"), true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Config::isInstalled(c.file, "acme", "/x/acme-mcp"), c.installed) << c.file.value_or("<none>");
  }
}

// Whatever else the file holds comes back unchanged, and merging again gives
// the same bytes.
RC_GTEST_PROP(ClaudeDesktopConfig, MergeChangesOnlyTheOneEntry, ()) {
  json root = *testing::objectJSON();
  if (*rc::gen::arbitrary<bool>()) root["mcpServers"] = *testing::objectJSON(2);
  const std::string name = *testing::wireText();
  const std::string command = "/Applications/" + *testing::wireText() + "-mcp";

  const std::string merged = Config::merge(JSONText::compact(root).value(), name, command, {});
  const json result = json::parse(merged);
  json expectedServers = root.contains("mcpServers") && root["mcpServers"].is_object() ? root["mcpServers"] : json::object();
  expectedServers[name] = {{"command", command}, {"args", json::array()}};
  json expected = root;
  expected["mcpServers"] = expectedServers;
  RC_ASSERT(result == expected);
  RC_ASSERT(Config::merge(merged, name, command, {}) == merged);
  RC_ASSERT(Config::isInstalled(merged, name, command));
}

}  // namespace
}  // namespace RecorderCore
