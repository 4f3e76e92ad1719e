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

#include <algorithm>
#include <atomic>
#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "RecorderCore/agent/AgentWire.h"
#include "RecorderCore/platform/ProcessControl.h"
#include "RecorderCore/platform/UnixSocket.h"
#include "bench/BridgeSupport.h"

namespace {

using nlohmann::json;
using RecorderCore::UnixSocket;
using BenchSupport::BridgeChild;
using BenchSupport::Clock;
using BenchSupport::Bundle;
using BenchSupport::readLine;

constexpr int kRoundTrips = 2000;
constexpr int kStarts = 20;

double medianMicroseconds(std::vector<Clock::duration> samples) {
  return BenchSupport::percentileMicroseconds(std::move(samples), 0.5);
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
  Bundle bundle("Bench");
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
      const auto reply = RecorderCore::AgentWire::decode(BenchSupport::socketExchange(bundle.socketPath, appRequest));
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
  Bundle bundle("Bench");
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
