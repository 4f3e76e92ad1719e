// What the benchmarks of the agent bridge share: a temporary app bundle
// holding a copy of the built bridge, the bridge as a child process on pipes,
// line reading, one exchange made directly on an app socket, and percentiles.
#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "RecorderCore/platform/FileIO.h"
#include "RecorderCore/platform/UnixSocket.h"

namespace BenchSupport {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// The sample at `fraction` (0.5 the median, 0.99 the 99th percentile), in µs.
inline double percentileMicroseconds(std::vector<Clock::duration> samples, double fraction) {
  if (samples.empty()) return 0;
  std::sort(samples.begin(), samples.end());
  const auto index =
      std::min(samples.size() - 1, static_cast<std::size_t>(fraction * static_cast<double>(samples.size())));
  return std::chrono::duration<double, std::micro>(samples[index]).count();
}

// <temporary root>/Bench.app with the bridge, an Info.plist naming the
// compact product name, and home and data folders for the environment; the
// app's socket is <root>/data/<compact>/agent.sock.
struct Bundle {
  fs::path root;
  fs::path bridge;
  fs::path data;
  fs::path home;
  std::string socketPath;
  std::vector<std::string> environment;

  explicit Bundle(const std::string& compact) {
    std::string pattern = (fs::temp_directory_path() / "rc-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    root = pattern;
    data = root / "data";
    home = root / "home";
    const fs::path contents = root / "Bench.app/Contents";
    fs::create_directories(contents / "MacOS");
    fs::create_directories(data / compact);
    fs::create_directories(home);
    std::ofstream(contents / "Info.plist")
        << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
           "<key>ProductNameCompact</key><string>" << compact << "</string>"
           "<key>EnabledFeatures</key><string>mcp</string></dict></plist>\n";
    bridge = contents / "MacOS/recorder-mcp";
    fs::copy_file(RECORDER_MCP_PATH, bridge);
    socketPath = (data / compact / "agent.sock").string();
    environment = {"HOME=" + home.string(), "XDG_DATA_HOME=" + data.string(), "PATH=/usr/bin:/bin"};
  }
  ~Bundle() {
    std::error_code ignored;
    fs::remove_all(root, ignored);
  }
  Bundle(const Bundle&) = delete;
  Bundle& operator=(const Bundle&) = delete;
};

// The bridge as a child process with its three standard streams on pipes;
// closing its input ends it.
struct BridgeChild {
  pid_t pid = -1;
  int input = -1;
  int output = -1;
  int error = -1;

  explicit BridgeChild(Bundle& bundle) {
    int in[2], out[2], err[2];
    if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0) {
      throw std::runtime_error("pipe2 failed");
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err[1], 2);
    std::string program = bundle.bridge.string();
    std::vector<char*> argv{program.data(), nullptr};
    std::vector<char*> envp;
    for (auto& entry : bundle.environment) envp.push_back(entry.data());
    envp.push_back(nullptr);
    const int failed = ::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(in[0]);
    ::close(out[1]);
    ::close(err[1]);
    if (failed != 0) throw std::runtime_error("cannot start the bridge");
    input = in[1];
    output = out[0];
    error = err[0];
  }
  ~BridgeChild() {
    ::close(input);
    int status = 0;
    ::waitpid(pid, &status, 0);
    ::close(output);
    ::close(error);
  }
  BridgeChild(const BridgeChild&) = delete;
  BridgeChild& operator=(const BridgeChild&) = delete;
};

// Reads from fd until a "\n" arrives; returns the bytes before it and keeps
// what came after in `pending`.
inline std::string readLine(int fd, std::string& pending) {
  char chunk[65536];
  // Only new bytes are searched, so a reply of megabytes costs one pass.
  for (std::size_t searched = 0;;) {
    if (const auto newline = pending.find('\n', searched); newline != std::string::npos) {
      std::string line = pending.substr(0, newline);
      pending.erase(0, newline + 1);
      return line;
    }
    searched = pending.size();
    const long count = RecorderCore::FileIO::readSome(fd, chunk, sizeof chunk);
    if (count <= 0) throw std::runtime_error("the bridge closed its output");
    pending.append(chunk, static_cast<std::size_t>(count));
  }
}

// One request line to the app's socket and its reply line, as the bridge
// makes them, without the bridge.
inline std::string socketExchange(const std::string& socketPath, const std::string& request) {
  auto socket = RecorderCore::UnixSocket::connect(socketPath);
  if (!socket || !socket->sendAll(request)) throw std::runtime_error("the app did not answer");
  std::string reply;
  char chunk[65536];
  for (std::size_t searched = 0; reply.find('\n', searched) == std::string::npos;) {
    searched = reply.size();
    const long count = socket->receive(chunk, sizeof chunk);
    if (count <= 0) throw std::runtime_error("the app closed the connection");
    reply.append(chunk, static_cast<std::size_t>(count));
  }
  return reply;
}

}  // namespace BenchSupport
