#include "host/HostPaths.h"

#include <filesystem>

#include "RecorderCore/agent/AgentWire.h"
#include "RecorderCore/platform/FileSystem.h"
#include "RecorderCore/platform/JSONText.h"
#include "RecorderCore/platform/UserFolders.h"
#include "RecorderCore/project/Uuid.h"

namespace RecorderCore {

HostPaths HostPaths::forBrand(const Brand& brand) {
  return under(UserFolders::applicationSupportDirectory(), UserFolders::homeDirectory(), brand);
}

HostPaths HostPaths::under(const std::string& applicationSupport, const std::string& home, const Brand& brand) {
  const std::filesystem::path support = std::filesystem::path(applicationSupport) / brand.compact;
  HostPaths paths;
  paths.supportFolder = support.string();
  paths.socketPath = (support / std::string(AgentWire::socketName)).string();
  paths.settingsPath = (support / "settings.json").string();
  paths.projectsFolder = (support / "Projects").string();
  paths.moviesFolder = (std::filesystem::path(home) / "Movies").string();
  return paths;
}

HostSettings HostSettings::load(const std::string& path) {
  HostSettings settings;
  try {
    const auto object = JSONText::parseObject(FileSystem::readFile(path));
    if (object && object->contains("allowAgents") && (*object)["allowAgents"].is_boolean()) {
      settings.allowAgents = (*object)["allowAgents"].get<bool>();
    }
  } catch (const std::exception&) {
    // No file yet, or one that cannot be read: agents stay allowed.
  }
  return settings;
}

void HostSettings::save(const std::string& path) const {
  const std::filesystem::path target(path);
  std::filesystem::create_directories(target.parent_path());
  const auto text = JSONText::pretty(nlohmann::json{{"allowAgents", allowAgents}});
  // Written beside the target, then swapped in, so a reader never sees half.
  const auto temporary = target.parent_path() / (".settings." + Uuid::random().uuidString() + ".tmp");
  FileSystem::writeNewFileDurably(temporary, *text + "\n");
  try {
    FileSystem::replaceItem(target, temporary);
  } catch (...) {
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
    throw;
  }
}

}  // namespace RecorderCore
