// Where the host keeps and looks for things, worked out once at start-up from
// the product's compact name and the user's folders.
#pragma once

#include <string>

#include "RecorderCore/brand/Brand.h"

namespace RecorderCore {

struct HostPaths {
  // <Application Support>/<compact name>: the socket, the settings, projects.
  std::string supportFolder;
  std::string socketPath;
  std::string settingsPath;
  // Where list_projects looks, and one of the two roots agents may touch.
  std::string projectsFolder;
  // ~/Movies: the default export folder and the other root agents may touch.
  std::string moviesFolder;

  // The folders of the running user for this brand.
  static HostPaths forBrand(const Brand& brand);
  // The same layout under explicit folders (tests).
  static HostPaths under(const std::string& applicationSupport, const std::string& home, const Brand& brand);
};

// The host's own settings, in settings.json beside the socket.
struct HostSettings {
  // "Allow agents to control <display name>": whether the socket is opened.
  bool allowAgents = true;

  // Reads the file; a missing or unreadable file, or a member of the wrong
  // type, gives the default.
  static HostSettings load(const std::string& path);
  // Writes the file atomically, creating its folder; throws filesystem_error.
  void save(const std::string& path) const;
};

}  // namespace RecorderCore
