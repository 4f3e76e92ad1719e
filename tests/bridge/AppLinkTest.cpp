// The app link in process, with a launcher and a sleep that only count, so
// the launch-and-poll sequence is checked exactly and without waiting.
#include "bridge/AppLink.h"

#include <gtest/gtest.h>

#include "RecorderCore/platform/AppLauncher.h"
#include "RecorderCore/platform/FileIO.h"
#include "tests/bridge/BridgeTestSupport.h"

namespace RecorderCore::Testing {
namespace {

// Counts what the link does instead of doing it. `onSleep` runs at each poll
// wait with the number of that wait (1-based), so a test can bring the app up
// in the middle of the polling.
struct Recorder {
  int launches = 0;
  std::vector<std::chrono::microseconds> sleeps;
  std::vector<std::string> logLines;
  std::function<void(int)> onSleep;

  AppLink::Hooks hooks(std::chrono::microseconds receiveTimeout = AppLink::kReceiveTimeout) {
    return AppLink::Hooks{
        .launchApp = [this] { ++launches; },
        .sleep = [this](std::chrono::microseconds duration) {
          sleeps.push_back(duration);
          if (onSleep) onSleep(static_cast<int>(sleeps.size()));
        },
        .log = [this](std::string_view line) { logLines.emplace_back(line); },
        .receiveTimeout = receiveTimeout,
    };
  }
};

// An app that is down gets one launch, then polls 250 ms apart until it comes
// up (at the wait given; 0: never) or 48 have gone by.
TEST(AppLink, AppDownGetsOneLaunchAndUpTo48Polls) {
  TemporaryFolder folder;
  const std::string path = (folder.path / "agent.sock").string();
  // Too long to ever be connected to: the same as an app that never comes up.
  const std::string tooLong = (folder.path / std::string(120, 'x')).string();
  for (const auto& [linkPath, comesUpAt] : {std::pair{path, 0}, std::pair{tooLong, 0}, std::pair{path, 1}, std::pair{path, 48}}) {
    std::optional<TestApp> app;
    Recorder recorder;
    recorder.onSleep = [&, comesUpAt = comesUpAt](int wait) {
      if (wait == comesUpAt) app.emplace(path, TestApp::replyWith("{\"ok\":true,\"result\":{\"n\":1}}\n"));
    };
    AppLink link(linkPath, recorder.hooks());
    EXPECT_EQ(link.sendToApp({{"id", "call"}}),
              comesUpAt ? std::optional(json({{"ok", true}, {"result", {{"n", 1}}}})) : std::nullopt) << comesUpAt;
    EXPECT_EQ(recorder.launches, 1);
    EXPECT_EQ(recorder.sleeps, std::vector<std::chrono::microseconds>(comesUpAt ? comesUpAt : 48, 250ms));
    EXPECT_EQ(recorder.logLines, std::vector<std::string>{"app not reachable, starting it"});
    if (comesUpAt == 0) {  // nothing is remembered: the next exchange goes through it all again
      EXPECT_FALSE(link.connectOrLaunchApp().has_value());
      EXPECT_EQ(recorder.launches, 2);
    }
  }
}

// A listening app is reached without launching, and its reply is the first
// line, as an object.
TEST(AppLink, RepliesAreTheFirstLineAsAnObject) {
  TemporaryFolder folder;
  const std::string path = (folder.path / "agent.sock").string();
  const std::string big(200'000, 'q');
  const struct {
    const char* what;
    TestApp::Handler handler;
    std::optional<json> reply;
  } cases[] = {
      {"one line", TestApp::replyWith("{\"a\":1}\n"), json{{"a", 1}}},
      {"then more", TestApp::replyWith("{\"a\":1}\n{\"b\":2}\n"), json{{"a", 1}}},
      {"split", TestApp::replyInPieces({"{\"a\"", ":", "1}", "\n"}), json{{"a", 1}}},
      {"newline inside a later chunk", TestApp::replyInPieces({"{\"s\":\"" + big, "\"}\nrest"}), json{{"s", big}}},
      {"closed at once", TestApp::replyWith(""), std::nullopt},
      {"closed mid-line", TestApp::replyWith("{\"a\":1}"), std::nullopt},
  };
  for (const auto& c : cases) {
    TestApp app(path, c.handler);
    Recorder recorder;
    AppLink link(path, recorder.hooks());
    EXPECT_EQ(link.sendToApp({{"id", "call"}, {"command", "tools/call"}, {"name", "x/y"}}), c.reply) << c.what;
    EXPECT_EQ(app.requests(), std::vector<std::string>{"{\"command\":\"tools/call\",\"id\":\"call\",\"name\":\"x/y\"}"});
    EXPECT_EQ(recorder.launches + recorder.sleeps.size() + recorder.logLines.size(), 0u) << c.what;
  }
}

TEST(AppLink, SilentAppEndsTheExchangeAtTheReceiveTimeout) {
  TemporaryFolder folder;
  const std::string path = (folder.path / "agent.sock").string();
  TestApp app(path, [](const std::string&, UnixSocket& peer) {
    peer.sendAll("{\"partial\":");
    std::this_thread::sleep_for(600ms);
  });
  Recorder recorder;
  AppLink link(path, recorder.hooks(200ms));
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(link.sendToApp({{"id", "call"}}).has_value());
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_GE(elapsed, 190ms);
  EXPECT_LT(elapsed, 550ms);
}

TEST(AppLauncher, StartsNothingWithoutTheKeyOrTheFile) {
  for (const json& info : {json::object(), json{{"CFBundleExecutable", "../escape"}}, json{{"CFBundleExecutable", "Gone"}}}) {
    TestBundle bundle(info);
    bundle.installScript("App", "exit 0\n");
    EXPECT_FALSE(AppLauncher::launchInBackground(bundle.bundle.string())) << info;
  }
  TestBundle bundle(json{{"CFBundleExecutable", "App"}});
  const fs::path marker = bundle.home / "started";
  bundle.installScript("App", "echo \"$#:$1\" > '" + marker.string() + "'\n");
  EXPECT_TRUE(AppLauncher::launchInBackground(bundle.bundle.string()));
  for (int i = 0; i < 200 && !fs::exists(marker); ++i) std::this_thread::sleep_for(10ms);
  std::this_thread::sleep_for(20ms);
  EXPECT_EQ(FileIO::readFile(marker.string()), "1:--agent\n");
}

}  // namespace
}  // namespace RecorderCore::Testing
