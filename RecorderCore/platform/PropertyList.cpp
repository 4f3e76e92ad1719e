#include "RecorderCore/platform/PropertyList.h"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <limits>
#include <memory>

#include <plist/plist.h>

#include "RecorderCore/platform/FileIO.h"
#include "RecorderCore/platform/JSONText.h"

namespace RecorderCore::PropertyList {
namespace {

using nlohmann::json;

// Property-list dates count seconds from 2001-01-01T00:00:00Z.
constexpr std::int64_t kReferenceDateUnixSeconds = 978307200;

struct PlistDeleter {
  void operator()(void* node) const { plist_free(static_cast<plist_t>(node)); }
};
using PlistHandle = std::unique_ptr<void, PlistDeleter>;

std::string base64(const char* bytes, std::uint64_t length) {
  static constexpr std::string_view alphabet =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  out.reserve(static_cast<std::size_t>((length + 2) / 3 * 4));
  std::uint64_t i = 0;
  const auto byte = [&](std::uint64_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at]));
  };
  for (; i + 3 <= length; i += 3) {
    const std::uint32_t group = byte(i) << 16 | byte(i + 1) << 8 | byte(i + 2);
    out += alphabet[group >> 18 & 63];
    out += alphabet[group >> 12 & 63];
    out += alphabet[group >> 6 & 63];
    out += alphabet[group & 63];
  }
  if (length - i == 1) {
    const std::uint32_t group = byte(i) << 16;
    out += alphabet[group >> 18 & 63];
    out += alphabet[group >> 12 & 63];
    out += "==";
  } else if (length - i == 2) {
    const std::uint32_t group = byte(i) << 16 | byte(i + 1) << 8;
    out += alphabet[group >> 18 & 63];
    out += alphabet[group >> 12 & 63];
    out += alphabet[group >> 6 & 63];
    out += '=';
  }
  return out;
}

std::string isoDate(std::int64_t referenceSeconds) {
  const std::time_t unixSeconds =
      static_cast<std::time_t>(referenceSeconds + kReferenceDateUnixSeconds);
  std::tm parts{};
  if (::gmtime_r(&unixSeconds, &parts) == nullptr) return {};
  std::array<char, 32> text{};
  const std::size_t length =
      std::strftime(text.data(), text.size(), "%Y-%m-%dT%H:%M:%SZ", &parts);
  return std::string(text.data(), length);
}

std::optional<json> convert(plist_t node, std::size_t depth) {
  if (depth > JSONText::kMaxDepth) return std::nullopt;
  switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: {
      std::uint8_t value = 0;
      plist_get_bool_val(node, &value);
      return json(value != 0);
    }
    case PLIST_UINT: {
      // Integers are kept in 64 bits; negative ones come back in two's
      // complement.
      std::uint64_t value = 0;
      plist_get_uint_val(node, &value);
      return json(static_cast<std::int64_t>(value));
    }
    case PLIST_REAL: {
      double value = 0;
      plist_get_real_val(node, &value);
      return json(value);
    }
    case PLIST_STRING:
    case PLIST_KEY: {
      std::uint64_t length = 0;
      const char* text = plist_get_string_ptr(node, &length);
      if (text == nullptr) return json("");
      return json(std::string(text, static_cast<std::size_t>(length)));
    }
    case PLIST_DATE: {
      std::int32_t seconds = 0;
      std::int32_t microseconds = 0;
      plist_get_date_val(node, &seconds, &microseconds);
      return json(isoDate(seconds));
    }
    case PLIST_DATA: {
      std::uint64_t length = 0;
      const char* bytes = plist_get_data_ptr(node, &length);
      return json(bytes == nullptr ? std::string() : base64(bytes, length));
    }
    case PLIST_UID: {
      std::uint64_t value = 0;
      plist_get_uid_val(node, &value);
      return json(value);
    }
    case PLIST_ARRAY: {
      json array = json::array();
      const std::uint32_t size = plist_array_get_size(node);
      for (std::uint32_t i = 0; i < size; ++i) {
        auto element = convert(plist_array_get_item(node, i), depth + 1);
        if (!element) return std::nullopt;
        array.push_back(std::move(*element));
      }
      return array;
    }
    case PLIST_DICT: {
      json object = json::object();
      plist_dict_iter iterator = nullptr;
      plist_dict_new_iter(node, &iterator);
      if (iterator == nullptr) return object;
      std::optional<json> result = object;
      while (true) {
        char* key = nullptr;
        plist_t value = nullptr;
        plist_dict_next_item(node, iterator, &key, &value);
        if (key == nullptr || value == nullptr) {
          std::free(key);
          break;
        }
        auto member = convert(value, depth + 1);
        if (member) (*result)[std::string(key)] = std::move(*member);
        std::free(key);
        if (!member) {
          result.reset();
          break;
        }
      }
      std::free(iterator);
      return result;
    }
    case PLIST_NONE:
      return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace

std::optional<json> parse(std::string_view bytes) {
  if (bytes.empty() || bytes.size() > std::numeric_limits<std::uint32_t>::max()) {
    return std::nullopt;
  }
  plist_t root = nullptr;
  plist_from_memory(bytes.data(), static_cast<std::uint32_t>(bytes.size()), &root);
  if (root == nullptr) return std::nullopt;
  PlistHandle owner(root);
  return convert(root, 0);
}

std::optional<json> readFile(const std::string& path) {
  const auto bytes = FileIO::readFile(path);
  if (!bytes) return std::nullopt;
  return parse(*bytes);
}

json readDictionary(const std::string& path) {
  auto value = readFile(path);
  if (value && value->is_object()) return std::move(*value);
  return json::object();
}

}  // namespace RecorderCore::PropertyList
