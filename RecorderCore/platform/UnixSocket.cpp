#include "RecorderCore/platform/UnixSocket.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

namespace RecorderCore {
namespace {

#if defined(__APPLE__)
constexpr int kSendFlags = 0;
#else
constexpr int kSendFlags = MSG_NOSIGNAL;
#endif

// A new stream socket that is not inherited across exec.
int newStreamSocket() {
#if defined(__APPLE__)
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  if (fd >= 0) ::fcntl(fd, F_SETFD, FD_CLOEXEC);
  return fd;
#else
  return ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
#endif
}

// Fills the address for path; false when the path does not fit under the
// 104-byte rule.
bool fillAddress(sockaddr_un& address, const std::string& path) {
  std::memset(&address, 0, sizeof address);
  address.sun_family = AF_UNIX;
  if (path.size() > UnixSocket::kMaxPathLength) return false;
  static_assert(sizeof address.sun_path > UnixSocket::kMaxPathLength);
  std::memcpy(address.sun_path, path.data(), path.size());
  return true;
}

void closeRetrying(int fd) {
  // close() is not retried on EINTR: the descriptor is gone either way.
  if (fd >= 0) ::close(fd);
}

// The socket API takes a generic address; sockaddr_un is one by layout.
const sockaddr* genericAddress(const sockaddr_un& address) {
  return reinterpret_cast<const sockaddr*>(&address);
}

}  // namespace

std::optional<UnixSocket> UnixSocket::connect(const std::string& path) {
  sockaddr_un address{};
  if (!fillAddress(address, path)) return std::nullopt;
  const int fd = newStreamSocket();
  if (fd < 0) return std::nullopt;
  int result = 0;
  do {
    result = ::connect(fd, genericAddress(address), sizeof address);
  } while (result != 0 && errno == EINTR);
  if (result != 0) {
    closeRetrying(fd);
    return std::nullopt;
  }
#if defined(__APPLE__)
  const int on = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_NOSIGPIPE, &on, sizeof on);
#endif
  return UnixSocket(fd);
}

std::optional<UnixSocket> UnixSocket::listen(const std::string& path, int backlog) {
  sockaddr_un address{};
  if (!fillAddress(address, path)) return std::nullopt;
  const int fd = newStreamSocket();
  if (fd < 0) return std::nullopt;
  // A socket file outlives the process that bound it; only a socket is ever
  // removed here, never another kind of file.
  struct stat info {};
  if (::lstat(path.c_str(), &info) == 0 && S_ISSOCK(info.st_mode)) {
    ::unlink(path.c_str());
  }
  if (::bind(fd, genericAddress(address), sizeof address) != 0 ||
      ::listen(fd, backlog) != 0) {
    closeRetrying(fd);
    return std::nullopt;
  }
  return UnixSocket(fd);
}

std::optional<UnixSocket> UnixSocket::accept() const {
  while (true) {
#if defined(__APPLE__)
    const int fd = ::accept(fd_, nullptr, nullptr);
    if (fd >= 0) {
      ::fcntl(fd, F_SETFD, FD_CLOEXEC);
      const int on = 1;
      ::setsockopt(fd, SOL_SOCKET, SO_NOSIGPIPE, &on, sizeof on);
    }
#else
    const int fd = ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
#endif
    if (fd >= 0) return UnixSocket(fd);
    if (errno != EINTR && errno != ECONNABORTED) return std::nullopt;
  }
}

UnixSocket::UnixSocket(UnixSocket&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }

UnixSocket& UnixSocket::operator=(UnixSocket&& other) noexcept {
  if (this != &other) {
    closeRetrying(fd_);
    fd_ = other.fd_;
    other.fd_ = -1;
  }
  return *this;
}

UnixSocket::~UnixSocket() { closeRetrying(fd_); }

bool UnixSocket::setReceiveTimeout(std::chrono::microseconds timeout) {
  timeval value{};
  value.tv_sec = static_cast<decltype(value.tv_sec)>(timeout.count() / 1'000'000);
  value.tv_usec = static_cast<decltype(value.tv_usec)>(timeout.count() % 1'000'000);
  return ::setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &value, sizeof value) == 0;
}

bool UnixSocket::sendAll(std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t sent = ::send(fd_, bytes.data(), bytes.size(), kSendFlags);
    if (sent < 0 && errno == EINTR) continue;
    if (sent <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(sent));
  }
  return true;
}

long UnixSocket::receive(char* buffer, std::size_t capacity) {
  while (true) {
    const ssize_t count = ::recv(fd_, buffer, capacity, 0);
    if (count < 0 && errno == EINTR) continue;
    return static_cast<long>(count);
  }
}

void UnixSocket::shutdownWrite() { ::shutdown(fd_, SHUT_WR); }

}  // namespace RecorderCore
