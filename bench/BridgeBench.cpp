// The agent bridge end to end: what one tools/call costs through the built
// recorder-mcp (agent pipe → bridge → socket → app → bridge → agent pipe) next
// to the same exchange made directly on the app's socket, the floor any
// bridge must pay; and how long the bridge takes from spawn to its ready line.
//
// Each figure is a median over many single exchanges, reported as counters:
//   BM_BridgeToolCallRoundTrip  bridge_us, direct_us, ratio (bridge/direct)
//   BM_BridgeStartup            ready_ms
// Build in Release for figures worth comparing.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "RecorderCore/agent/AgentWire.h"
#include "RecorderCore/platform/FileIO.h"
#include "RecorderCore/platform/ProcessControl.h"
#include "RecorderCore/platform/UnixSocket.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using Clock = std::chrono::steady_clock;
using RecorderCore::UnixSocket;

constexpr int kRoundTrips = 2000;
constexpr int kStarts = 20;

double medianMicroseconds(std::vector<Clock::duration> samples) {
  std::sort(samples.begin(), samples.end());
  return std::chrono::duration<double, std::micro>(samples[samples.size() / 2]).count();
}

// A temporary app bundle holding a copy of the built bridge, with home and
// data folders for its environment.
struct Bundle {
  fs::path root;
  fs::path bridge;
  std::string socketPath;
  std::vector<std::string> environment;

  Bundle() {
    std::string pattern = "/tmp/rc-bench-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    root = pattern;
    const fs::path contents = root / "Bench.app/Contents";
    fs::create_directories(contents / "MacOS");
    fs::create_directories(root / "data/Bench");
    std::ofstream(contents / "Info.plist")
        << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
           "<key>ProductNameCompact</key><string>Bench</string>"
           "<key>EnabledFeatures</key><string>mcp</string></dict></plist>\n";
    bridge = contents / "MacOS/recorder-mcp";
    fs::copy_file(RECORDER_MCP_PATH, bridge);
    socketPath = (root / "data/Bench/agent.sock").string();
    environment = {"HOME=" + root.string(), "XDG_DATA_HOME=" + (root / "data").string(),
                   "PATH=/usr/bin:/bin"};
  }
  ~Bundle() {
    std::error_code ignored;
    fs::remove_all(root, ignored);
  }
};

// The bridge as a child process with its three standard streams on pipes.
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
};

// Reads from fd until a "\n" arrives; returns the bytes before it.
std::string readLine(int fd, std::string& pending) {
  char chunk[65536];
  while (true) {
    if (const auto newline = pending.find('\n'); newline != std::string::npos) {
      std::string line = pending.substr(0, newline);
      pending.erase(0, newline + 1);
      return line;
    }
    const long count = RecorderCore::FileIO::readSome(fd, chunk, sizeof chunk);
    if (count <= 0) throw std::runtime_error("the bridge closed its output");
    pending.append(chunk, static_cast<std::size_t>(count));
  }
}

// The host app's side: answers each connection's request line as the app
// would, with {"ok": true, "result": ...}.
class StubApp {
 public:
  explicit StubApp(const std::string& path) : path_(path), listener_(UnixSocket::listen(path)) {
    if (!listener_) throw std::runtime_error("cannot listen on " + path);
    thread_ = std::thread([this] { serve(); });
  }
  ~StubApp() {
    stopping_ = true;
    UnixSocket::connect(path_);
    thread_.join();
  }

 private:
  void serve() {
    std::string buffer;
    char chunk[65536];
    while (true) {
      auto peer = listener_->accept();
      if (stopping_) return;
      if (!peer) continue;
      buffer.clear();
      std::size_t newline = std::string::npos;
      while (newline == std::string::npos) {
        const long count = peer->receive(chunk, sizeof chunk);
        if (count <= 0) break;
        buffer.append(chunk, static_cast<std::size_t>(count));
        newline = buffer.find('\n');
      }
      if (newline == std::string::npos) continue;
      const auto request = RecorderCore::AgentWire::decode(std::string_view(buffer).substr(0, newline));
      if (!request) continue;
      const json result = {{"tool", request->value("name", "")},
                           {"arguments", request->value("arguments", json::object())},
                           {"zoom_id", "6F1C2D3E-4A5B-4C6D-8E9F-0A1B2C3D4E5F"}};
      if (const auto reply = RecorderCore::AgentWire::encode(RecorderCore::AgentWire::reply(request->at("id"), result))) {
        peer->sendAll(*reply);
      }
    }
  }

