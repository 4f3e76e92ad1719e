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

json ping(const json& id) { return {{"jsonrpc", "2.0"}, {"id", id}, {"method", "ping"}}; }

json toolCall(const json& id, const json& params) {
  return {{"jsonrpc", "2.0"}, {"id", id}, {"method", "tools/call"}, {"params", params}};
}

json parseError() {
  return {{"jsonrpc", "2.0"}, {"id", nullptr}, {"error", {{"code", -32700}, {"message", "Parse error"}}}};
}

json resultOf(const json& id, const json& result) {
  return {{"jsonrpc", "2.0"}, {"id", id}, {"result", result}};
}

TEST(BridgeProcess, StartsUpReadyAndFollowsTheMessageRules) {
  TestBundle bundle(kInfo);
  BridgeProcess bridge(bundle.bridge(), bundle.environment());
  const auto ready = bridge.standardErrorLines(1);
  ASSERT_EQ(ready.size(), 1u);
  EXPECT_EQ(ready[0], "[ClipTest-mcp] ready (app: Clip Test.app, socket: " +
                          bundle.socketPath("ClipTest") + ")");

  // Each line, then what it must produce: one exact line, or nothing (checked
  // by a ping answered right after it).
  static const struct {
    std::string line;
    std::optional<json> answer;
  } cases[] = {
      {"\n", std::nullopt},
      // "\r\n" is one terminator: what is left is an empty line.
      {"\r\n", std::nullopt},
      {"\r\r\n", parseError()},
      {"   \n", parseError()},
      {"[{\"jsonrpc\":\"2.0\",\"id\":1,\"method\":\"ping\"}]\n", parseError()},
      {"\"text\"\n", parseError()},
      {"42\n", parseError()},
      {"{\"id\":1,\"method\":\"ping\"\n", parseError()},
      {"{\"jsonrpc\":\"2.0\",\"id\":5,\"method\":\"ping\"}\r\n", resultOf(5, json::object())},
      {"{\"jsonrpc\":\"2.0\",\"method\":\"ping\"}\n", std::nullopt},
      {"{\"jsonrpc\":\"2.0\",\"id\":null,\"method\":\"ping\"}\n", resultOf(nullptr, json::object())},
      {"{\"id\":\"abc\",\"method\":\"ping\"}\n", resultOf("abc", json::object())},
      {"{\"id\":7.5,\"method\":\"ping\"}\n", resultOf(7.5, json::object())},
      {"{\"id\":[1,{\"a\":2}],\"method\":\"ping\"}\n", resultOf(json::array({1, {{"a", 2}}}), json::object())},
      {"{\"id\":8,\"method\":\"foo\"}\n",
       json{{"jsonrpc", "2.0"}, {"id", 8}, {"error", {{"code", -32601}, {"message", "Method not found: foo"}}}}},
      {"{\"id\":9}\n",
       json{{"jsonrpc", "2.0"}, {"id", 9}, {"error", {{"code", -32601}, {"message", "Method not found: "}}}}},
      {"{\"id\":10,\"method\":\"PING\"}\n",
       json{{"jsonrpc", "2.0"}, {"id", 10}, {"error", {{"code", -32601}, {"message", "Method not found: PING"}}}}},
      {"{\"method\":\"foo\"}\n", std::nullopt},
      {"{\"id\":11,\"method\":\"notifications/cancelled\",\"params\":{\"requestId\":3}}\n", std::nullopt},
      {"{\"method\":\"notifications/initialized\"}\n", std::nullopt},
      {"{\"id\":12,\"method\":\"resources/list\"}\n", resultOf(12, {{"resources", json::array()}})},
      {"{\"id\":13,\"method\":\"prompts/list\"}\n", resultOf(13, {{"prompts", json::array()}})},
      {"{\"id\":14,\"method\":\"tools/call\",\"params\":{\"name\":42}}\n",
       json{{"jsonrpc", "2.0"}, {"id", 14}, {"error", {{"code", -32602}, {"message", "Missing tool name."}}}}},
      {"{\"id\":15,\"method\":\"tools/call\",\"params\":[\"add_zoom\"]}\n",
       json{{"jsonrpc", "2.0"}, {"id", 15}, {"error", {{"code", -32602}, {"message", "Missing tool name."}}}}},
      {"{\"id\":16,\"method\":\"initialize\",\"params\":{\"protocolVersion\":\"2024-11-05\"}}\n",
       resultOf(16, MCPMessages::initializeResult(Brand(kInfo), "2024-11-05"))},
      {"{\"id\":17,\"method\":\"initialize\",\"params\":{\"protocolVersion\":3}}\n",
       resultOf(17, MCPMessages::initializeResult(Brand(kInfo)))},
  };
  for (const auto& c : cases) {
    bridge.send(c.line);
    if (c.answer) {
      EXPECT_EQ(bridge.readLine(), compactLine(*c.answer)) << c.line;
    }
    EXPECT_TRUE(bridge.pingIsNextAnswer()) << c.line;
  }

  // The initialize answer carries the product's identity from the bundle.
  bridge.sendLine({{"jsonrpc", "2.0"}, {"id", 1}, {"method", "initialize"}});
  const auto initialize = bridge.readMessage();
  ASSERT_TRUE(initialize);
  EXPECT_EQ((*initialize)["result"]["protocolVersion"], "2025-06-18");
  EXPECT_EQ((*initialize)["result"]["serverInfo"],
            json({{"name", "cliptest"}, {"title", "Clip Test Pro"}, {"version", "3.1.4"}}));

  // A last line without a terminator is still answered; end of input ends the
  // bridge with status 0 and nothing more on standard output.
  bridge.send("{\"id\":\"last\",\"method\":\"ping\"}");
  bridge.closeInput();
  EXPECT_EQ(bridge.waitForExit(), 0);
  EXPECT_EQ(bridge.remainingOutput(), compactLine(resultOf("last", json::object())) + "\n");
  // Standard error holds the ready line and nothing else.
  EXPECT_EQ(bridge.standardError(), ready[0] + "\n");
}

