// The agent bridge: reads MCP requests, one JSON object per line, answers them
// and forwards tool work to the host app.
//
// Use Bridge::startUp() in the executable: it finds the app bundle the
// executable sits in, reads the product's identity from it, ignores SIGPIPE
// and logs the ready line. Tests build a Bridge from a Configuration of their
// own, with output sinks and app-link hooks that record instead of writing
// and launching.
//
// Single-threaded and blocking: one request is answered before the next line
// is read. Not copyable.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "RecorderCore/brand/Brand.h"
#include "RecorderCore/brand/Features.h"
#include "bridge/AppLink.h"

namespace RecorderCore {

class Bridge {
 public:
  // The values the bridge starts with; only clientName changes afterwards.
  struct Configuration {
    std::string appBundlePath;
    Brand brand;
    Features features;
    std::string socketPath;
  };

  // Where the bridge's bytes go: standard output carries responses only,
  // standard error the one-line diagnostics.
  struct Output {
    std::function<void(std::string_view)> standardOutput;
    std::function<void(std::string_view)> standardError;
  };

  // The name agents are called by until "initialize" names the client.
  static constexpr std::string_view kDefaultClientName = "An agent";

  // Reads the configuration of the running executable: the bundle three path
  // components above it, its Info.plist, the environment, and the socket path
  // in the user's Application Support folder.
  static Configuration configurationOfThisProcess();

  // The socket path for a product: <Application Support>/<compact>/agent.sock.
  static std::string socketPath(const std::string& applicationSupportDirectory,
                                const Brand& brand);

  // Does everything before the request loop, in order: the configuration,
  // ignoring SIGPIPE, and the ready line. Writes to the process's standard
  // streams and launches the real app.
  static Bridge& startUp();

  Bridge(Configuration configuration, AppLink::Hooks hooks, Output output);
  Bridge(const Bridge&) = delete;
  Bridge& operator=(const Bridge&) = delete;

  // Writes "[<compact>-mcp] <message>\n" to standard error in one write.
  void log(std::string_view message) const;

  // Writes the message as one compact JSON line to standard output in one
  // write; writes nothing when it cannot be serialised.
  void emit(const nlohmann::json& message) const;

  // Logs "ready (app: <bundle name>, socket: <socket path>)".
  void logReady() const;

  // Answers one request object: zero or one response.
  void handle(const nlohmann::json& request);

  // Answers one line of input: nothing for an empty line, the parse error for
  // a line that is not a JSON object, else what handle() writes.
  void handleLine(std::string_view line);

  // Answers every line read from the descriptor until its input ends.
  void serve(int inputFd);

  const Configuration& configuration() const { return configuration_; }
  const std::string& clientName() const { return clientName_; }
  const std::string& refusalMessage() const { return refusalMessage_; }

 private:
  void respond(const std::optional<nlohmann::json>& id, const nlohmann::json& result) const;
  void respondError(const std::optional<nlohmann::json>& id, int code,
                    std::string_view message) const;
  nlohmann::json listTools() const;
  void callTool(const std::optional<nlohmann::json>& id, const nlohmann::json& params);

  Configuration configuration_;
  Output output_;
  AppLink appLink_;
  std::string clientName_;
  std::string refusalMessage_;
};

}  // namespace RecorderCore
