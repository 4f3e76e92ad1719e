#include "bridge/AppLink.h"

#include <cstring>
#include <memory>
#include <utility>

#include "RecorderCore/agent/AgentWire.h"

namespace RecorderCore {

AppLink::AppLink(std::string socketPath, Hooks hooks)
    : socketPath_(std::move(socketPath)), hooks_(std::move(hooks)) {}

std::optional<UnixSocket> AppLink::connectToApp() const {
  auto socket = UnixSocket::connect(socketPath_);
  if (socket) socket->setReceiveTimeout(hooks_.receiveTimeout);
  return socket;
}

std::optional<UnixSocket> AppLink::connectOrLaunchApp() const {
  if (auto socket = connectToApp()) return socket;
  if (hooks_.log) hooks_.log("app not reachable, starting it");
  if (hooks_.launchApp) hooks_.launchApp();
  for (int attempt = 0; attempt < kLaunchPolls; ++attempt) {
    if (hooks_.sleep) hooks_.sleep(kPollInterval);
    if (auto socket = connectToApp()) return socket;
  }
  return std::nullopt;
}

std::optional<nlohmann::json> AppLink::sendToApp(const nlohmann::json& request) const {
  auto socket = connectOrLaunchApp();
  if (!socket) return std::nullopt;
  const auto line = AgentWire::encode(request);
  if (!line || !socket->sendAll(*line)) return std::nullopt;

  // The reply may come in many pieces; only the new piece is searched for
  // the newline, so a reply of many megabytes costs one pass.
  static thread_local std::unique_ptr<char[]> chunk = std::make_unique<char[]>(kReadChunkSize);
  std::string buffer;
  while (true) {
    const long count = socket->receive(chunk.get(), kReadChunkSize);
    if (count <= 0) return std::nullopt;
    const std::size_t used = buffer.size();
    buffer.append(chunk.get(), static_cast<std::size_t>(count));
    const void* newline = std::memchr(buffer.data() + used, '\n', static_cast<std::size_t>(count));
    if (newline != nullptr) {
      const auto length =
          static_cast<std::size_t>(static_cast<const char*>(newline) - buffer.data());
      return AgentWire::decode(std::string_view(buffer.data(), length));
    }
  }
}

}  // namespace RecorderCore
