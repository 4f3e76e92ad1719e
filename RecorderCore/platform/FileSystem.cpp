#include "RecorderCore/platform/FileSystem.h"

#include <cerrno>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace RecorderCore::FileSystem {
namespace {

namespace fs = std::filesystem;

[[noreturn]] void fail(const char* what, const fs::path& path, int error) {
  throw fs::filesystem_error(what, path, std::error_code(error, std::generic_category()));
}

[[noreturn]] void fail(const char* what, const fs::path& first, const fs::path& second, int error) {
  throw fs::filesystem_error(what, first, second, std::error_code(error, std::generic_category()));
}

int openRetrying(const fs::path& path, int flags, mode_t mode = 0) {
  int fd = -1;
  do {
    fd = ::open(path.c_str(), flags | O_CLOEXEC, mode);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

// Closes a descriptor once, on every way out of a scope.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }
  // Closes now and reports the error of close(2), which on some file systems
  // is where a failed write-back shows up.
  int close() {
    const int result = ::close(fd_);
    fd_ = -1;
    return result == 0 ? 0 : errno;
  }

 private:
  int fd_;
};

int syncRetrying(int fd) {
  while (::fsync(fd) != 0) {
    if (errno != EINTR) return errno;
  }
  return 0;
}

}  // namespace

std::optional<FileIdentity> resourceIdentifier(const fs::path& path) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0) return std::nullopt;
  return FileIdentity{static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}

std::string readFile(const fs::path& path) {
  Descriptor file(openRetrying(path, O_RDONLY));
  if (file.get() < 0) fail("cannot open file", path, errno);
  std::string contents;
  struct stat info {};
  if (::fstat(file.get(), &info) == 0 && info.st_size > 0) {
    contents.reserve(static_cast<std::size_t>(info.st_size));
  }
  char chunk[1 << 16];
  while (true) {
    const ssize_t count = ::read(file.get(), chunk, sizeof chunk);
    if (count < 0) {
      if (errno == EINTR) continue;
      fail("cannot read file", path, errno);
    }
    if (count == 0) break;
    contents.append(chunk, static_cast<std::size_t>(count));
  }
  return contents;
}

void writeNewFileDurably(const fs::path& path, std::string_view bytes) {
  Descriptor file(openRetrying(path, O_WRONLY | O_CREAT | O_EXCL, 0644));
  if (file.get() < 0) fail("cannot create file", path, errno);
  int error = 0;
  while (!bytes.empty() && error == 0) {
    const ssize_t written = ::write(file.get(), bytes.data(), bytes.size());
    if (written < 0) {
      if (errno != EINTR) error = errno;
      continue;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  if (error == 0) error = syncRetrying(file.get());
  const int closeError = file.close();
  if (error == 0) error = closeError;
  if (error != 0) {
    ::unlink(path.c_str());
    fail("cannot write file", path, error);
  }
}

void replaceItem(const fs::path& target, const fs::path& replacement) {
  if (::rename(replacement.c_str(), target.c_str()) != 0) {
    fail("cannot replace file", target, replacement, errno);
  }
  // Make the new directory entry itself durable. The replace has happened
  // whatever this returns, so a folder that cannot be synced (some file
  // systems refuse fsync on directories) is no reason to report a failure.
  fs::path folder = target.parent_path();
  if (folder.empty()) folder = ".";
  Descriptor directory(openRetrying(folder, O_RDONLY | O_DIRECTORY));
  if (directory.get() >= 0) syncRetrying(directory.get());
}

}  // namespace RecorderCore::FileSystem
