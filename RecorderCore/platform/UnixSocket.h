// A Unix-domain stream socket: the local link between the agent bridge and
// the host app.
//
// Paths follow the macOS rule on every system: a path of 104 bytes or more
// (with its NUL) does not fit the socket address and is never bound or
// connected to, although Linux would take up to 108. That keeps the two
// platforms' behaviour the same.
//
// A socket is closed when its owner goes away. Sending never raises SIGPIPE
// (SO_NOSIGPIPE on macOS, MSG_NOSIGNAL elsewhere); a peer that has gone shows
// up as a failed send. Descriptors are close-on-exec. Movable, not copyable.
#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace RecorderCore {

class UnixSocket {
 public:
  // Longest path that fits, in bytes, without the terminating NUL.
  static constexpr std::size_t kMaxPathLength = 103;

  // Connects to the socket file at path. Nothing when the path is too long,
  // or nothing listens there (no file, refused, no permission).
  static std::optional<UnixSocket> connect(const std::string& path);

  // Binds a listening socket at path, replacing a stale socket file left
  // there. Nothing when the path is too long or the bind fails.
  static std::optional<UnixSocket> listen(const std::string& path, int backlog = 16);

  // Waits for the next connection on a listening socket; nothing on failure.
  std::optional<UnixSocket> accept() const;

  UnixSocket(UnixSocket&& other) noexcept;
  UnixSocket& operator=(UnixSocket&& other) noexcept;
  UnixSocket(const UnixSocket&) = delete;
  UnixSocket& operator=(const UnixSocket&) = delete;
  ~UnixSocket();

  // Bounds how long one receive() may block; false when the option is refused.
  bool setReceiveTimeout(std::chrono::microseconds timeout);

  // Sends every byte, continuing after short writes and EINTR. False when a
  // send fails or sends nothing.
  bool sendAll(std::string_view bytes);

  // Receives up to `capacity` bytes. Returns the count, 0 when the peer has
  // closed its side, -1 on an error (a receive timeout included).
  long receive(char* buffer, std::size_t capacity);

  // Stops sending: the peer's next receive sees the end of the stream.
  void shutdownWrite();

  int descriptor() const { return fd_; }

 private:
  explicit UnixSocket(int fd) : fd_(fd) {}
  int fd_ = -1;
};

}  // namespace RecorderCore