TEST(BridgeProcess, ReadsTheIdentityFromXMLBinaryOrNoInfoPlist) {
  static const struct {
    PlistForm form;
    const char* bundleName;
    std::string compact;
  } cases[] = {
      {PlistForm::xml, "Clip Test.app", "ClipTest"},
      {PlistForm::binary, "Binary.app", "ClipTest"},
      {PlistForm::none, "Bare.app", "Product"},
  };
  for (const auto& c : cases) {
    TestBundle bundle(kInfo, c.form, c.bundleName);
    BridgeProcess bridge(bundle.bridge(), bundle.environment());
    EXPECT_EQ(bridge.standardErrorLines(1).at(0),
              "[" + c.compact + "-mcp] ready (app: " + c.bundleName +
                  ", socket: " + bundle.socketPath(c.compact) + ")")
        << c.bundleName;
    bridge.closeInput();
    EXPECT_EQ(bridge.waitForExit(), 0) << c.bundleName;
  }
  // Without XDG_DATA_HOME the socket lives under ~/.local/share.
  TestBundle bundle(kInfo);
  auto environment = bundle.environment();
  environment["XDG_DATA_HOME"] = std::nullopt;
  BridgeProcess bridge(bundle.bridge(), environment);
  EXPECT_EQ(bridge.standardErrorLines(1).at(0),
            "[ClipTest-mcp] ready (app: Clip Test.app, socket: " +
                (bundle.home() / ".local/share/ClipTest/agent.sock").string() + ")");
}

