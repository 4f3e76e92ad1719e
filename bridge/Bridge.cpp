#include "bridge/Bridge.h"

#include <utility>

#include "RecorderCore/agent/AgentCatalogue.h"
#include "RecorderCore/agent/AgentWire.h"
#include "RecorderCore/agent/MCPMessages.h"
#include "RecorderCore/platform/AppLauncher.h"
#include "RecorderCore/platform/FileIO.h"
#include "RecorderCore/platform/JSONText.h"
#include "RecorderCore/platform/MainBundle.h"
#include "RecorderCore/platform/ProcessControl.h"
#include "RecorderCore/platform/ProcessInfo.h"
#include "RecorderCore/platform/UserFolders.h"
#include "bridge/LineReader.h"

namespace RecorderCore {
namespace {

using nlohmann::json;

// JSON-RPC error codes the bridge answers with.
constexpr int kParseError = -32700;
constexpr int kMethodNotFound = -32601;
constexpr int kInvalidParams = -32602;
constexpr int kFeatureMissing = -32000;

std::string refusalText(const std::string& display) {
  return display + " is not accepting agents. Ask the person to open " + display +
         " \u203A Settings \u203A Agents and switch on \u201CAllow agents to control " +
         display + "\u201D.";
}

std::optional<std::string> stringMember(const json& object, const char* key) {
  const auto found = object.find(key);
  if (found == object.end() || !found->is_string()) return std::nullopt;
  return found->get<std::string>();
}

}  // namespace

Bridge::Configuration Bridge::configurationOfThisProcess() {
  // Without a location from the system, the path stays empty and the bundle
  // has no Info.plist: every identity value takes its default.
  const std::string executable = ProcessInfo::executablePath().value_or("");
  std::string bundle = MainBundle::bundlePath(executable);
  const json info = MainBundle::infoDictionary(bundle);
  Brand brand(info);
  Features features(ProcessInfo::environment(), stringMember(info, "EnabledFeatures"));
  std::string socket = socketPath(UserFolders::applicationSupportDirectory(), brand);
  return Configuration{std::move(bundle), std::move(brand), std::move(features),
                       std::move(socket)};
}

std::string Bridge::socketPath(const std::string& applicationSupportDirectory,
                               const Brand& brand) {
  std::string path = applicationSupportDirectory;
  if (path.empty() || path.back() != '/') path += '/';
  path += brand.compact;
  path += '/';
  path += AgentWire::socketName;
  return path;
}

Bridge& Bridge::startUp() {
  Configuration configuration = configurationOfThisProcess();
  const std::string bundle = configuration.appBundlePath;
  AppLink::Hooks hooks{
      .launchApp = [bundle] { AppLauncher::launchInBackground(bundle); },
      .sleep = [](std::chrono::microseconds duration) { ProcessControl::sleepFor(duration); },
      .log = {},
  };
  Output output{
      .standardOutput = [](std::string_view bytes) {
        FileIO::writeAll(FileIO::standardOutput, bytes);
      },
      .standardError = [](std::string_view bytes) {
        FileIO::writeAll(FileIO::standardError, bytes);
      },
  };
  // The bridge lives as long as the process.
  static Bridge bridge(std::move(configuration), std::move(hooks), std::move(output));
  ProcessControl::ignoreSIGPIPE();
  bridge.logReady();
  return bridge;
}

Bridge::Bridge(Configuration configuration, AppLink::Hooks hooks, Output output)
    : configuration_(std::move(configuration)),
      output_(std::move(output)),
      appLink_(configuration_.socketPath,
               [&] {
                 // The launch notice goes through the same prefix as every
                 // other diagnostic line.
                 hooks.log = [this](std::string_view message) { log(message); };
                 return std::move(hooks);
               }()),
      clientName_(kDefaultClientName),
      refusalMessage_(refusalText(configuration_.brand.display)) {}

void Bridge::log(std::string_view message) const {
  std::string line = "[" + configuration_.brand.compact + "-mcp] ";
  line += message;
  line += '\n';
  if (output_.standardError) output_.standardError(line);
}

void Bridge::emit(const json& message) const {
  const auto line = AgentWire::encode(message);
  if (line && output_.standardOutput) output_.standardOutput(*line);
}

void Bridge::logReady() const {
  log("ready (app: " + MainBundle::lastPathComponent(configuration_.appBundlePath) +
      ", socket: " + configuration_.socketPath + ")");
}

void Bridge::respond(const std::optional<json>& id, const json& result) const {
  if (id) emit(MCPMessages::result(id, result));
}

void Bridge::respondError(const std::optional<json>& id, int code,
                          std::string_view message) const {
  if (id) emit(MCPMessages::error(id, code, message));
}

void Bridge::handle(const json& request) {
  std::optional<json> id;
  if (const auto found = request.find("id"); found != request.end()) id = *found;
  const std::string method = stringMember(request, "method").value_or("");
  json params = json::object();
  if (const auto found = request.find("params"); found != request.end() && found->is_object()) {
    params = *found;
  }

  if (!configuration_.features.isEnabled(Feature::mcp)) {
    respondError(id, kFeatureMissing,
                 "Agent control is not part of this build of " +
                     configuration_.brand.display + ".");
    return;
  }
  if (method == "initialize") {
    if (const auto info = params.find("clientInfo"); info != params.end() && info->is_object()) {
      if (auto name = stringMember(*info, "name"); name && !name->empty()) {
        clientName_ = std::move(*name);
      }
    }
    respond(id, MCPMessages::initializeResult(configuration_.brand,
                                              stringMember(params, "protocolVersion")));
    return;
  }
  if (method == "ping") {
    respond(id, json::object());
    return;
  }
  if (method == "tools/list") {
    respond(id, listTools());
    return;
  }
  if (method == "tools/call") {
    callTool(id, params);
    return;
  }
  if (method == "resources/list") {
    respond(id, {{"resources", json::array()}});
    return;
  }
  if (method == "prompts/list") {
    respond(id, {{"prompts", json::array()}});
    return;
  }
  if (method.starts_with("notifications/")) return;
  respondError(id, kMethodNotFound, "Method not found: " + method);
}

json Bridge::listTools() const {
  // The app's own list wins: it knows the tools of the version that runs.
  const auto reply = appLink_.sendToApp({{"id", "list"}, {"command", "tools/list"}});
  if (reply) {
    const auto result = reply->find("result");
    if (result != reply->end() && result->is_object()) {
      const auto tools = result->find("tools");
      if (tools != result->end() && tools->is_array()) {
        bool allObjects = true;
        for (const auto& entry : *tools) allObjects = allObjects && entry.is_object();
        if (allObjects) return {{"tools", *tools}};
      }
    }
  }
  json tools = json::array();
  for (const AgentTool& tool : AgentCatalogue::tools()) tools.push_back(tool.listEntry());
  return {{"tools", std::move(tools)}};
}

void Bridge::callTool(const std::optional<json>& id, const json& params) {
  const auto name = stringMember(params, "name");
  if (!name) {
    respondError(id, kInvalidParams, "Missing tool name.");
    return;
  }
  json arguments = json::object();
  if (const auto found = params.find("arguments"); found != params.end() && found->is_object()) {
    arguments = *found;
  }
  // The name is not checked against the built-in catalogue: the app may know
  // tools this bridge does not, and refuses unknown ones itself.
  const auto reply = appLink_.sendToApp({{"id", "call"},
                                         {"command", "tools/call"},
                                         {"name", *name},
                                         {"arguments", std::move(arguments)},
                                         {"client", clientName_}});
  if (!reply) {
    respond(id, MCPMessages::toolResult({{"error", refusalMessage_}}, true));
    return;
  }
  respond(id, MCPMessages::toolResult(*reply));
}

void Bridge::handleLine(std::string_view line) {
  if (line.empty()) return;
  const auto request = JSONText::parseObject(line);
  if (!request) {
    emit(MCPMessages::error(std::nullopt, kParseError, "Parse error"));
    return;
  }
  handle(*request);
}

void Bridge::serve(int inputFd) {
  LineReader reader(inputFd);
  while (auto line = reader.next()) handleLine(*line);
}

}  // namespace RecorderCore
