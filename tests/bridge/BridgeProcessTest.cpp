// Black-box tests of the built recorder-mcp: the executable runs as a child
// process from a temporary app bundle, talks over real pipes, and reaches a
// stand-in host app on the agent socket it computes itself.
#include <gtest/gtest.h>

#include <signal.h>

#include <fstream>

#include "RecorderCore/agent/AgentCatalogue.h"
#include "RecorderCore/agent/MCPMessages.h"
#include "RecorderCore/platform/FileIO.h"
#include "tests/bridge/BridgeTestSupport.h"

namespace RecorderCore::Testing {
namespace {

const json kInfo = {{"ProductNameCompact", "ClipTest"},
                    {"ProductNameDisplay", "Clip Test Pro"},
                    {"CFBundleShortVersionString", "3.1.4"},
                    {"EnabledFeatures", "mcp"}};

const std::string kRefusal =
    "Clip Test Pro is not accepting agents. Ask the person to open Clip Test Pro \u203A "
    "Settings \u203A Agents and switch on \u201CAllow agents to control Clip Test Pro\u201D.";

json toolCall(const json& id, const json& params) {
  return {{"jsonrpc", "2.0"}, {"id", id}, {"method", "tools/call"}, {"params", params}};
}

json resultOf(const json& id, const json& result) { return {{"jsonrpc", "2.0"}, {"id", id}, {"result", result}}; }

json errorOf(const json& id, int code, const std::string& message) {
  return {{"jsonrpc", "2.0"}, {"id", id}, {"error", {{"code", code}, {"message", message}}}};
}

const json kParseError = errorOf(nullptr, -32700, "Parse error");

std::string readyLine(const TestBundle& bundle, const std::string& compact, const std::string& socket) {
  return "[" + compact + "-mcp] ready (app: " + bundle.bundle.filename().string() + ", socket: " + socket + ")";
}

TEST(BridgeProcess, StartsUpReadyAndFollowsTheMessageRules) {
  TestBundle bundle(kInfo);
  BridgeProcess bridge(bundle.bridge(), bundle.environment());
  const auto ready = bridge.standardErrorLines(1);
  ASSERT_EQ(ready.size(), 1u);
  EXPECT_EQ(ready[0], readyLine(bundle, "ClipTest", bundle.socketPath("ClipTest")));

  // Each line, then what it must produce: one exact line, or nothing (checked
  // by a ping answered right after it).
  static const struct {
    std::string line;
    std::optional<json> answer;
  } cases[] = {
      {"\n", std::nullopt},  {"\r\n", std::nullopt},  // "\r\n" is one terminator: what is left is an empty line
      {"\r\r\n", kParseError},  {"   \n", kParseError},
      {"[{\"jsonrpc\":\"2.0\",\"id\":1,\"method\":\"ping\"}]\n", kParseError},
      {"{\"id\":1,\"method\":\"ping\"\n", kParseError},
      {"{\"jsonrpc\":\"2.0\",\"id\":5,\"method\":\"ping\"}\r\n", resultOf(5, json::object())},
      {"{\"jsonrpc\":\"2.0\",\"method\":\"ping\"}\n", std::nullopt},
      {"{\"jsonrpc\":\"2.0\",\"id\":null,\"method\":\"ping\"}\n", resultOf(nullptr, json::object())},
      {"{\"id\":[1,{\"a\":\"abc\"}],\"method\":\"ping\"}\n", resultOf(json::array({1, {{"a", "abc"}}}), json::object())},
      {"{\"id\":8,\"method\":\"foo\"}\n", errorOf(8, -32601, "Method not found: foo")},
      {"{\"id\":9}\n", errorOf(9, -32601, "Method not found: ")},
      {"{\"method\":\"foo\"}\n", std::nullopt},
      {"{\"id\":11,\"method\":\"notifications/cancelled\",\"params\":{\"requestId\":3}}\n", std::nullopt},
      {"{\"id\":12,\"method\":\"resources/list\"}\n", resultOf(12, {{"resources", json::array()}})},
      {"{\"id\":13,\"method\":\"prompts/list\"}\n", resultOf(13, {{"prompts", json::array()}})},
      {"{\"id\":14,\"method\":\"tools/call\",\"params\":{\"name\":42}}\n", errorOf(14, -32602, "Missing tool name.")},
      {"{\"id\":16,\"method\":\"initialize\",\"params\":{\"protocolVersion\":\"2024-11-05\"}}\n",
       resultOf(16, MCPMessages::initializeResult(Brand(kInfo), "2024-11-05"))},
      {"{\"id\":17,\"method\":\"initialize\",\"params\":{\"protocolVersion\":3}}\n",
       resultOf(17, MCPMessages::initializeResult(Brand(kInfo)))},
  };
  for (const auto& c : cases) {
    bridge.send(c.line);
    if (c.answer) {
      EXPECT_EQ(bridge.readLine(), c.answer->dump()) << c.line;
    }
    EXPECT_TRUE(bridge.pingIsNextAnswer()) << c.line;
  }

  // The initialize answer carries the product's identity from the bundle.
  bridge.sendLine({{"jsonrpc", "2.0"}, {"id", 1}, {"method", "initialize"}});
  const json initialize = bridge.readMessage();
  EXPECT_EQ(initialize.at("result").at("protocolVersion"), "2025-06-18");
  EXPECT_EQ(initialize.at("result").at("serverInfo"),
            json({{"name", "cliptest"}, {"title", "Clip Test Pro"}, {"version", "3.1.4"}}));

  // A last line without a terminator is still answered; end of input ends the bridge, status 0, silently.
  bridge.send("{\"id\":\"last\",\"method\":\"ping\"}");
  bridge.closeInput();
  EXPECT_EQ(bridge.waitForExit(), 0);
  EXPECT_EQ(bridge.readLine(), resultOf("last", json::object()).dump());
  EXPECT_EQ(bridge.readLine(), std::nullopt);
  EXPECT_EQ(bridge.standardError(), ready[0] + "\n");
}

// The identity and the feature gate come from Info.plist and the environment
// (the other tests run with the feature in Info.plist and no variable).
// Without an Info.plist the compact name is "Product"; without XDG_DATA_HOME
// the socket lives under ~/.local/share.
TEST(BridgeProcess, IdentityAndFeatureGateFollowInfoPlistAndEnvironment) {
  json withoutFeature = kInfo;
  withoutFeature.erase("EnabledFeatures");
  const struct {
    std::optional<json> info;
    std::optional<std::string> variable;
    std::string compact, display;
    bool enabled;
  } cases[] = {
      {std::nullopt, std::nullopt, "Product", "Product", false},
      {kInfo, "", "ClipTest", "Clip Test Pro", false},
      {withoutFeature, " MCP ,other", "ClipTest", "Clip Test Pro", true},
  };
  for (const auto& c : cases) {
    TestBundle bundle(c.info);
    auto environment = bundle.environment();
    environment["ENABLED_FEATURES"] = c.variable;
    environment["XDG_DATA_HOME"] = std::nullopt;
    BridgeProcess bridge(bundle.bridge(), environment);
    bridge.sendLine({{"jsonrpc", "2.0"}, {"method", "notifications/initialized"}});
    bridge.sendLine({{"jsonrpc", "2.0"}, {"method", "ping"}});
    bridge.sendLine({{"jsonrpc", "2.0"}, {"id", 1}, {"method", "ping"}});
    bridge.closeInput();
    EXPECT_EQ(bridge.readLine(), (c.enabled ? resultOf(1, json::object())
                                            : errorOf(1, -32000, "Agent control is not part of this build of " + c.display + "."))
                                     .dump()) << c.compact;
    EXPECT_EQ(bridge.readLine(), std::nullopt);
    EXPECT_EQ(bridge.waitForExit(), 0);
    EXPECT_EQ(bridge.standardError(), readyLine(bundle, c.compact, (bundle.home / ".local/share" / c.compact / "agent.sock").string()) + "\n");
  }
}

// The app's reply to "tools/list" gives the tool list when it holds tool
// objects and the built-in catalogue otherwise; its reply to "tools/call"
// becomes a tool result, or the refusal when there is none.
TEST(BridgeProcess, AppRepliesBecomeToolListsAndToolResults) {
  TestBundle bundle(kInfo);
  BridgeProcess bridge(bundle.bridge(), bundle.environment());
  const std::string path = bundle.socketPath("ClipTest");
  const std::string appTools = R"({"tools":[{"name":"only_in_app","inputSchema":{"type":"object"}}]})";
  json builtIn = json::array();
  for (const AgentTool& tool : AgentCatalogue::tools()) builtIn.push_back(tool.listEntry());
  const json success = {{"file_path", "/Users/ada/Movies/Demo.mp4"}, {"b", 1}, {"a", 2}};
  const json failure = {{"code", "bad_argument"}, {"message", "Argument at: must be a number."}};
  const json refused = MCPMessages::toolResult({{"error", kRefusal}}, true);
  const struct {
    bool list;
    std::string reply;
    json result;
  } cases[] = {
      {true, R"({"id":"list","ok":true,"result":)" + appTools + "}\n", json::parse(appTools)},
      {true, R"({"ok":false,"result":)" + appTools + "}\n", json::parse(appTools)},  // "ok" is not looked at
      {true, R"({"ok":true,"result":{"tools":["get_status"]}})" "\n", {{"tools", builtIn}}},
      {true, R"({"ok":false,"error":{"code":"x","message":"y"}})" "\n", {{"tools", builtIn}}},
      {true, "", {{"tools", builtIn}}},
      {false, R"({"id":"call","ok":true,"result":)" + success.dump() + "}\n", MCPMessages::toolResult(success, false)},
      {false, R"({"id":"call","ok":false,"error":)" + failure.dump() + "}\n", MCPMessages::toolResult({{"error", failure}}, true)},
      {false, R"({"ok":"true","result":{"x":1}})" "\n", MCPMessages::toolResult({{"error", {{"message", "Unknown error."}}}}, true)},
      {false, R"({"ok":true})" "\n", MCPMessages::toolResult(json::object(), false)},
      {false, "", refused},
      {false, "[1,2]\n", refused},
  };
  for (const auto& c : cases) {
    TestApp app(path, TestApp::replyWith(c.reply));
    bridge.sendLine(c.list ? json{{"jsonrpc", "2.0"}, {"id", 21}, {"method", "tools/list"}}
                           : toolCall(21, {{"name", "export_project"}, {"arguments", {{"format", "mp4"}}}}));
    EXPECT_EQ(bridge.readLine(), resultOf(21, c.result).dump()) << c.reply;
    EXPECT_EQ(app.requests(), std::vector<std::string>{c.list ? R"({"command":"tools/list","id":"list"})"
                                                              : R"({"arguments":{"format":"mp4"},"client":"An agent",)"
                                                                R"("command":"tools/call","id":"call","name":"export_project"})"})
        << c.reply;
  }

  // Arguments that are not an object become {}; names outside the catalogue
  // are the app's to refuse; the client's name comes from initialize, where
  // an empty or malformed name leaves it unchanged; a call without an id still
  // reaches the app, and nothing is written for it.
  TestApp app(path, TestApp::replyWith("{\"ok\":true,\"result\":{}}\n"));
  bridge.sendLine(toolCall(22, {{"name", "frobnicate"}, {"arguments", json::array({1, 2})}}));
  ASSERT_TRUE(bridge.readLine());
  for (const json& info : {json{{"name", "Claude Code"}}, json{{"name", ""}}, json{{"name", 5}}, json("Cursor")}) {
    bridge.sendLine({{"jsonrpc", "2.0"}, {"method", "initialize"}, {"params", {{"clientInfo", info}}}});
  }
  bridge.sendLine({{"jsonrpc", "2.0"}, {"method", "tools/call"}, {"params", {{"name", ""}}}});
  EXPECT_TRUE(bridge.pingIsNextAnswer());
  EXPECT_EQ(app.requests(),
            (std::vector<std::string>{
                "{\"arguments\":{},\"client\":\"An agent\",\"command\":\"tools/call\",\"id\":\"call\",\"name\":\"frobnicate\"}",
                "{\"arguments\":{},\"client\":\"Claude Code\",\"command\":\"tools/call\",\"id\":\"call\",\"name\":\"\"}"}));
  EXPECT_EQ(bridge.standardErrorLines(1).size(), 1u);
}

TEST(BridgeProcess, BadInputNeverEndsTheBridge) {
  TestBundle bundle(kInfo);
  BridgeProcess bridge(bundle.bridge(), bundle.environment());
  // Invalid UTF-8 inside a string, a lone invalid byte, JSON nested 100,000
  // deep, closed or not.
  for (const std::string& line : {std::string("{\"id\":1,\"method\":\"ping\",\"x\":\"\xff\xfe\"}\n"), std::string("\xc3\n"),
                                   std::string(100'000, '[') + std::string(100'000, ']') + "\n",
                                   "{\"id\":2,\"method\":\"ping\",\"params\":" + std::string(100'000, '[') + "\n"}) {
    bridge.send(line);
    EXPECT_EQ(bridge.readLine(), kParseError.dump());
    EXPECT_TRUE(bridge.pingIsNextAnswer());
  }
  bridge.closeInput();
  EXPECT_EQ(bridge.waitForExit(), 0);
}

// Slow by nature: some 200 MB cross the pipes and the socket.
TEST(BridgeProcess, SlowHugeLinesAndRepliesAreServed) {
  TestBundle bundle(kInfo);
  BridgeProcess bridge(bundle.bridge(), bundle.environment());
  // A 10 MB line that is not JSON, then a 10 MB request that is, then a 50 MB reply from the app.
  bridge.send(std::string(10'000'000, 'x') + "\n");
  EXPECT_EQ(bridge.readLine(), kParseError.dump());
  EXPECT_TRUE(bridge.pingIsNextAnswer());
  {
    const std::string text(10'000'000, 'a');
    TestApp app(bundle.socketPath("ClipTest"), [](const std::string& request, UnixSocket& peer) {
      peer.sendAll("{\"ok\":true,\"result\":{\"received\":" + std::to_string(request.size()) + "}}\n");
    });
    bridge.sendLine(toolCall(3, {{"name", "add_text"}, {"arguments", {{"text", text}}}}));
    EXPECT_GT(bridge.readMessage().at("result").at("structuredContent").at("received").get<std::size_t>(), 10'000'000u);
    EXPECT_TRUE(bridge.pingIsNextAnswer());
  }
  {
    const std::string blob(50'000'000, 'z');
    TestApp app(bundle.socketPath("ClipTest"), [&blob](const std::string&, UnixSocket& peer) {
      peer.sendAll("{\"ok\":true,\"result\":{\"blob\":\"" + blob + "\"}}\n");
    });
    bridge.sendLine(toolCall(4, {{"name", "get_project"}}));
    // Compared as bytes, without printing 100 MB if they differ.
    EXPECT_TRUE(bridge.readLine(300s) == resultOf(4, MCPMessages::toolResult({{"blob", blob}}, false)).dump());
    EXPECT_TRUE(bridge.pingIsNextAnswer());
  }
  bridge.closeInput();
  EXPECT_EQ(bridge.waitForExit(), 0);
}

// With an app executable to launch: "Clip Test App".
const json kAppInfo = [] { json info = kInfo; info["CFBundleExecutable"] = "Clip Test App"; return info; }();

TEST(BridgeProcess, StartsTheAppInItsBundleWhenNobodyListens) {
  TemporaryFolder folder;
  const fs::path launches = folder.path / "launches.txt";
  TestBundle bundle(kAppInfo);
  fs::copy_file(fs::path(RECORDER_BINARY_DIR) / "tests/bridge/recorder-stub-app",
                bundle.bundle / "Contents/MacOS/Clip Test App");
  auto environment = bundle.environment();
  environment["STUB_APP_LAUNCH_LOG"] = launches.string();
  BridgeProcess bridge(bundle.bridge(), environment);

  bridge.sendLine({{"jsonrpc", "2.0"}, {"method", "initialize"}, {"params", {{"clientInfo", {{"name", "Test Host"}}}}}});
  bridge.sendLine(toolCall(2, {{"name", "get_status"}}));
  const json first = bridge.readMessage();
  bridge.sendLine(toolCall(3, {{"name", "add_zoom"}, {"arguments", {{"at", 2.5}}}}));
  const json second = bridge.readMessage();
  pid_t pid = 0;
  if (std::ifstream(bundle.data / "ClipTest/stub-app.pid") >> pid && pid > 0) ::kill(pid, SIGTERM);

  EXPECT_EQ(first.at("result").at("structuredContent"),
            json({{"app", "Clip Test Pro"}, {"version", "3.1.4 (0)"}, {"recording", false},
                  {"agents_allowed", true}, {"client", "Test Host"}}));
  EXPECT_EQ(second.at("result").at("structuredContent").at("arguments"), json({{"at", 2.5}}));
  // One launch with the single argument "--agent", and one notice for it.
  EXPECT_EQ(FileIO::readFile(launches.string()), "--agent\n");
  const auto lines = bridge.standardErrorLines(2);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(bridge.standardError(), lines[0] + "\n[ClipTest-mcp] app not reachable, starting it\n");
}

// The one slow test: with an app that never opens its socket, a call waits out
// 48 polls 250 ms apart after one launch, then answers with the refusal.
TEST(BridgeProcess, SlowAppThatNeverListensGetsOneLaunchThenTheRefusal) {
  TemporaryFolder folder;
  const fs::path launches = folder.path / "launches.txt";
  TestBundle bundle(kAppInfo);
  bundle.installScript("Clip Test App", "echo \"$@\" >> '" + launches.string() + "'\n");
  BridgeProcess bridge(bundle.bridge(), bundle.environment());
  const auto start = std::chrono::steady_clock::now();
  bridge.sendLine(toolCall("slow", {{"name", "get_status"}}));
  const auto line = bridge.readLine(60s);
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(line, resultOf("slow", MCPMessages::toolResult({{"error", kRefusal}}, true)).dump());
  EXPECT_GE(elapsed, 12s);
  EXPECT_LT(elapsed, 20s);
  EXPECT_EQ(FileIO::readFile(launches.string()), "--agent\n");
  EXPECT_EQ(bridge.standardErrorLines(2).at(1), "[ClipTest-mcp] app not reachable, starting it");
  EXPECT_TRUE(bridge.pingIsNextAnswer());
}

}  // namespace
}  // namespace RecorderCore::Testing
