// The host under load and under a hard kill: eight bridges adding zooms at
// once lose none, and a host killed mid-edit leaves a manifest that loads
// with everything up to its last autosave.
#include <atomic>
#include <random>
#include <set>
#include <sstream>

#include <gtest/gtest.h>

#include "RecorderCore/project/ProjectPackage.h"
#include "tests/host/ProcessSupport.h"

namespace {

using namespace HostTest;

constexpr int kBridges = 8;
constexpr int kCallsEach = 500;

TEST(HostReliability, EightBridgesAtOnceLoseNoZoom) {
  Bundle bundle;
  fs::create_directories(bundle.projects);
  const auto package = bundle.projects / "Busy.testrec";
  makeSample(package);
  auto host = start(bundle.host, {"--agent", "--idle-seconds", "30"}, bundle.environment());
  ASSERT_TRUE(waitForSocket(bundle.socket));

  std::vector<std::thread> bridges;
  std::vector<Finished> results(kBridges);
  for (int bridge = 0; bridge < kBridges; ++bridge) {
    bridges.emplace_back([&, bridge] {
      std::vector<std::pair<std::string, json>> calls{{"open_project", {{"path", package.string()}}}};
      for (int index = 0; index < kCallsEach; ++index) {
        // Distinct times: 4,000 starts 12.5 ms apart over the first 50 s.
        calls.push_back({"add_zoom", {{"at", (bridge * kCallsEach + index) * 0.0125}, {"duration", 0.5}}});
      }
      results[static_cast<std::size_t>(bridge)] = run(bundle.bridge, {}, bundle.environment(), agentSession(calls));
    });
  }
  for (auto& thread : bridges) thread.join();

  std::set<std::string> ids;
  for (const auto& result : results) {
    std::istringstream lines(result.output);
    int answered = 0;
    for (std::string line; std::getline(lines, line);) {
      const auto reply = json::parse(line);
      if (reply["id"].get<int>() < 2) continue;
      ++answered;
      ASSERT_EQ(reply["result"]["isError"], false) << line;
      ids.insert(reply["result"]["structuredContent"]["zoom_id"].get<std::string>());
    }
    EXPECT_EQ(answered, kCallsEach);
  }
  EXPECT_EQ(ids.size(), static_cast<std::size_t>(kBridges * kCallsEach));

  EXPECT_EQ(call(bundle.socket.string(), "save")["ok"], true);
  const auto saved = RecorderCore::ProjectPackage::load(package);
  ASSERT_EQ(saved.zooms.size(), static_cast<std::size_t>(kBridges * kCallsEach));
  for (const auto& zoom : saved.zooms) EXPECT_TRUE(ids.contains(zoom.id.uuidString()));
  ::kill(host.pid, SIGTERM);
  finish(host);
}

TEST(HostReliability, AHostKilledMidEditKeepsALoadableManifestAndItsAutosaves) {
  Bundle bundle;
  fs::create_directories(bundle.projects);
  const auto package = bundle.projects / "Killed.testrec";
  makeSample(package);
  std::mt19937 random(11);
  for (int round = 0; round < 6; ++round) {
    auto host = start(bundle.host, {"--autosave-seconds", "0.1"}, bundle.environment());
    ASSERT_TRUE(waitForSocket(bundle.socket));
    ASSERT_EQ(call(bundle.socket.string(), "open_project", {{"path", package.string()}})["ok"], true);
    const auto before = RecorderCore::ProjectPackage::load(package).zooms.size();

    // Edits go on while the host is killed at a random moment.
    std::atomic<bool> killed{false};
    std::vector<std::pair<std::string, std::chrono::steady_clock::time_point>> answered;
    std::thread editor([&] {
      for (int index = 0; !killed; ++index) {
        const auto reply = call(bundle.socket.string(), "add_zoom", {{"at", (index % 4000) * 0.0125}});
        if (reply.is_null() || !reply["ok"].get<bool>()) break;
        answered.push_back({reply["result"]["zoom_id"].get<std::string>(), std::chrono::steady_clock::now()});
      }
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(300 + random() % 500));
    ::kill(host.pid, SIGKILL);
    const auto killedAt = std::chrono::steady_clock::now();
    killed = true;
    editor.join();
    finish(host);

    // The manifest always loads, holds only edits that were answered, and
    // holds every edit answered more than a few autosave rounds before the kill.
    const auto saved = RecorderCore::ProjectPackage::load(package);
    ASSERT_GE(saved.zooms.size(), before);
    std::set<std::string> answeredIDs;
    std::size_t settled = 0;
    for (const auto& [id, when] : answered) {
      answeredIDs.insert(id);
      if (killedAt - when > std::chrono::milliseconds(600)) ++settled;
    }
    std::size_t added = 0;
    for (const auto& zoom : saved.zooms) added += answeredIDs.contains(zoom.id.uuidString());
    EXPECT_EQ(added, saved.zooms.size() - before) << "round " << round;
    EXPECT_GE(added, settled) << "round " << round;
    EXPECT_LE(added, answered.size()) << "round " << round;
    RecorderCore::SocketListening::removeSocketFile(bundle.socket.string());
  }
}

}  // namespace
