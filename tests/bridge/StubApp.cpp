// recorder-stub-app: a stand-in for the host app on its agent socket (for the
// bridge's black-box tests, the end-to-end test, the benchmark and the demo):
// one JSON line in and one out per connection on <Application Support>/
// <compact>/agent.sock for the bundle it sits in, or --socket PATH. It lists
// the built-in catalogue, answers get_status with the product's identity,
// echoes other catalogue tools' calls and refuses unknown names. It exits
// after --idle-seconds N (30) without a connection, appends its arguments to
// the file STUB_APP_LAUNCH_LOG names, and writes stub-app.pid by the socket.
#include <poll.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "RecorderCore/agent/AgentCatalogue.h"
#include "RecorderCore/agent/AgentError.h"
#include "RecorderCore/agent/AgentWire.h"
#include "RecorderCore/brand/Brand.h"
#include "RecorderCore/platform/ProcessControl.h"
#include "RecorderCore/platform/ProcessInfo.h"
#include "RecorderCore/platform/UnixSocket.h"
#include "RecorderCore/platform/UserFolders.h"
#include "bridge/LineReader.h"

namespace {

using nlohmann::json;
using namespace RecorderCore;

json answer(const json& request) {
  const json id = request.contains("id") ? request["id"] : json(nullptr);
  const std::string command = request.value("command", "");
  if (command == "tools/list") {
    json tools = json::array();
    for (const AgentTool& tool : AgentCatalogue::tools()) tools.push_back(tool.listEntry());
    return AgentWire::reply(id, json{{"tools", tools}});
  }
  if (command != "tools/call") {
    return AgentWire::reply(id, AgentError("unknown_command", "There is no command called " + command + "."));
  }
  const std::string name = request.value("name", "");
  const std::string client = request.value("client", "");
  if (AgentCatalogue::tool(name) == nullptr) return AgentWire::reply(id, AgentError::unknownTool(name));
  if (name == "get_status") {
    const Brand& brand = Brand::current();
    return AgentWire::reply(id, json{{"app", brand.display}, {"version", brand.versionDescription()},
                                     {"recording", false}, {"agents_allowed", true}, {"client", client}});
  }
  return AgentWire::reply(
      id, json{{"tool", name}, {"arguments", request.value("arguments", json::object())}, {"client", client}});
}

}  // namespace

int main(int argc, char** argv) {
  ProcessInfo::recordArguments(argc, argv);
  ProcessControl::ignoreSIGPIPE();
  std::string socketPath;
  int idleSeconds = 30;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "--socket" && i + 1 < argc) {
      socketPath = argv[++i];
    } else if (argument == "--idle-seconds" && i + 1 < argc) {
      idleSeconds = std::atoi(argv[++i]);
    }
  }
  if (const char* log = std::getenv("STUB_APP_LAUNCH_LOG"); log != nullptr && *log != '\0') {
    std::ofstream record(log, std::ios::app);
    for (int i = 1; i < argc; ++i) record << (i > 1 ? " " : "") << argv[i];
    record << "\n";
  }
  if (socketPath.empty()) {
    socketPath = UserFolders::applicationSupportDirectory() + "/" + Brand::current().compact +
                 "/" + std::string(AgentWire::socketName);
  }
  const std::filesystem::path folder = std::filesystem::path(socketPath).parent_path();
  std::error_code ignored;  // listen() reports a folder that cannot be made
  std::filesystem::create_directories(folder, ignored);
  auto listener = UnixSocket::listen(socketPath);
  if (!listener) {
    std::cerr << "recorder-stub-app: cannot listen on " << socketPath << "\n";
    return 1;
  }
  std::ofstream(folder / "stub-app.pid") << ::getpid() << "\n";

  while (true) {
    pollfd waiting{listener->descriptor(), POLLIN, 0};
    const int ready = ::poll(&waiting, 1, idleSeconds * 1000);
    if (ready == 0) break;
    if (ready < 0) continue;
    auto peer = listener->accept();
    if (!peer) continue;
    const auto line = LineReader(peer->descriptor()).next();
    if (!line) continue;
    const auto request = AgentWire::decode(*line);
    const json reply = request ? answer(*request)
                               : AgentWire::reply(std::nullopt, AgentError("bad_request", "Not a JSON object."));
    if (const auto bytes = AgentWire::encode(reply)) peer->sendAll(*bytes);
  }
  ::unlink(socketPath.c_str());
  return 0;
}
