#include "RecorderCore/agent/AgentArguments.h"

#include <cmath>
#include <filesystem>
#include <limits>
#include <system_error>
#include <vector>

#include "RecorderCore/agent/AgentText.h"
#include "RecorderCore/platform/ProcessInfo.h"

namespace RecorderCore {
namespace {

using nlohmann::json;

std::int64_t truncatedToInteger(double value) {
  constexpr double limit = 9223372036854775808.0;  // 2^63
  if (value >= limit) return std::numeric_limits<std::int64_t>::max();
  if (value < -limit) return std::numeric_limits<std::int64_t>::min();
  return static_cast<std::int64_t>(std::trunc(value));
}

std::string currentFolder() {
  std::error_code error;
  const auto folder = std::filesystem::current_path(error);
  // A current folder that is gone leaves relative paths under "/", where no
  // root of an agent lies.
  return error ? std::string("/") : folder.string();
}

}  // namespace

AgentArguments::AgentArguments(const std::optional<json>& arguments)
    : raw(arguments && arguments->is_object() ? *arguments : json::object()) {}

std::optional<std::string> AgentArguments::string(std::string_view key) const {
  const auto value = raw.find(key);
  if (value == raw.end() || !value->is_string()) return std::nullopt;
  return value->get<std::string>();
}

std::optional<bool> AgentArguments::boolean(std::string_view key) const {
  const auto value = raw.find(key);
  if (value == raw.end() || !value->is_boolean()) return std::nullopt;
  return value->get<bool>();
}

std::optional<double> AgentArguments::number(std::string_view key) const {
  const auto value = raw.find(key);
  if (value == raw.end()) return std::nullopt;
  if (value->is_boolean()) return value->get<bool>() ? 1.0 : 0.0;
  if (!value->is_number()) return std::nullopt;
  return value->get<double>();
}

std::optional<std::int64_t> AgentArguments::integer(std::string_view key) const {
  const auto value = raw.find(key);
  if (value == raw.end()) return std::nullopt;
  if (value->is_boolean()) return value->get<bool>() ? 1 : 0;
  if (value->is_number_unsigned()) {
    const auto unsignedValue = value->get<std::uint64_t>();
    constexpr auto most = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    return static_cast<std::int64_t>(unsignedValue > most ? most : unsignedValue);
  }
  if (value->is_number_integer()) return value->get<std::int64_t>();
  if (value->is_number_float()) return truncatedToInteger(value->get<double>());
  return std::nullopt;
}

std::optional<json> AgentArguments::object(std::string_view key) const {
  const auto value = raw.find(key);
  if (value == raw.end() || !value->is_object()) return std::nullopt;
  return *value;
}

std::string AgentArguments::requiredString(std::string_view key) const {
  auto value = string(key);
  if (!value || value->empty()) throw AgentError::badArgument(key, "is required.");
  return std::move(*value);
}

double AgentArguments::requiredNumber(std::string_view key) const {
  const auto value = number(key);
  if (!value) throw AgentError::badArgument(key, "is required and must be a number.");
  return *value;
}

std::optional<RGBAColor> AgentArguments::color(std::string_view key) const {
  const auto text = string(key);
  if (!text) return std::nullopt;
  auto parsed = RGBAColor::parseHex(*text);
  if (!parsed) throw AgentError::badArgument(key, "must be a hex color like #1C1C1E.");
  return parsed;
}

std::string standardizedPath(std::string_view path, bool expandTilde) {
  std::string full(path);
  if (expandTilde && !full.empty() && full[0] == '~' && (full.size() == 1 || full[1] == '/')) {
    const auto home = ProcessInfo::environmentValue("HOME");
    if (home && !home->empty()) full = *home + full.substr(1);
  }
  if (full.empty() || full[0] != '/') full = currentFolder() + "/" + full;

  std::vector<std::string_view> components;
  std::string_view rest(full);
  while (!rest.empty()) {
    const std::size_t slash = rest.find('/');
    const std::string_view component = rest.substr(0, slash);
    rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
    if (component.empty() || component == ".") continue;
    if (component == "..") {
      if (!components.empty()) components.pop_back();
      continue;
    }
    components.push_back(component);
  }
  if (components.empty()) return "/";
  std::string result;
  for (std::string_view component : components) {
    result += '/';
    result += component;
  }
  return result;
}

bool isInside(std::string_view root, std::string_view path) {
  std::string prefix = standardizedPath(root, false);
  if (path == prefix) return true;
  if (prefix.back() != '/') prefix += '/';
  // By characters: a "/" that carries a combining mark is not a separator.
  return path.size() >= prefix.size() && path.substr(0, prefix.size()) == prefix &&
         AgentText::startsCharacterAfterASCII(path, prefix.size());
}

bool isAllowedPath(std::string_view path, std::string_view root, std::string_view secondRoot) {
  const std::string standardized = standardizedPath(path, true);
  const std::string roots[] = {std::string(root), std::string(secondRoot), "/private" + std::string(secondRoot), "/tmp",
                               "/private/tmp"};
  for (const std::string& candidate : roots) {
    if (isInside(candidate, standardized)) return true;
  }
  return false;
}

}  // namespace RecorderCore
