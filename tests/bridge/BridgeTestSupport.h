// Test support for the agent bridge: temporary app bundles holding the built
// recorder-mcp, the bridge run as a child process over real pipes, and an
// in-process stand-in for the host app on the agent socket.
#pragma once

#include <stdlib.h>
#include <sys/types.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <nlohmann/json.hpp>

#include "RecorderCore/platform/FileIO.h"
#include "RecorderCore/platform/UnixSocket.h"

namespace RecorderCore::Testing {

namespace fs = std::filesystem;
using nlohmann::json;
using namespace std::chrono_literals;
// Variables to set, or (given nothing) to remove.
using Environment = std::map<std::string, std::optional<std::string>>;

// A new folder under /tmp (short enough for socket paths), removed at the end.
struct TemporaryFolder {
  TemporaryFolder() = default;
  TemporaryFolder(const TemporaryFolder&) = delete;
  fs::path path = ::mkdtemp(std::string("/tmp/rc-bridge-XXXXXX").data());
  ~TemporaryFolder() { fs::remove_all(path); }
};

// An app bundle holding the built bridge and `info` (if any) as Info.plist,
// with a home and a data folder (XDG_DATA_HOME) for the bridge's environment.
struct TestBundle {
  explicit TestBundle(const std::optional<json>& info);
  TemporaryFolder root;
  fs::path bundle = root.path / "Clip Test.app", home = root.path / "home", data = root.path / "data";
  fs::path bridge() const { return bundle / "Contents/MacOS/recorder-mcp"; }
  // <data>/<compact>/agent.sock, the path the bridge computes.
  std::string socketPath(const std::string& compact) const { return (data / compact / "agent.sock").string(); }
  void installScript(const std::string& name, const std::string& body) const {
    std::ofstream(bundle / "Contents/MacOS" / name) << "#!/bin/sh\n" << body;
    fs::permissions(bundle / "Contents/MacOS" / name, fs::perms::owner_all);
  }
  // HOME and XDG_DATA_HOME set, ENABLED_FEATURES and STUB_APP_LAUNCH_LOG removed.
  Environment environment() const {
    return {{"HOME", home.string()}, {"XDG_DATA_HOME", data.string()},
            {"ENABLED_FEATURES", std::nullopt}, {"STUB_APP_LAUNCH_LOG", std::nullopt}};
  }
};

// The bridge as a child process; standard input and output are pipes.
class BridgeProcess {
 public:
  BridgeProcess(const fs::path& executable, const Environment& environment);
  ~BridgeProcess();
  void send(std::string_view bytes);  // raw bytes to standard input
  void sendLine(const json& message) { send(message.dump() + "\n"); }
  // The next line of standard output without its "\n" (at the end of the
  // output, what is left); nothing when none comes within the timeout.
  std::optional<std::string> readLine(std::chrono::milliseconds timeout = 30s);
  // The next line as JSON; a discarded value when it is not.
  json readMessage() { return json::parse(readLine().value_or(""), nullptr, false); }
  // Sends a ping with a fresh id; true when the next output line is its
  // answer: everything before it was answered, and nothing else written.
  bool pingIsNextAnswer();
  void closeInput() {
    if (input_ >= 0) ::close(std::exchange(input_, -1));
  }
  int waitForExit(std::chrono::milliseconds timeout = 10s);  // -1 after the timeout
  std::string standardError() const { return FileIO::readFile((scratch_.path / "stderr.txt").string()).value_or(""); }
  // Waits until standard error holds `count` lines; returns them.
  std::vector<std::string> standardErrorLines(std::size_t count, std::chrono::milliseconds timeout = 5s) const;

 private:
  TemporaryFolder scratch_;
  pid_t pid_ = -1;
  int input_ = -1, output_ = -1;
  std::string pending_;
  int nextPingId_ = 1000000;
  std::optional<int> exitStatus_;
};

// A stand-in for the host app on the agent socket, on a thread of its own: it
// hands each connection's request line to the handler, which writes whatever
// reply it likes; then the connection closes.
class TestApp {
 public:
  using Handler = std::function<void(const std::string& request, UnixSocket& peer)>;
  TestApp(const std::string& path, Handler handler);  // creates the folder
  ~TestApp();
  std::vector<std::string> requests() const {  // without their "\n"
    std::lock_guard lock(mutex_);
    return requests_;
  }
  static Handler replyWith(std::string bytes) {
    return [bytes = std::move(bytes)](const std::string&, UnixSocket& peer) { peer.sendAll(bytes); };
  }
  // Sends the pieces as separate writes, a little apart.
  static Handler replyInPieces(std::vector<std::string> pieces);

 private:
  std::string path_;
  Handler handler_;
  std::optional<UnixSocket> listener_;
  std::atomic<bool> stopping_{false};
  mutable std::mutex mutex_;
  std::vector<std::string> requests_;
  std::thread thread_;
};

}  // namespace RecorderCore::Testing
