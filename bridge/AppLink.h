// The bridge's link to the host app: one connection to the app's agent socket
// per exchange, one JSON line each way, and starting the app when nobody
// listens.
//
// Starting the app, waiting between polls and logging are values handed in,
// so tests can count launches and polls without starting anything or waiting
// twelve seconds. Not thread-safe; the bridge uses it from its one thread.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "RecorderCore/platform/UnixSocket.h"

namespace RecorderCore {

class AppLink {
 public:
  // How many times the socket is tried after a launch, and how far apart.
  static constexpr int kLaunchPolls = 48;
  static constexpr std::chrono::microseconds kPollInterval{250'000};
  // How long one read of the app's reply may wait for data.
  static constexpr std::chrono::seconds kReceiveTimeout{180};
  // The most bytes taken from the socket in one read.
  static constexpr std::size_t kReadChunkSize = 65'536;

  struct Hooks {
    // Starts the host app in the background and returns once it is started.
    std::function<void()> launchApp;
    // Waits between two polls of the socket.
    std::function<void(std::chrono::microseconds)> sleep;
    // Writes one diagnostic line (the launch notice).
    std::function<void(std::string_view)> log;
    // Bounds each read of a reply.
    std::chrono::microseconds receiveTimeout = kReceiveTimeout;
  };

  AppLink(std::string socketPath, Hooks hooks);

  // Connects to the app's socket and sets the reply timeout. Nothing when the
  // path is too long or nobody listens.
  std::optional<UnixSocket> connectToApp() const;

  // Connects; when that fails, logs the launch notice, starts the app once
  // and polls the socket kLaunchPolls times, kPollInterval apart. Nothing when
  // every attempt fails.
  std::optional<UnixSocket> connectOrLaunchApp() const;

  // Sends one request and returns the app's reply: the JSON object on the
  // first line it sends back. Nothing when there is no connection, the write
  // fails, the app closes or times out before a newline, or the line is not a
  // JSON object.
  std::optional<nlohmann::json> sendToApp(const nlohmann::json& request) const;

  const std::string& socketPath() const { return socketPath_; }

 private:
  std::string socketPath_;
  Hooks hooks_;
};

}  // namespace RecorderCore
