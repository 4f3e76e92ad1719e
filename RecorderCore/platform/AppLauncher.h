// Starting the host app in the background so that an agent can reach it.
#pragma once

#include <string>

namespace RecorderCore::AppLauncher {

// The app argument that tells the host app an agent started it.
inline constexpr const char* kAgentArgument = "--agent";

// Starts the app bundle at bundlePath in the background with the single app
// argument "--agent", and returns once the start is under way.
//
// On macOS this runs /usr/bin/open -g <bundle> --args --agent and waits for
// open to exit. Elsewhere it spawns <bundle>/Contents/MacOS/<CFBundleExecutable>
// detached, and starts nothing when the Info.plist key or the file is
// missing. Returns false when nothing could be started; callers poll for the
// app either way.
bool launchInBackground(const std::string& bundlePath);

}  // namespace RecorderCore::AppLauncher
