#include "RecorderCore/agent/HTTPRequestHead.h"

#include <limits>
#include <vector>

#include "RecorderCore/agent/AgentText.h"
#include "RecorderCore/platform/UnicodeText.h"

namespace RecorderCore {
namespace {

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Replaces every "%XX" by the byte it stands for. Nothing when a "%" is not
// followed by two hex digits or the decoded bytes are not UTF-8.
std::optional<std::string> percentDecoded(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t at = 0; at < text.size(); ++at) {
    if (text[at] != '%') {
      out += text[at];
      continue;
    }
    if (at + 2 >= text.size()) return std::nullopt;
    const int high = hexValue(text[at + 1]);
    const int low = hexValue(text[at + 2]);
    if (high < 0 || low < 0) return std::nullopt;
    out += static_cast<char>(high * 16 + low);
    at += 2;
  }
  if (!UnicodeText::isValidUTF8(out)) return std::nullopt;
  return out;
}

// A decimal integer with an optional sign and nothing else; nothing when it
// does not fit in 64 bits.
std::optional<std::int64_t> decimalInteger(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  // Accumulate towards the negative side, which has room for the minimum.
  std::int64_t value = 0;
  constexpr std::int64_t lowest = std::numeric_limits<std::int64_t>::min();
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    const int digit = c - '0';
    if (value < (lowest + digit) / 10) return std::nullopt;
    value = value * 10 - digit;
  }
  if (!negative) {
    if (value == lowest) return std::nullopt;
    value = -value;
  }
  return value;
}

void parseQuery(std::string_view text, std::map<std::string, std::string>& query) {
  for (std::string_view piece : AgentText::splitDroppingEmpty(text, '&')) {
    const auto parts = AgentText::splitOnce(piece, '=');
    if (parts.empty()) continue;  // only "=" signs
    std::string name(parts[0]);
    if (parts.size() == 1) {
      query[std::move(name)] = "";
    } else {
      query[std::move(name)] = percentDecoded(parts[1]).value_or(std::string(parts[1]));
    }
  }
}

}  // namespace

std::optional<HTTPRequestHead> HTTPRequestHead::parse(std::string_view bytes) {
  const std::size_t end = bytes.find("\r\n\r\n");
  if (end == std::string_view::npos) return std::nullopt;
  const std::string_view text = bytes.substr(0, end);
  if (!UnicodeText::isValidUTF8(text)) return std::nullopt;

  HTTPRequestHead head;
  head.bodyOffset = static_cast<std::int64_t>(end + 4);

  std::size_t lineEnd = text.find("\r\n");
  const std::string_view requestLine = text.substr(0, lineEnd);
  const auto pieces = AgentText::splitDroppingEmpty(requestLine, ' ');
  if (pieces.size() < 2) return std::nullopt;
  head.method = UnicodeText::uppercased(pieces[0]);
  const std::string_view target = pieces[1];

  while (lineEnd != std::string_view::npos) {
    const std::size_t start = lineEnd + 2;
    lineEnd = text.find("\r\n", start);
    const std::string_view line =
        text.substr(start, lineEnd == std::string_view::npos ? std::string_view::npos : lineEnd - start);
    const std::size_t colon = AgentText::findCharacter(line, ':');
    if (colon == std::string_view::npos) continue;
    head.headers[UnicodeText::lowercased(line.substr(0, colon))] =
        std::string(AgentText::trimSpacesAndTabs(line.substr(colon + 1)));
  }

  const auto targetParts = AgentText::splitOnce(target, '?');
  head.path = targetParts.empty() ? "/" : std::string(targetParts[0]);
  if (targetParts.size() == 2) parseQuery(targetParts[1], head.query);

  if (const auto length = head.headers.find("content-length"); length != head.headers.end()) {
    head.contentLength = decimalInteger(length->second).value_or(0);
  }
  return head;
}

std::optional<std::string> HTTPRequestHead::accessToken() const {
  if (const auto key = query.find("api_key"); key != query.end() && !key->second.empty()) return key->second;
  if (const auto key = headers.find("x-api-key"); key != headers.end() && !key->second.empty()) return key->second;
  if (const auto authorization = headers.find("authorization"); authorization != headers.end()) {
    const std::string& value = authorization->second;
    // The scheme is compared by characters: the space must not carry a
    // combining mark, or "Bearer" is not followed by a space at all.
    constexpr std::string_view scheme = "bearer ";
    if (value.size() >= scheme.size() && UnicodeText::lowercased(value.substr(0, scheme.size())) == scheme &&
        AgentText::standsAlone(value, scheme.size() - 1)) {
      return value.substr(scheme.size());
    }
  }
  return std::nullopt;
}

}  // namespace RecorderCore
