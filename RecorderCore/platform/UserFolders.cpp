#include "RecorderCore/platform/UserFolders.h"

#include <cstdlib>
#include <vector>

#include <pwd.h>
#include <unistd.h>

namespace RecorderCore::UserFolders {

std::string homeDirectory() {
  if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
    return home;
  }
  passwd entry{};
  passwd* found = nullptr;
  std::vector<char> buffer(16384);
  if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
      found != nullptr && found->pw_dir != nullptr && *found->pw_dir != '\0') {
    return found->pw_dir;
  }
  return "/";
}

std::string applicationSupportDirectory() {
  std::string home = homeDirectory();
  if (home.size() > 1 && home.back() == '/') home.pop_back();
  const std::string prefix = home == "/" ? "" : home;
#if defined(__APPLE__)
  return prefix + "/Library/Application Support";
#else
  // The XDG rules ignore a relative value.
  if (const char* data = std::getenv("XDG_DATA_HOME"); data != nullptr && *data == '/') {
    std::string folder(data);
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return folder;
  }
  return prefix + "/.local/share";
#endif
}

}  // namespace RecorderCore::UserFolders
