#include "RecorderCore/platform/SocketListening.h"

#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace RecorderCore::SocketListening {

bool createPrivateFolder(const std::string& path) {
  std::error_code error;
  std::filesystem::create_directories(path, error);
  if (error) return false;
  return ::chmod(path.c_str(), S_IRWXU) == 0;
}

bool restrictToOwner(const std::string& path) { return ::chmod(path.c_str(), S_IRUSR | S_IWUSR) == 0; }

bool waitForConnection(const UnixSocket& listener, std::chrono::milliseconds timeout) {
  pollfd entry{};
  entry.fd = listener.descriptor();
  entry.events = POLLIN;
  const auto limit = timeout.count() > 0x7fffffff ? 0x7fffffff : static_cast<int>(timeout.count());
  const int ready = ::poll(&entry, 1, limit);
  return ready > 0 && (entry.revents & POLLIN) != 0;
}

void removeSocketFile(const std::string& path) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) == 0 && S_ISSOCK(info.st_mode)) ::unlink(path.c_str());
}

bool writeProcessIDFile(const std::string& path) {
  std::ofstream file(path, std::ios::trunc);
  file << ::getpid() << "\n";
  return static_cast<bool>(file.flush());
}

}  // namespace RecorderCore::SocketListening
