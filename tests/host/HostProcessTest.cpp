// The built recorder-host in a temporary bundle: where its socket goes and
// with which permissions, one instance at a time, stale sockets, the idle
// exit, the agents switch, and a session through the real bridge.
#include <sys/stat.h>

#include <sstream>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "RecorderCore/project/ProjectPackage.h"
#include "tests/host/ProcessSupport.h"

namespace {

using namespace HostTest;
using testing::HasSubstr;

TEST(HostProcess, ListensPrivatelyOnceAndLeavesWhenIdle) {
  Bundle bundle;
  // A socket file left by a host that died is replaced.
  fs::create_directories(bundle.support);
  { auto stale = RecorderCore::UnixSocket::listen(bundle.socket.string()); }
  ASSERT_TRUE(fs::exists(bundle.socket));

  auto first = start(bundle.host, {"--agent", "--idle-seconds", "1.5"}, bundle.environment());
  ASSERT_TRUE(waitForSocket(bundle.socket));
  struct stat folder {}, socket {};
  ASSERT_EQ(::stat(bundle.support.c_str(), &folder), 0);
  ASSERT_EQ(::stat(bundle.socket.c_str(), &socket), 0);
  EXPECT_EQ(folder.st_mode & 0777, 0700u);
  EXPECT_EQ(socket.st_mode & 0777, 0600u);

  const auto second = run(bundle.host, {"--agent"}, bundle.environment());
  EXPECT_NE(second.status, 0);
  EXPECT_THAT(second.error, HasSubstr("[TestRec-host] another instance is already listening on "));

  const auto status = call(bundle.socket.string(), "get_status");
  EXPECT_EQ(status["result"]["app"], "Test Recorder");

  const auto started = std::chrono::steady_clock::now();
  const auto ended = finish(first);
  EXPECT_EQ(ended.status, 0) << ended.error;
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
  EXPECT_FALSE(fs::exists(bundle.socket));
}

TEST(HostProcess, ABridgeLaunchesTheHostAndEditsThroughIt) {
  Bundle bundle;
  fs::create_directories(bundle.projects);
  const auto package = bundle.projects / "Tour.testrec";
  makeSample(package);
  const auto session = run(bundle.bridge, {}, bundle.environment(),
                           agentSession({{"open_project", {{"path", package.string()}}},
                                         {"add_zoom", {{"at", 5}}},
                                         {"add_zoom", {{"at", 5}, {"amount", 9}}},
                                         {"save", json::object()}}));
  EXPECT_EQ(session.status, 0);
  std::istringstream lines(session.output);
  std::vector<json> replies;
  for (std::string line; std::getline(lines, line);) replies.push_back(json::parse(line));
  ASSERT_EQ(replies.size(), 5u) << session.output << session.error;
  EXPECT_EQ(replies[1]["result"]["isError"], false);
  EXPECT_EQ(replies[1]["result"]["structuredContent"]["name"], "Product Tour");
  EXPECT_EQ(replies[2]["result"]["isError"], false);
  EXPECT_EQ(replies[3]["result"]["isError"], true);
  EXPECT_THAT(replies[3]["result"]["content"][0]["text"].get<std::string>(),
              HasSubstr("Argument amount: must be between 1.2 and 4."));
  EXPECT_EQ(replies[4]["result"]["isError"], false);
  EXPECT_EQ(RecorderCore::ProjectPackage::load(package).zooms.size(), 1u);
  // The host the bridge started is still serving, with the project open.
  const auto status = call(bundle.socket.string(), "get_status");
  EXPECT_EQ(status["result"]["open_projects"].size(), 1u);
  stopLaunchedHost(bundle.support);
}

TEST(HostProcess, WithAgentsSwitchedOffTheHostDoesNotListen) {
  Bundle bundle;
  const auto switched = run(bundle.host, {"--set", "allow-agents", "off"}, bundle.environment());
  ASSERT_EQ(switched.status, 0) << switched.error;
  EXPECT_THAT(switched.error, HasSubstr("Allow agents to control Test Recorder: off"));
  const auto host = run(bundle.host, {"--agent"}, bundle.environment());
  EXPECT_EQ(host.status, 0);
  EXPECT_THAT(host.error, HasSubstr("agents are switched off"));
  EXPECT_FALSE(fs::exists(bundle.socket));
  ASSERT_EQ(run(bundle.host, {"--set", "allow-agents", "on"}, bundle.environment()).status, 0);
  auto started = start(bundle.host, {"--idle-seconds", "0.5"}, bundle.environment());
  EXPECT_TRUE(waitForSocket(bundle.socket));
  EXPECT_EQ(finish(started).status, 0);
}

}  // namespace
