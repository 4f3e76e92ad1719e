// The reference host under an agent: the latency of get_project and add_zoom
// on the large project (10,000 media items), through the built bridge (agent
// pipe → bridge → socket → host → bridge → agent pipe) next to the same call
// made directly on the host's socket.
//
// The host serves its socket from this process; the bridge is the built
// recorder-mcp in a temporary bundle. Counters, in microseconds:
//   BM_HostToolLatency/get_project  bridge_p50_us, bridge_p99_us, direct_p50_us,
//                                   direct_p99_us, reply_bytes
//   BM_HostToolLatency/add_zoom     the same
// Every add_zoom is an undo step holding a whole copy of the project (about
// 11 MB here), so the host's history cap bounds the memory this takes.
// Build in Release for figures worth comparing.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "RecorderCore/agent/AgentWire.h"
#include "RecorderCore/platform/FileIO.h"
#include "RecorderCore/platform/ProcessControl.h"
#include "RecorderCore/platform/SocketListening.h"
#include "RecorderCore/platform/UnixSocket.h"
#include "RecorderCore/project/ProjectPackage.h"
#include "bench/BridgeSupport.h"
#include "bench/LargeProject.h"
#include "host/HostServer.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using namespace RecorderCore;
using BenchSupport::Clock;

constexpr int kCalls = 100;

// A bundle with the built bridge and a host serving its socket in this
// process, the large project saved in its projects folder and open.
struct RunningHost {
  BenchSupport::Bundle bundle{"HostBench"};
  Brand brand{json{{"ProductNameCompact", "HostBench"}, {"ProductDocumentExtension", "hostbench"}}};
  HostPaths paths = HostPaths::under(bundle.data.string(), bundle.home.string(), brand);
  ProjectStore store;
  Jobs jobs;
  Tools tools{brand, paths, store, jobs};
  std::unique_ptr<HostServer> server;
  std::thread thread;

  RunningHost() {
    fs::create_directories(paths.projectsFolder);
    const fs::path package = fs::path(paths.projectsFolder) / "Large.hostbench";
    ProjectPackage::save(LargeProject::shared(), package);
    auto listener = UnixSocket::listen(paths.socketPath);
    if (!listener) throw std::runtime_error("cannot listen on " + paths.socketPath);
    server = std::make_unique<HostServer>(tools, std::move(*listener));
    thread = std::thread([this] { server->run(std::nullopt); });
    tools.call("open_project", json{{"path", package.string()}});
  }
  ~RunningHost() {
    server->stop();
    thread.join();
  }
};

void BM_HostToolLatency(benchmark::State& state, const std::string& tool) {
  ProcessControl::ignoreSIGPIPE();
  RunningHost host;
  const double duration = host.store.current()->project().duration();
  int call = 0;
  // Until the undo history is full, every add_zoom grows the heap by a whole
  // project; both paths are measured once it holds its maximum.
  const int warmUp = tool == "add_zoom" ? static_cast<int>(ProjectStore::kHistoryDepth) + 10 : 5;
  // add_zoom gets a time of its own every call; get_project takes nothing.
  auto argumentsFor = [&] {
    const double at = (call++ % 1000) * duration / 1000;
    return tool == "add_zoom" ? json{{"at", at}, {"duration", 1.0}} : json::object();
  };
  for (auto _ : state) {
    BenchSupport::BridgeChild bridge(host.bundle);
    std::string pending;
    std::vector<Clock::duration> throughBridge, direct;
    std::size_t replyBytes = 0;
    for (int i = 0; i < warmUp + kCalls; ++i) {
      const std::string line = json{{"jsonrpc", "2.0"}, {"id", i}, {"method", "tools/call"},
                                    {"params", {{"name", tool}, {"arguments", argumentsFor()}}}}
                                   .dump() +
                               "\n";
      const auto start = Clock::now();
      FileIO::writeAll(bridge.input, line);
      const std::string answer = BenchSupport::readLine(bridge.output, pending);
      if (i >= warmUp) throughBridge.push_back(Clock::now() - start);
      if (answer.find("\"isError\":true") != std::string::npos) {
        state.SkipWithError(("the host refused " + tool + ": " + answer.substr(0, 300)).c_str());
        return;
      }
      replyBytes = answer.size();
    }
    for (int i = 0; i < warmUp + kCalls; ++i) {
      const std::string request = *AgentWire::encode(json{
          {"id", "call"}, {"command", "tools/call"}, {"name", tool}, {"arguments", argumentsFor()}, {"client", "Bench"}});
      const auto start = Clock::now();
      const std::string answer = BenchSupport::socketExchange(host.paths.socketPath, request);
      if (i >= warmUp) direct.push_back(Clock::now() - start);
      benchmark::DoNotOptimize(answer.data());
    }
    state.counters["bridge_p50_us"] = BenchSupport::percentileMicroseconds(throughBridge, 0.5);
    state.counters["bridge_p99_us"] = BenchSupport::percentileMicroseconds(throughBridge, 0.99);
    state.counters["direct_p50_us"] = BenchSupport::percentileMicroseconds(direct, 0.5);
    state.counters["direct_p99_us"] = BenchSupport::percentileMicroseconds(direct, 0.99);
    state.counters["reply_bytes"] = static_cast<double>(replyBytes);
  }
}

BENCHMARK_CAPTURE(BM_HostToolLatency, get_project, std::string("get_project"))
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_HostToolLatency, add_zoom, std::string("add_zoom"))
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace
