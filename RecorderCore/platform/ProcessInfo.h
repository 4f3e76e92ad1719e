// Facts about the running process: where its executable is and what its
// environment holds.
#pragma once

#include <map>
#include <optional>
#include <string>

namespace RecorderCore::ProcessInfo {

// Remembers the first command-line argument, the fallback of
// executablePath() when the system cannot tell where the executable is. Call
// it once from main() before anything reads the path.
void recordArguments(int argc, const char* const* argv);

// Returns the running executable's absolute path with symbolic links
// resolved: the system's answer (/proc/self/exe, or the loader's path on
// macOS), else the recorded first argument made absolute. Nothing when
// neither is known.
std::optional<std::string> executablePath();

// Returns the whole process environment.
std::map<std::string, std::string> environment();

// Returns one variable of the environment; nothing when it is not set (an
// empty value is still a value).
std::optional<std::string> environmentValue(const std::string& name);

}  // namespace RecorderCore::ProcessInfo
