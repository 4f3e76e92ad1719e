#include "RecorderCore/platform/ProcessInfo.h"

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include <unistd.h>

#if defined(__APPLE__)
#include <mach-o/dyld.h>
#endif

extern char** environ;

namespace RecorderCore::ProcessInfo {
namespace {

std::optional<std::string>& recordedFirstArgument() {
  static std::optional<std::string> argument;
  return argument;
}

// Resolves symbolic links and relative components; nothing when the path does
// not name an existing file.
std::optional<std::string> resolved(const std::string& path) {
  char* real = ::realpath(path.c_str(), nullptr);
  if (real == nullptr) return std::nullopt;
  std::string result(real);
  std::free(real);
  return result;
}

std::optional<std::string> systemExecutablePath() {
#if defined(__APPLE__)
  std::uint32_t size = 0;
  _NSGetExecutablePath(nullptr, &size);
  std::vector<char> buffer(size + 1, '\0');
  if (_NSGetExecutablePath(buffer.data(), &size) != 0) return std::nullopt;
  return resolved(std::string(buffer.data()));
#else
  return resolved("/proc/self/exe");
#endif
}

// The first argument as a shell would have found it: a path when it holds a
// slash, otherwise a name looked up along PATH.
std::optional<std::string> pathFromFirstArgument(const std::string& argument) {
  if (argument.empty()) return std::nullopt;
  if (argument.find('/') != std::string::npos) return resolved(argument);
  const char* searchPath = std::getenv("PATH");
  if (searchPath == nullptr) return std::nullopt;
  std::string_view rest(searchPath);
  while (true) {
    const std::size_t colon = rest.find(':');
    const std::string_view folder = rest.substr(0, colon);
    // An empty entry of PATH stands for the current folder.
    std::string candidate = folder.empty() ? std::string(".") : std::string(folder);
    candidate += '/';
    candidate += argument;
    if (::access(candidate.c_str(), X_OK) == 0) return resolved(candidate);
    if (colon == std::string_view::npos) break;
    rest.remove_prefix(colon + 1);
  }
  return std::nullopt;
}

}  // namespace

void recordArguments(int argc, const char* const* argv) {
  if (argc > 0 && argv != nullptr && argv[0] != nullptr) {
    recordedFirstArgument() = std::string(argv[0]);
  }
}

std::optional<std::string> executablePath() {
  if (auto path = systemExecutablePath()) return path;
  if (const auto& argument = recordedFirstArgument()) {
    return pathFromFirstArgument(*argument);
  }
  return std::nullopt;
}

std::map<std::string, std::string> environment() {
  std::map<std::string, std::string> result;
  for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
    const std::string_view text(*entry);
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos) continue;
    result.emplace(std::string(text.substr(0, equals)),
                   std::string(text.substr(equals + 1)));
  }
  return result;
}

std::optional<std::string> environmentValue(const std::string& name) {
  const char* value = std::getenv(name.c_str());
  if (value == nullptr) return std::nullopt;
  return std::string(value);
}

}  // namespace RecorderCore::ProcessInfo
