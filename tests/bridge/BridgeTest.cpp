// The dispatcher in process: its output captured, the app link given hooks
// that count launches and polls instead of starting anything or waiting.
#include "bridge/Bridge.h"

#include <gtest/gtest.h>

#include "RecorderCore/agent/AgentCatalogue.h"
#include "RecorderCore/agent/MCPMessages.h"
#include "tests/bridge/BridgeTestSupport.h"

namespace RecorderCore::Testing {
namespace {

struct Captured {
  std::vector<std::string> out;
  std::vector<std::string> err;
  int launches = 0;
  int polls = 0;
};

// A bridge whose socket is in `folder` and whose output and launches land in
// `captured`.
Bridge makeBridge(const fs::path& folder, Captured& captured, const std::string& features = "mcp") {
  const json info = {{"ProductNameCompact", "Clip"}, {"ProductNameDisplay", "Clip “Pro”"}};
  Bridge::Configuration configuration{
      .appBundlePath = (folder / "Clip.app").string(),
      .brand = Brand(info),
      .features = Features({}, features),
      .socketPath = (folder / "Clip" / "agent.sock").string(),
  };
  AppLink::Hooks hooks{
      .launchApp = [&captured] { ++captured.launches; },
      .sleep = [&captured](std::chrono::microseconds) { ++captured.polls; },
      .log = {},
  };
  Bridge::Output output{
      .standardOutput = [&captured](std::string_view bytes) { captured.out.emplace_back(bytes); },
      .standardError = [&captured](std::string_view bytes) { captured.err.emplace_back(bytes); },
  };
  return Bridge(std::move(configuration), std::move(hooks), std::move(output));
}

std::string line(const json& message) { return compactLine(message) + "\n"; }

TEST(Bridge, AppDownFallsBackToTheCatalogueAndTheRefusal) {
  TemporaryFolder folder;
  Captured captured;
  Bridge bridge = makeBridge(folder.path(), captured);
  const std::string refusal =
      "Clip “Pro” is not accepting agents. Ask the person to open Clip “Pro” › Settings › Agents "
      "and switch on “Allow agents to control Clip “Pro””.";
  EXPECT_EQ(bridge.refusalMessage(), refusal);

  // Methods that do not talk to the app never launch it.
  bridge.handle({{"id", 1}, {"method", "initialize"}});
  bridge.handle({{"id", 2}, {"method", "ping"}});
  bridge.handle({{"id", 3}, {"method", "tools/call"}, {"params", {{"name", nullptr}}}});
  EXPECT_EQ(captured.launches, 0);
  EXPECT_EQ(captured.out.size(), 3u);
  captured.out.clear();

  json catalogue = json::array();
  for (const AgentTool& tool : AgentCatalogue::tools()) catalogue.push_back(tool.listEntry());
  bridge.handle({{"id", 4}, {"method", "tools/list"}});
  EXPECT_EQ(captured.launches, 1);
  EXPECT_EQ(captured.polls, 48);
  bridge.handle({{"id", 5}, {"method", "tools/call"}, {"params", {{"name", "get_status"}}}});
  EXPECT_EQ(captured.launches, 2);
  EXPECT_EQ(captured.polls, 96);
  // A notification still reaches the app, but nothing is written for it.
  bridge.handle({{"method", "tools/call"}, {"params", {{"name", "get_status"}}}});
  EXPECT_EQ(captured.launches, 3);

  ASSERT_EQ(captured.out.size(), 2u);
  EXPECT_EQ(captured.out[0], line({{"jsonrpc", "2.0"}, {"id", 4}, {"result", {{"tools", catalogue}}}}));
  const json refused = MCPMessages::toolResult({{"error", refusal}}, true);
  EXPECT_EQ(captured.out[1], line({{"jsonrpc", "2.0"}, {"id", 5}, {"result", refused}}));
  EXPECT_EQ(refused["content"][0]["text"], "{\n  \"error\" : \"" + refusal + "\"\n}");
  EXPECT_EQ(captured.err, std::vector<std::string>(3, "[Clip-mcp] app not reachable, starting it\n"));
}

TEST(Bridge, FeatureGateRefusesEverythingWithAnId) {
  TemporaryFolder folder;
  Captured captured;
  Bridge bridge = makeBridge(folder.path(), captured, "other");
  const json error = {{"code", -32000}, {"message", "Agent control is not part of this build of Clip “Pro”."}};
  for (const char* method : {"initialize", "ping", "tools/list", "tools/call", "nonsense", "notifications/x"}) {
    captured.out.clear();
    bridge.handle({{"id", method}, {"method", method}, {"params", {{"name", "get_status"}}}});
    EXPECT_EQ(captured.out, std::vector<std::string>{line({{"jsonrpc", "2.0"}, {"id", method}, {"error", error}})})
        << method;
    captured.out.clear();
    bridge.handle({{"method", method}});
    EXPECT_TRUE(captured.out.empty()) << method;
  }
  EXPECT_EQ(captured.launches, 0);
  EXPECT_EQ(bridge.clientName(), "An agent");
}

TEST(Bridge, ClientNameComesFromInitialize) {
  TemporaryFolder folder;
  Captured captured;
  Bridge bridge = makeBridge(folder.path(), captured);
  static const struct {
    json params;
    std::string expected;
  } cases[] = {
      {json::object(), "An agent"},
      {{{"clientInfo", {{"name", ""}}}}, "An agent"},
      {{{"clientInfo", {{"name", 5}}}}, "An agent"},
      {{{"clientInfo", "Claude"}}, "An agent"},
      {{{"clientInfo", {{"name", "Claude"}}}}, "Claude"},
      {{{"clientInfo", {{"name", ""}}}}, "Claude"},
      {{{"clientInfo", {{"name", "Cursor"}, {"version", "1"}}}}, "Cursor"},
  };
  for (const auto& c : cases) {
    // Without an id nothing is written, but the name is still taken.
    bridge.handle({{"method", "initialize"}, {"params", c.params}});
    EXPECT_EQ(bridge.clientName(), c.expected) << c.params;
  }
  EXPECT_TRUE(captured.out.empty());
}

TEST(Bridge, LinesAreParsedOrAnsweredWithTheParseError) {
  TemporaryFolder folder;
  Captured captured;
  Bridge bridge = makeBridge(folder.path(), captured);
  const std::string parseError = "{\"error\":{\"code\":-32700,\"message\":\"Parse error\"},\"id\":null,\"jsonrpc\":\"2.0\"}\n";
  static const struct {
    std::string line;
    bool parseError;
  } cases[] = {
      {"", false},
      {" ", true},
      {"null", true},
      {"[]", true},
      {"{", true},
      {"{\"id\":1,\"method\":\"ping\"}", false},
      {"{\"id\":1,\"method\":\"ping\"} trailing", true},
      {"{\"id\":1,\"method\":\"ping\",\"s\":\"\xed\xa0\x80\"}", true},
      {std::string(600, '[') + std::string(600, ']'), true},
  };
  for (const auto& c : cases) {
    captured.out.clear();
    bridge.handleLine(c.line);
    if (c.parseError) {
      EXPECT_EQ(captured.out, std::vector<std::string>{parseError}) << c.line;
    } else {
      EXPECT_TRUE(captured.out.empty() || captured.out[0] != parseError) << c.line;
    }
  }
  // A message that cannot be written as JSON is dropped, not half-written.
  captured.out.clear();
  bridge.emit({{"text", "\xff"}});
  EXPECT_TRUE(captured.out.empty());
}

TEST(Bridge, LogLinesCarryTheCompactNamePrefix) {
  TemporaryFolder folder;
  Captured captured;
  Bridge bridge = makeBridge(folder.path(), captured);
  bridge.logReady();
  bridge.log("hello");
  EXPECT_EQ(captured.err, (std::vector<std::string>{
                              "[Clip-mcp] ready (app: Clip.app, socket: " + (folder.path() / "Clip/agent.sock").string() + ")\n",
                              "[Clip-mcp] hello\n"}));
  EXPECT_EQ(Bridge::socketPath("/x/y", Brand(json::object())), "/x/y/Product/agent.sock");
  EXPECT_EQ(Bridge::socketPath("/x/y/", Brand(json::object())), "/x/y/Product/agent.sock");
}

}  // namespace
}  // namespace RecorderCore::Testing
