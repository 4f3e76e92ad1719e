#include "RecorderCore/platform/FileIO.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace RecorderCore::FileIO {

std::optional<std::string> readFile(const std::string& path) {
  int fd = -1;
  do {
    fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return std::nullopt;
  std::string contents;
  char chunk[65536];
  while (true) {
    const long count = readSome(fd, chunk, sizeof chunk);
    if (count < 0) {
      ::close(fd);
      return std::nullopt;
    }
    if (count == 0) break;
    contents.append(chunk, static_cast<std::size_t>(count));
  }
  ::close(fd);
  return contents;
}

bool writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

long readSome(int fd, char* buffer, std::size_t capacity) {
  while (true) {
    const ssize_t count = ::read(fd, buffer, capacity);
    if (count < 0 && errno == EINTR) continue;
    return static_cast<long>(count);
  }
}

bool exists(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0;
}

}  // namespace RecorderCore::FileIO
