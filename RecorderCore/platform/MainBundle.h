// The app bundle the running executable belongs to.
//
// Both the host app (Contents/MacOS/<app>) and the agent bridge, which ships
// in the same folder, find their bundle three path components above their
// resolved executable, and read their identity from its Contents/Info.plist.
#pragma once

#include <optional>
#include <string>

#include <nlohmann/json.hpp>

namespace RecorderCore::MainBundle {

// Returns the path with its last path component removed, as a file URL
// would: "/a/b" → "/a", "/a" → "/". Trailing slashes are ignored.
std::string deletingLastPathComponent(const std::string& path);

// Returns the last path component: "/a/B.app" → "B.app".
std::string lastPathComponent(const std::string& path);

// Returns the bundle folder of an executable: its path minus the last three
// path components.
std::string bundlePath(const std::string& executablePath);

// The running executable's bundle; nothing when the executable's location is
// unknown.
std::optional<std::string> path();

// The contents of <bundle>/Contents/Info.plist as a JSON object; an empty
// object when the file is missing, unreadable or not a dictionary.
nlohmann::json infoDictionary(const std::string& bundle);

// The running executable's bundle's Info.plist, read on every call.
nlohmann::json infoDictionary();

}  // namespace RecorderCore::MainBundle
