#include "RecorderCore/platform/MainBundle.h"

#include "RecorderCore/platform/ProcessInfo.h"
#include "RecorderCore/platform/PropertyList.h"

namespace RecorderCore::MainBundle {

std::string deletingLastPathComponent(const std::string& path) {
  std::string trimmed = path;
  while (trimmed.size() > 1 && trimmed.back() == '/') trimmed.pop_back();
  const std::size_t slash = trimmed.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return trimmed.substr(0, slash);
}

std::string lastPathComponent(const std::string& path) {
  std::string trimmed = path;
  while (trimmed.size() > 1 && trimmed.back() == '/') trimmed.pop_back();
  const std::size_t slash = trimmed.rfind('/');
  if (slash == std::string::npos || trimmed.size() == 1) return trimmed;
  return trimmed.substr(slash + 1);
}

std::string bundlePath(const std::string& executablePath) {
  return deletingLastPathComponent(
      deletingLastPathComponent(deletingLastPathComponent(executablePath)));
}

std::optional<std::string> path() {
  const auto executable = ProcessInfo::executablePath();
  if (!executable) return std::nullopt;
  return bundlePath(*executable);
}

nlohmann::json infoDictionary(const std::string& bundle) {
  return PropertyList::readDictionary(bundle + "/Contents/Info.plist");
}

nlohmann::json infoDictionary() {
  const auto bundle = path();
  if (!bundle) return nlohmann::json::object();
  return infoDictionary(*bundle);
}

}  // namespace RecorderCore::MainBundle
