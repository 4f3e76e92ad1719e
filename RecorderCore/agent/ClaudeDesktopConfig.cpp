#include "RecorderCore/agent/ClaudeDesktopConfig.h"

#include <nlohmann/json.hpp>
#include <utf8proc.h>

#include "RecorderCore/agent/AgentText.h"
#include "RecorderCore/platform/UnicodeText.h"
#include "RecorderCore/platform/JSONText.h"

namespace RecorderCore::ClaudeDesktopConfig {
namespace {

using nlohmann::json;

// True when the text holds nothing but white space and line breaks (the
// Unicode White_Space characters). The text must be valid UTF-8.
bool isBlank(std::string_view text) {
  const auto* bytes = reinterpret_cast<const utf8proc_uint8_t*>(text.data());
  std::size_t at = 0;
  while (at < text.size()) {
    utf8proc_int32_t codePoint = 0;
    const utf8proc_ssize_t length =
        utf8proc_iterate(bytes + at, static_cast<utf8proc_ssize_t>(text.size() - at), &codePoint);
    if (length <= 0) return false;
    at += static_cast<std::size_t>(length);
    if ((codePoint >= 0x09 && codePoint <= 0x0D) || codePoint == 0x85) continue;
    const utf8proc_category_t category = utf8proc_category(codePoint);
    if (category == UTF8PROC_CATEGORY_ZS || category == UTF8PROC_CATEGORY_ZL || category == UTF8PROC_CATEGORY_ZP) {
      continue;
    }
    return false;
  }
  return true;
}

// Runs the JSON parser over the bytes without building a value, to get its
// own description of what is wrong.
class ErrorCatcher : public nlohmann::json_sax<json> {
 public:
  bool null() override { return true; }
  bool boolean(bool) override { return true; }
  bool number_integer(number_integer_t) override { return true; }
  bool number_unsigned(number_unsigned_t) override { return true; }
  bool number_float(number_float_t, const string_t&) override { return true; }
  bool string(string_t&) override { return true; }
  bool binary(binary_t&) override { return true; }
  bool start_object(std::size_t) override { return true; }
  bool key(string_t&) override { return true; }
  bool end_object() override { return true; }
  bool start_array(std::size_t) override { return true; }
  bool end_array() override { return true; }
  bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception& error) override {
    message = error.what();
    return false;
  }

  std::string message;
};

std::string parserMessage(std::string_view bytes) {
  ErrorCatcher catcher;
  json::sax_parse(bytes.begin(), bytes.end(), &catcher);
  if (!catcher.message.empty()) return catcher.message;
  // Well-formed, but nested deeper than the reader accepts.
  return "The JSON text is nested deeper than " + std::to_string(JSONText::kMaxDepth) + " levels.";
}

// The root object of the file, or an empty one for a file that holds nothing.
json readRoot(const std::optional<std::string>& existing) {
  if (!existing || existing->empty()) return json::object();
  if (!UnicodeText::isValidUTF8(*existing) || isBlank(*existing)) return json::object();
  auto root = JSONText::parse(*existing);
  if (!root) throw ParseError(parserMessage(*existing));
  if (!root->is_object()) throw MergeError::notAnObject;
  return std::move(*root);
}

bool endsInMcp(const std::string& command) {
  constexpr std::string_view suffix = "-mcp";
  if (command.size() < suffix.size() || command.compare(command.size() - suffix.size(), suffix.size(), suffix) != 0) {
    return false;
  }
  // By characters: a "-" joined to the character before it is not a "-".
  return AgentText::standsAlone(command, command.size() - suffix.size());
}

}  // namespace

const MergeError MergeError::notAnObject{MergeError::Case::notAnObject};

const char* MergeError::what() const noexcept {
  switch (value) {
    case Case::notAnObject:
      return "The configuration file does not hold a JSON object.";
  }
  return "The configuration file cannot be merged.";
}

std::string merge(const std::optional<std::string>& existing, std::string_view name, std::string_view command,
                  const std::vector<std::string>& removing) {
  json root = readRoot(existing);

  json servers = json::object();
  if (const auto found = root.find("mcpServers"); found != root.end() && found->is_object()) servers = *found;

  for (const std::string& other : removing) {
    if (other == name) continue;
    const auto entry = servers.find(other);
    if (entry == servers.end() || !entry->is_object()) continue;
    const auto otherCommand = entry->find("command");
    if (otherCommand != entry->end() && otherCommand->is_string() && endsInMcp(otherCommand->get<std::string>())) {
      servers.erase(entry);
    }
  }

  servers[std::string(name)] = json{{"command", std::string(command)}, {"args", json::array()}};
  root["mcpServers"] = std::move(servers);

  auto text = JSONText::pretty(root);
  if (!text) throw WriteError("The configuration cannot be written as JSON text.");
  return std::move(*text);
}

bool isInstalled(const std::optional<std::string>& existing, std::string_view name, std::string_view command) {
  if (!existing) return false;
  const auto root = JSONText::parseObject(*existing);
  if (!root) return false;
  const auto servers = root->find("mcpServers");
  if (servers == root->end() || !servers->is_object()) return false;
  const auto entry = servers->find(name);
  if (entry == servers->end() || !entry->is_object()) return false;
  const auto installed = entry->find("command");
  return installed != entry->end() && installed->is_string() && installed->get_ref<const std::string&>() == command;
}

}  // namespace RecorderCore::ClaudeDesktopConfig
