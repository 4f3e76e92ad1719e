// The app link in process, with a launcher and a sleep that only count, so
// the launch-and-poll sequence is checked exactly and without waiting.
#include "bridge/AppLink.h"

#include <gtest/gtest.h>

#include <fstream>

#include "RecorderCore/platform/AppLauncher.h"
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

TEST(AppLink, ListeningAppIsReachedWithoutLaunching) {
  TemporaryFolder folder;
  const std::string path = (folder.path() / "agent.sock").string();
  TestApp app(path, TestApp::replyWith("{\"ok\":true,\"result\":{}}\n"));
  Recorder recorder;
  AppLink link(path, recorder.hooks());
  EXPECT_EQ(link.sendToApp({{"id", "list"}, {"command", "tools/list"}}),
            json({{"ok", true}, {"result", json::object()}}));
  EXPECT_EQ(recorder.launches, 0);
  EXPECT_TRUE(recorder.sleeps.empty());
  EXPECT_TRUE(recorder.logLines.empty());
  EXPECT_EQ(app.requests().size(), 1u);
}

TEST(AppLink, AppThatNeverListensGetsOneLaunchAnd48Polls) {
  TemporaryFolder folder;
  static const std::string paths[] = {
      (folder.path() / "agent.sock").string(),
      // Too long to ever be connected to: the same as an app that is down.
      (folder.path() / std::string(120, 'x')).string(),
  };
  for (const auto& path : paths) {
    Recorder recorder;
    AppLink link(path, recorder.hooks());
    EXPECT_FALSE(link.sendToApp({{"id", "call"}}).has_value()) << path;
    EXPECT_EQ(recorder.launches, 1) << path;
    EXPECT_EQ(recorder.sleeps, std::vector<std::chrono::microseconds>(48, std::chrono::microseconds(250'000)))
        << path;
    EXPECT_EQ(recorder.logLines, std::vector<std::string>{"app not reachable, starting it"}) << path;
    // Nothing is remembered: the next exchange goes through it all again.
    EXPECT_FALSE(link.connectOrLaunchApp().has_value());
    EXPECT_EQ(recorder.launches, 2);
    EXPECT_EQ(recorder.sleeps.size(), 96u);
  }
}

TEST(AppLink, AppComingUpDuringThePollingIsReachedAtTheNextPoll) {
  TemporaryFolder folder;
  const std::string path = (folder.path() / "agent.sock").string();
  for (int comesUpAt : {1, 5, 48}) {
    std::optional<TestApp> app;
    Recorder recorder;
    recorder.onSleep = [&](int wait) {
      if (wait == comesUpAt) app.emplace(path, TestApp::replyWith("{\"ok\":true,\"result\":{\"n\":1}}\n"));
    };
    AppLink link(path, recorder.hooks());
    const auto reply = link.sendToApp({{"id", "call"}});
    EXPECT_EQ(reply, json({{"ok", true}, {"result", {{"n", 1}}}})) << comesUpAt;
    EXPECT_EQ(recorder.launches, 1) << comesUpAt;
    EXPECT_EQ(static_cast<int>(recorder.sleeps.size()), comesUpAt);
    EXPECT_EQ(recorder.logLines.size(), 1u);
  }
}

TEST(AppLink, RepliesAreTheFirstLineAsAnObject) {
  TemporaryFolder folder;
  const std::string path = (folder.path() / "agent.sock").string();
  const auto pieces = [](std::vector<std::string> parts) {
    return [parts](const std::string&, UnixSocket& peer) {
      for (const auto& part : parts) {
        peer.sendAll(part);
        std::this_thread::sleep_for(10ms);
      }
    };
  };
  const std::string big(200'000, 'q');
  const struct {
    const char* what;
    TestApp::Handler handler;
    std::optional<json> reply;
  } cases[] = {
      {"one line", TestApp::replyWith("{\"a\":1}\n"), json{{"a", 1}}},
      {"then more", TestApp::replyWith("{\"a\":1}\n{\"b\":2}\n"), json{{"a", 1}}},
      {"trailing garbage", TestApp::replyWith("{\"a\":1}\n\xff\xff"), json{{"a", 1}}},
      {"split", pieces({"{\"a\"", ":", "1}", "\n"}), json{{"a", 1}}},
      {"newline inside a later chunk", pieces({"{\"s\":\"" + big, "\"}\nrest"}), json{{"s", big}}},
      {"\\r before the newline", TestApp::replyWith("{\"a\":1}\r\n"), json{{"a", 1}}},
      {"array", TestApp::replyWith("[1]\n"), std::nullopt},
      {"not JSON", TestApp::replyWith("hello\n"), std::nullopt},
      {"empty line", TestApp::replyWith("\n{\"a\":1}\n"), std::nullopt},
      {"closed at once", TestApp::replyWith(""), std::nullopt},
      {"closed mid-line", TestApp::replyWith("{\"a\":1}"), std::nullopt},
  };
  for (const auto& c : cases) {
    TestApp app(path, c.handler);
    Recorder recorder;
    AppLink link(path, recorder.hooks());
    EXPECT_EQ(link.sendToApp({{"id", "call"}, {"command", "tools/call"}, {"name", "x/y"}}), c.reply) << c.what;
    EXPECT_EQ(app.requests(),
              std::vector<std::string>{"{\"command\":\"tools/call\",\"id\":\"call\",\"name\":\"x/y\"}"})
        << c.what;
    EXPECT_EQ(recorder.launches, 0) << c.what;
  }
}

TEST(AppLink, SilentAppEndsTheExchangeAtTheReceiveTimeout) {
  TemporaryFolder folder;
  const std::string path = (folder.path() / "agent.sock").string();
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
  static const struct {
    json info;
    bool installed;
  } cases[] = {
      {json::object(), true},
      {{{"CFBundleExecutable", 7}}, true},
      {{{"CFBundleExecutable", ""}}, true},
      {{{"CFBundleExecutable", "../escape"}}, true},
      {{{"CFBundleExecutable", "Missing App"}}, false},
  };
  for (const auto& c : cases) {
    TestBundle bundle(c.info);
    if (c.installed) bundle.installScript("App", "exit 0\n");
    EXPECT_FALSE(AppLauncher::launchInBackground(bundle.bundle().string())) << c.info;
  }
  TestBundle bundle(json{{"CFBundleExecutable", "App"}});
  const fs::path marker = bundle.home() / "started";
  bundle.installScript("App", "echo \"$#:$1\" > '" + marker.string() + "'\n");
  EXPECT_TRUE(AppLauncher::launchInBackground(bundle.bundle().string()));
  for (int i = 0; i < 200 && !fs::exists(marker); ++i) std::this_thread::sleep_for(10ms);
  std::this_thread::sleep_for(20ms);
  std::ifstream text(marker);
  std::string line;
  std::getline(text, line);
  EXPECT_EQ(line, "1:--agent");
}

}  // namespace
}  // namespace RecorderCore::Testing
