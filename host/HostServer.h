// The listening side of the agent socket: accepts connections, reads one JSON
// line from each, answers one line built with AgentWire::reply and closes it.
//
// Each connection is served on a thread of its own, so a slow call (a long
// wait_for_job, a big save) never holds up the others; the tools serialise
// document access themselves. run() returns after stop(), or after
// `idleTimeout` without a new connection, once every connection in flight
// has been answered.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "RecorderCore/platform/UnixSocket.h"
#include "host/Tools.h"

namespace RecorderCore {

class HostServer {
 public:
  HostServer(Tools& tools, UnixSocket listener);

  // Serves connections until stop() or the idle timeout (none when empty).
  void run(std::optional<std::chrono::milliseconds> idleTimeout);
  // Asks run() to return; safe from any thread.
  void stop() { stopping_ = true; }

  // The reply to one request line (without the newline): what a connection
  // is answered with.
  nlohmann::json answer(std::string_view line);

 private:
  void serve(UnixSocket connection);

  Tools& tools_;
  UnixSocket listener_;
  std::atomic<bool> stopping_{false};
  std::mutex activeMutex_;
  std::condition_variable activeDone_;
  int active_ = 0;
};

}  // namespace RecorderCore
