// A host served in-process on a socket in a temporary folder, with a sample
// project, for the socket tests; and one request/reply exchange over it.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "RecorderCore/agent/AgentWire.h"
#include "RecorderCore/platform/SocketListening.h"
#include "RecorderCore/platform/UnixSocket.h"
#include "host/HostServer.h"

namespace HostTest {

using nlohmann::json;
namespace fs = std::filesystem;

inline fs::path makeTemporaryFolder() {
  std::string pattern = (fs::temp_directory_path() / "host-test-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  return fs::canonical(pattern);
}

// Writes the sample package with make-sample-project; extra media items on request.
inline void makeSample(const fs::path& package, int media = 0) {
  const std::string command = std::string("'") + RECORDER_BINARY_DIR + "/host/make-sample-project' '" +
                              package.string() + "' --media " + std::to_string(media) + " > /dev/null";
  if (std::system(command.c_str()) != 0) throw std::runtime_error("make-sample-project failed");
}

// Sends one request line and returns the decoded reply; a null json when the
// host closed without a line.
inline json roundTrip(const std::string& socketPath, const json& request) {
  auto socket = RecorderCore::UnixSocket::connect(socketPath);
  if (!socket) return json();
  socket->sendAll(*RecorderCore::AgentWire::encode(request));
  std::string buffer;
  char chunk[65536];
  while (buffer.find('\n') == std::string::npos) {
    const long count = socket->receive(chunk, sizeof chunk);
    if (count <= 0) return json();
    buffer.append(chunk, static_cast<std::size_t>(count));
  }
  return RecorderCore::AgentWire::decode(buffer).value_or(json());
}

inline json call(const std::string& socketPath, const std::string& name, const json& arguments = json::object()) {
  json request = json::object();
  request["id"] = "call";
  request["command"] = "tools/call";
  request["name"] = name;
  request["arguments"] = arguments;
  request["client"] = "Test Agent";
  return roundTrip(socketPath, request);
}

// A running host: brand "Test Recorder" (compact TestRec, packages .testrec),
// its folders under a temporary root, a sample project in the projects folder.
class RunningHost {
 public:
  RunningHost()
      : root(makeTemporaryFolder()),
        brand(json{{"ProductNameCompact", "TestRec"},
                   {"ProductNameDisplay", "Test Recorder"},
                   {"ProductDocumentExtension", "testrec"},
                   {"CFBundleShortVersionString", "2.1.0"},
                   {"CFBundleVersion", "42"}}),
        paths(RecorderCore::HostPaths::under((root / "support").string(), (root / "home").string(), brand)),
        tools(brand, paths, store, jobs) {
    fs::create_directories(paths.projectsFolder);
    fs::create_directories(paths.moviesFolder);
    sample = fs::path(paths.projectsFolder) / "Sample.testrec";
    makeSample(sample);
    RecorderCore::SocketListening::createPrivateFolder(paths.supportFolder);
    auto listener = RecorderCore::UnixSocket::listen(paths.socketPath);
    if (!listener) throw std::runtime_error("cannot listen");
    server = std::make_unique<RecorderCore::HostServer>(tools, std::move(*listener));
    thread = std::thread([this] { server->run(std::nullopt); });
  }
  ~RunningHost() {
    server->stop();
    thread.join();
    std::error_code ignored;
    fs::remove_all(root, ignored);
  }

  json call(const std::string& name, const json& arguments = json::object()) const {
    return HostTest::call(paths.socketPath, name, arguments);
  }
  // Opens the sample and returns its summary.
  json openSample() const { return call("open_project", json{{"path", sample.string()}})["result"]; }

  fs::path root;
  RecorderCore::Brand brand;
  RecorderCore::HostPaths paths;
  RecorderCore::ProjectStore store;
  RecorderCore::Jobs jobs;
  RecorderCore::Tools tools;
  fs::path sample;
  std::unique_ptr<RecorderCore::HostServer> server;
  std::thread thread;
};

}  // namespace HostTest