TEST(BridgeProcess, FeatureGateFollowsInfoPlistAndEnvironment) {
  json withoutFeature = kInfo;
  withoutFeature.erase("EnabledFeatures");
  const json refusal = {{"jsonrpc", "2.0"},
                        {"id", 1},
                        {"error", {{"code", -32000},
                                   {"message", "Agent control is not part of this build of Clip Test Pro."}}}};
  static const struct {
    const char* what;
    bool plistHasMcp;
    std::optional<std::string> variable;
    bool enabled;
  } cases[] = {
      {"plist only", true, std::nullopt, true},
      {"nothing", false, std::nullopt, false},
      {"empty variable wins", true, "", false},
      {"variable enables", false, " MCP ,other", true},
      {"variable of other names", true, "other", false},
  };
  for (const auto& c : cases) {
    TestBundle bundle(c.plistHasMcp ? kInfo : withoutFeature);
    auto environment = bundle.environment();
    environment["ENABLED_FEATURES"] = c.variable;
    BridgeProcess bridge(bundle.bridge(), environment);
    bridge.sendLine({{"jsonrpc", "2.0"}, {"method", "notifications/initialized"}});
    bridge.sendLine({{"jsonrpc", "2.0"}, {"method", "ping"}});
    bridge.sendLine(ping(1));
    EXPECT_EQ(bridge.readLine(), compactLine(c.enabled ? resultOf(1, json::object()) : refusal)) << c.what;
    bridge.closeInput();
    EXPECT_EQ(bridge.waitForExit(), 0) << c.what;
    EXPECT_EQ(bridge.remainingOutput(), "") << c.what;
  }
}

TEST(BridgeProcess, ListsTheAppsToolsOrTheBuiltInCatalogue) {
  TestBundle bundle(kInfo);
  BridgeProcess bridge(bundle.bridge(), bundle.environment());
  const json appTools = json::array({{{"name", "only_in_app"}, {"inputSchema", {{"type", "object"}}}}});
  json builtIn = json::array();
  for (const AgentTool& tool : AgentCatalogue::tools()) builtIn.push_back(tool.listEntry());
  ASSERT_EQ(builtIn.size(), 29u);

  static const struct {
    std::string reply;
    bool fromApp;
  } cases[] = {
      {"{\"id\":\"list\",\"ok\":true,\"result\":{\"tools\":[{\"name\":\"only_in_app\",\"inputSchema\":{\"type\":\"object\"}}]}}\n", true},
      // "ok" is not looked at on this path.
      {"{\"ok\":false,\"result\":{\"tools\":[{\"name\":\"only_in_app\",\"inputSchema\":{\"type\":\"object\"}}]}}\n", true},
      {"{\"ok\":true,\"result\":{\"tools\":[\"get_status\"]}}\n", false},
      {"{\"ok\":true,\"result\":{\"tools\":{}}}\n", false},
      {"{\"ok\":true,\"result\":[]}\n", false},
      {"{\"ok\":false,\"error\":{\"code\":\"x\",\"message\":\"y\"}}\n", false},
      {"not json\n", false},
      {"", false},
  };
  for (const auto& c : cases) {
    TestApp app(bundle.socketPath("ClipTest"), TestApp::replyWith(c.reply));
    bridge.sendLine({{"jsonrpc", "2.0"}, {"id", "t"}, {"method", "tools/list"}});
    const auto answer = bridge.readMessage();
    ASSERT_TRUE(answer) << c.reply;
    EXPECT_EQ((*answer)["result"]["tools"], c.fromApp ? appTools : builtIn) << c.reply;
    EXPECT_EQ(app.requests(), std::vector<std::string>{"{\"command\":\"tools/list\",\"id\":\"list\"}"});
  }
  // Every fallback above connected to a running app: none launched anything.
  EXPECT_EQ(bridge.standardErrorLines(1).size(), 1u);
}

TEST(BridgeProcess, ToolCallRepliesBecomeToolResults) {
  TestBundle bundle(kInfo);
  BridgeProcess bridge(bundle.bridge(), bundle.environment());
  const std::string path = bundle.socketPath("ClipTest");
  const json success = {{"file_path", "/Users/ada/Movies/Demo.mp4"}, {"b", 1}, {"a", 2}};
  const json failure = {{"code", "bad_argument"}, {"message", "Argument at: must be a number."}};

  static const auto sendPieces = [](std::vector<std::string> pieces) {
    return [pieces](const std::string&, UnixSocket& peer) {
      for (const auto& piece : pieces) {
        peer.sendAll(piece);
        std::this_thread::sleep_for(20ms);
      }
    };
  };
  const struct {
    const char* what;
    TestApp::Handler handler;
    json result;
  } cases[] = {
      {"success", TestApp::replyWith("{\"id\":\"call\",\"ok\":true,\"result\":" + success.dump() + "}\n"),
       MCPMessages::toolResult(success, false)},
      {"failure", TestApp::replyWith("{\"id\":\"call\",\"ok\":false,\"error\":" + failure.dump() + "}\n"),
       MCPMessages::toolResult({{"error", failure}}, true)},
      {"split over writes", sendPieces({"{\"id\":\"ca", "ll\",\"ok\":tr", "ue,\"result\":{\"x\":1}}", "\nignored"}),
       MCPMessages::toolResult({{"x", 1}}, false)},
      {"more bytes after the line",
       TestApp::replyWith("{\"ok\":true,\"result\":{\"first\":true}}\n{\"ok\":true,\"result\":{\"second\":true}}\n"),
       MCPMessages::toolResult({{"first", true}}, false)},
      {"ok as a string", TestApp::replyWith("{\"ok\":\"true\",\"result\":{\"x\":1}}\n"),
       MCPMessages::toolResult({{"error", {{"message", "Unknown error."}}}}, true)},
      {"ok without result", TestApp::replyWith("{\"ok\":true}\n"), MCPMessages::toolResult(json::object(), false)},
      {"closed without reply", TestApp::replyWith(""), MCPMessages::toolResult({{"error", kRefusal}}, true)},
      {"no newline before close", TestApp::replyWith("{\"ok\":true,\"result\":{}}"),
       MCPMessages::toolResult({{"error", kRefusal}}, true)},
      {"array reply", TestApp::replyWith("[1,2]\n"), MCPMessages::toolResult({{"error", kRefusal}}, true)},
      {"not JSON", TestApp::replyWith("ok\n"), MCPMessages::toolResult({{"error", kRefusal}}, true)},
  };
  for (const auto& c : cases) {
    TestApp app(path, c.handler);
    bridge.sendLine(toolCall(21, {{"name", "export_project"}, {"arguments", {{"format", "mp4"}}}}));
    EXPECT_EQ(bridge.readLine(), compactLine(resultOf(21, c.result))) << c.what;
    EXPECT_EQ(app.requests(),
              std::vector<std::string>{"{\"arguments\":{\"format\":\"mp4\"},\"client\":\"An agent\","
                                       "\"command\":\"tools/call\",\"id\":\"call\",\"name\":\"export_project\"}"})
        << c.what;
  }

  // Arguments that are not an object become {}; names outside the catalogue
  // are the app's to refuse; the client's name comes from initialize and an
  // empty name leaves it unchanged.
  TestApp app(path, TestApp::replyWith("{\"ok\":true,\"result\":{}}\n"));
  bridge.sendLine(toolCall(22, {{"name", "frobnicate"}, {"arguments", json::array({1, 2})}}));
  ASSERT_TRUE(bridge.readLine());
  bridge.sendLine({{"jsonrpc", "2.0"}, {"id", 23}, {"method", "initialize"},
                   {"params", {{"clientInfo", {{"name", "Claude Code"}}}}}});
  ASSERT_TRUE(bridge.readLine());
  bridge.sendLine({{"jsonrpc", "2.0"}, {"id", 24}, {"method", "initialize"},
                   {"params", {{"clientInfo", {{"name", ""}}}}}});
  ASSERT_TRUE(bridge.readLine());
  bridge.sendLine(toolCall(25, {{"name", ""}}));
  ASSERT_TRUE(bridge.readLine());
  EXPECT_EQ(app.requests(),
            (std::vector<std::string>{
                "{\"arguments\":{},\"client\":\"An agent\",\"command\":\"tools/call\",\"id\":\"call\",\"name\":\"frobnicate\"}",
                "{\"arguments\":{},\"client\":\"Claude Code\",\"command\":\"tools/call\",\"id\":\"call\",\"name\":\"\"}"}));
  EXPECT_EQ(bridge.standardErrorLines(1).size(), 1u);
}

