#include "RecorderCore/platform/AppLauncher.h"

#include "RecorderCore/platform/ProcessControl.h"

#if !defined(__APPLE__)
#include "RecorderCore/platform/MainBundle.h"
#endif

namespace RecorderCore::AppLauncher {

bool launchInBackground(const std::string& bundlePath) {
#if defined(__APPLE__)
  return ProcessControl::runAndWait("/usr/bin/open", {"-g", bundlePath, "--args", kAgentArgument}) == 0;
#else
  const nlohmann::json info = MainBundle::infoDictionary(bundlePath);
  const auto name = info.find("CFBundleExecutable");
  if (name == info.end() || !name->is_string()) return false;
  const auto& executableName = name->get_ref<const std::string&>();
  if (executableName.empty() || executableName.find('/') != std::string::npos) return false;
  return ProcessControl::spawnDetached(bundlePath + "/Contents/MacOS/" + executableName,
                                       {kAgentArgument});
#endif
}

}  // namespace RecorderCore::AppLauncher
