#include "host/HostServer.h"

#include <thread>

#include "RecorderCore/agent/AgentWire.h"
#include "RecorderCore/platform/SocketListening.h"

namespace RecorderCore {

namespace {

// A request line longer than this is refused rather than buffered forever.
constexpr std::size_t kMaxRequestBytes = 64 * 1024 * 1024;
// How long a connection may take to send its line.
constexpr std::chrono::seconds kReceiveTimeout{30};
// How often run() looks at the stop flag while nobody connects.
constexpr std::chrono::milliseconds kPollInterval{200};

}  // namespace

HostServer::HostServer(Tools& tools, UnixSocket listener) : tools_(tools), listener_(std::move(listener)) {}

nlohmann::json HostServer::answer(std::string_view line) {
  const auto request = AgentWire::decode(line);
  if (!request) {
    return AgentWire::reply(std::nullopt, AgentError("bad_request", "The request is not a JSON object."));
  }
  const std::optional<nlohmann::json> id =
      request->contains("id") ? std::optional<nlohmann::json>((*request)["id"]) : std::nullopt;
  const auto command = request->contains("command") && (*request)["command"].is_string()
                           ? (*request)["command"].get<std::string>()
                           : std::string();
  try {
    if (command == "tools/list") return AgentWire::reply(id, tools_.list());
    if (command == "tools/call") {
      const auto& name = request->contains("name") && (*request)["name"].is_string() ? (*request)["name"]
                                                                                       : nlohmann::json("");
      const nlohmann::json arguments = request->contains("arguments") ? (*request)["arguments"] : nlohmann::json();
      return AgentWire::reply(id, tools_.call(name.get<std::string>(), arguments));
    }
    return AgentWire::reply(id, AgentError("unknown_command", "The app does not know the command \"" + command + "\"."));
  } catch (const AgentError& error) {
    return AgentWire::reply(id, error);
  } catch (const std::exception& error) {
    return AgentWire::reply(id, AgentError("internal_error", std::string("The tool failed: ") + error.what()));
  }
}

void HostServer::serve(UnixSocket connection) {
  connection.setReceiveTimeout(kReceiveTimeout);
  std::string buffer;
  char chunk[65536];
  std::size_t scanned = 0;
  bool complete = false;
  while (buffer.size() <= kMaxRequestBytes) {
    const long count = connection.receive(chunk, sizeof chunk);
    if (count <= 0) break;
    buffer.append(chunk, static_cast<std::size_t>(count));
    if (buffer.find('\n', scanned) != std::string::npos) {
      complete = true;
      break;
    }
    scanned = buffer.size();
  }
  // A peer that went away before finishing its line gets nothing.
  if (!complete && buffer.size() <= kMaxRequestBytes) return;
  const auto reply = complete ? answer(buffer.substr(0, buffer.find('\n')))
                              : AgentWire::reply(std::nullopt, AgentError("bad_request", "The request is too long."));
  if (const auto bytes = AgentWire::encode(reply)) connection.sendAll(*bytes);
}

void HostServer::run(std::optional<std::chrono::milliseconds> idleTimeout) {
  auto lastConnection = std::chrono::steady_clock::now();
  while (!stopping_) {
    if (!SocketListening::waitForConnection(listener_, kPollInterval)) {
      if (idleTimeout && std::chrono::steady_clock::now() - lastConnection >= *idleTimeout) {
        std::unique_lock lock(activeMutex_);
        if (active_ == 0) break;
      }
      continue;
    }
    auto connection = listener_.accept();
    if (!connection) continue;
    lastConnection = std::chrono::steady_clock::now();
    {
      std::lock_guard lock(activeMutex_);
      ++active_;
    }
    std::thread([this, socket = std::move(*connection)]() mutable {
      serve(std::move(socket));
      std::lock_guard lock(activeMutex_);
      if (--active_ == 0) activeDone_.notify_all();
    }).detach();
  }
  std::unique_lock lock(activeMutex_);
  activeDone_.wait(lock, [this] { return active_ == 0; });
}

}  // namespace RecorderCore