  std::string path_;
  std::optional<UnixSocket> listener_;
  std::atomic<bool> stopping_{false};
  std::thread thread_;
};

void BM_BridgeToolCallRoundTrip(benchmark::State& state) {
  RecorderCore::ProcessControl::ignoreSIGPIPE();
  Bundle bundle;
  StubApp app(bundle.socketPath);
  const json arguments = {{"at", 12.5}, {"duration", 2.0}, {"amount", 2.0}, {"x", 0.4}, {"y", 0.6}};
  const std::string callLine =
      json({{"jsonrpc", "2.0"}, {"id", 1}, {"method", "tools/call"},
            {"params", {{"name", "add_zoom"}, {"arguments", arguments}}}}).dump() + "\n";
  const std::string appRequest =
      *RecorderCore::AgentWire::encode({{"id", "call"}, {"command", "tools/call"}, {"name", "add_zoom"},
                                        {"arguments", arguments}, {"client", "An agent"}});
  for (auto _ : state) {
    BridgeChild bridge(bundle);
    std::string pending;
    std::vector<Clock::duration> throughBridge;
    std::vector<Clock::duration> direct;
    throughBridge.reserve(kRoundTrips);
    direct.reserve(kRoundTrips);
    // Warm up both paths before measuring.
    for (int i = 0; i < 50; ++i) {
      RecorderCore::FileIO::writeAll(bridge.input, callLine);
      readLine(bridge.output, pending);
    }
    for (int i = 0; i < kRoundTrips; ++i) {
      auto start = Clock::now();
      RecorderCore::FileIO::writeAll(bridge.input, callLine);
      const std::string line = readLine(bridge.output, pending);
      throughBridge.push_back(Clock::now() - start);
      benchmark::DoNotOptimize(line.data());

      start = Clock::now();
      auto socket = UnixSocket::connect(bundle.socketPath);
      if (!socket || !socket->sendAll(appRequest)) {
        state.SkipWithError("the stub app did not answer");
        return;
      }
      std::string replyPending;
      char chunk[65536];
      long count = 0;
      while (replyPending.find('\n') == std::string::npos &&
             (count = socket->receive(chunk, sizeof chunk)) > 0) {
        replyPending.append(chunk, static_cast<std::size_t>(count));
      }
      const auto reply = RecorderCore::AgentWire::decode(replyPending);
      direct.push_back(Clock::now() - start);
      benchmark::DoNotOptimize(reply);
    }
    const double bridgeMicros = medianMicroseconds(throughBridge);
    const double directMicros = medianMicroseconds(direct);
    state.counters["bridge_us"] = bridgeMicros;
    state.counters["direct_us"] = directMicros;
    state.counters["ratio"] = bridgeMicros / directMicros;
    state.counters["calls"] = kRoundTrips;
  }
}
BENCHMARK(BM_BridgeToolCallRoundTrip)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_BridgeStartup(benchmark::State& state) {
  Bundle bundle;
  for (auto _ : state) {
    std::vector<Clock::duration> samples;
    for (int i = 0; i < kStarts; ++i) {
      const auto start = Clock::now();
      BridgeChild bridge(bundle);
      std::string pending;
      const std::string ready = readLine(bridge.error, pending);
      samples.push_back(Clock::now() - start);
      benchmark::DoNotOptimize(ready.data());
    }
    state.counters["ready_ms"] = medianMicroseconds(samples) / 1000.0;
    state.counters["starts"] = kStarts;
  }
}
BENCHMARK(BM_BridgeStartup)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