TEST(BridgeProcess, BadInputNeverEndsTheBridge) {
  TestBundle bundle(kInfo);
  BridgeProcess bridge(bundle.bridge(), bundle.environment());

  // Invalid UTF-8 inside a string, and a lone invalid byte.
  bridge.send("{\"id\":1,\"method\":\"ping\",\"x\":\"\xff\xfe\"}\n");
  EXPECT_EQ(bridge.readLine(), compactLine(parseError()));
  bridge.send("\xc3\n");
  EXPECT_EQ(bridge.readLine(), compactLine(parseError()));
  EXPECT_TRUE(bridge.pingIsNextAnswer());

  // JSON nested 100,000 deep.
  bridge.send(std::string(100'000, '[') + std::string(100'000, ']') + "\n");
  EXPECT_EQ(bridge.readLine(), compactLine(parseError()));
  bridge.send("{\"id\":2,\"method\":\"ping\",\"params\":" + std::string(100'000, '[') + "\n");
  EXPECT_EQ(bridge.readLine(), compactLine(parseError()));
  EXPECT_TRUE(bridge.pingIsNextAnswer());
  bridge.closeInput();
  EXPECT_EQ(bridge.waitForExit(), 0);
}

// Slow by nature: some 200 MB cross the pipes and the socket.
TEST(BridgeProcess, SlowHugeLinesAndRepliesAreServed) {
  TestBundle bundle(kInfo);
  BridgeProcess bridge(bundle.bridge(), bundle.environment());

  // A 10 MB line that is not JSON, then a 10 MB request that is.
  bridge.send(std::string(10'000'000, 'x') + "\n");
  EXPECT_EQ(bridge.readLine(), compactLine(parseError()));
  EXPECT_TRUE(bridge.pingIsNextAnswer());
  {
    const std::string text(10'000'000, 'a');
    TestApp app(bundle.socketPath("ClipTest"), [](const std::string& request, UnixSocket& peer) {
      peer.sendAll("{\"ok\":true,\"result\":{\"received\":" + std::to_string(request.size()) + "}}\n");
    });
    bridge.sendLine(toolCall(3, {{"name", "add_text"}, {"arguments", {{"text", text}}}}));
    const auto answer = bridge.readMessage();
    ASSERT_TRUE(answer);
    EXPECT_GT((*answer)["result"]["structuredContent"]["received"].get<std::size_t>(), 10'000'000u);
    EXPECT_TRUE(bridge.pingIsNextAnswer());
  }

  // A 50 MB reply from the app.
  {
    const std::string blob(50'000'000, 'z');
    TestApp app(bundle.socketPath("ClipTest"), [&blob](const std::string&, UnixSocket& peer) {
      peer.sendAll("{\"ok\":true,\"result\":{\"blob\":\"" + blob + "\"}}\n");
    });
    bridge.sendLine(toolCall(4, {{"name", "get_project"}}));
    const auto line = bridge.readLine(300s);
    ASSERT_TRUE(line);
    // Compared as bytes: parsing 100 MB again here would only slow the test.
    const std::string expected =
        compactLine(resultOf(4, MCPMessages::toolResult({{"blob", blob}}, false)));
    EXPECT_EQ(line->size(), expected.size());
    EXPECT_TRUE(*line == expected);
    EXPECT_TRUE(bridge.pingIsNextAnswer());
  }
  bridge.closeInput();
  EXPECT_EQ(bridge.waitForExit(), 0);
}

// Reads the stub app's pid file and stops it.
void stopStubApp(const fs::path& folder) {
  std::ifstream pidFile(folder / "stub-app.pid");
  pid_t pid = 0;
  if (pidFile >> pid && pid > 0) ::kill(pid, SIGTERM);
}

TEST(BridgeProcess, StartsTheAppInItsBundleWhenNobodyListens) {
  json info = kInfo;
  info["CFBundleExecutable"] = "Clip Test App";
  TestBundle bundle(info);
  bundle.installApp(stubAppExecutable(), "Clip Test App");
  const fs::path launches = bundle.home() / "launches.txt";
  auto environment = bundle.environment();
  environment["STUB_APP_LAUNCH_LOG"] = launches.string();
  BridgeProcess bridge(bundle.bridge(), environment);

  bridge.sendLine({{"jsonrpc", "2.0"}, {"id", 1}, {"method", "initialize"},
                   {"params", {{"clientInfo", {{"name", "Test Host"}}}}}});
  ASSERT_TRUE(bridge.readLine());
  bridge.sendLine(toolCall(2, {{"name", "get_status"}}));
  const auto first = bridge.readMessage();
  bridge.sendLine(toolCall(3, {{"name", "add_zoom"}, {"arguments", {{"at", 2.5}}}}));
  const auto second = bridge.readMessage();
  stopStubApp(bundle.data() / "ClipTest");

  ASSERT_TRUE(first && second);
  EXPECT_EQ((*first)["result"]["structuredContent"],
            json({{"app", "Clip Test Pro"}, {"version", "3.1.4 (0)"}, {"recording", false},
                  {"agents_allowed", true}, {"client", "Test Host"}}));
  EXPECT_EQ((*second)["result"]["structuredContent"]["arguments"], json({{"at", 2.5}}));
  // One launch with the single argument "--agent", and one notice for it.
  EXPECT_EQ(FileIO::readFile(launches.string()), "--agent\n");
  const auto lines = bridge.standardErrorLines(2);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(bridge.standardError(), lines[0] + "\n[ClipTest-mcp] app not reachable, starting it\n");
}

// The one slow test: with an app that never opens its socket, a call waits out
// 48 polls 250 ms apart after one launch, then answers with the refusal.
TEST(BridgeProcess, SlowAppThatNeverListensGetsOneLaunchThenTheRefusal) {
  json info = kInfo;
  info["CFBundleExecutable"] = "Clip Test App";
  TestBundle bundle(info);
  const fs::path launches = bundle.home() / "launches.txt";
  bundle.installScript("Clip Test App", "echo \"$@\" >> '" + launches.string() + "'\n");
  BridgeProcess bridge(bundle.bridge(), bundle.environment());

  const auto start = std::chrono::steady_clock::now();
  bridge.sendLine(toolCall("slow", {{"name", "get_status"}}));
  const auto line = bridge.readLine(60s);
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(line, compactLine(resultOf("slow", MCPMessages::toolResult({{"error", kRefusal}}, true))));
  EXPECT_GE(elapsed, 12s);
  EXPECT_LT(elapsed, 20s);
  EXPECT_EQ(FileIO::readFile(launches.string()), "--agent\n");
  const auto notices = bridge.standardErrorLines(2);
  ASSERT_EQ(notices.size(), 2u);
  EXPECT_EQ(notices[1], "[ClipTest-mcp] app not reachable, starting it");
  EXPECT_TRUE(bridge.pingIsNextAnswer());
}

}  // namespace
}  // namespace RecorderCore::Testing
