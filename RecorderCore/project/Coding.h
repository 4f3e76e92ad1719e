// Strict JSON coding of the stored documents (manifest, event log, looks).
//
// The rules every record follows:
//  - keys are the field names; a required key that is missing, null or of the
//    wrong type fails the whole decode with a DecodingError naming the path;
//  - an absent optional stays absent, and is left out when encoding;
//  - enumerations are their raw strings and an unknown string fails;
//  - UUIDs are upper-case canonical text, dates ISO 8601 with whole seconds.
//
// Every record T provides, in namespace RecorderCore, the ADL pair
//   void to_json(nlohmann::json&, const T&);
//   void from_json(const nlohmann::json&, T&);   // strict, throws DecodingError
// written with the helpers below, so `json j = value;` and
// `Coding::decode<T>(j)` work for any record, nested or in arrays.
//
// A note on numbers: the platform's writer prints a Double with an integral
// value without its fraction (1.0 as 1), so a Double field accepts any JSON
// number. An Int field accepts an integer, or a double with an integral value.
#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "RecorderCore/project/Uuid.h"

namespace RecorderCore {

// A point in time with whole seconds, as stored documents keep dates.
using Date = std::chrono::sys_seconds;

// The current time, cut to whole seconds.
Date currentDate();

// ISO 8601 text of a date in UTC, "2024-05-01T12:00:00Z".
std::string iso8601(Date date);
// Parses ISO 8601 text with whole seconds and a zone designator ("Z", "+hh:mm"
// or "+hhmm"); nothing for any other text, fractions of a second included.
std::optional<Date> parseISO8601(std::string_view text);

// A stored document did not have the shape its record requires. `path` names
// where, for example "clips[2].speed"; what() gives message and path.
class DecodingError : public std::runtime_error {
 public:
  DecodingError(std::string path, std::string message);
  const std::string& path() const { return path_; }
  const std::string& message() const { return message_; }
  // The same error, seen from one level up: `outer` is put before the path.
  DecodingError nested(std::string_view outer) const;

 private:
  std::string path_;
  std::string message_;
};

namespace Coding {

using nlohmann::json;

[[noreturn]] void fail(std::string path, std::string message);

// The name of a JSON value's type, for error messages.
std::string typeName(const json& value);

template <class T>
T decode(const json& value);

namespace detail {

template <class T> struct IsVector : std::false_type {};
template <class T> struct IsVector<std::vector<T>> : std::true_type {};
template <class T> struct IsOptional : std::false_type {};
template <class T> struct IsOptional<std::optional<T>> : std::true_type {};

double decodeDouble(const json& value);
std::int64_t decodeInteger(const json& value);
bool decodeBool(const json& value);
std::string decodeString(const json& value);
Uuid decodeUuid(const json& value);
Date decodeDate(const json& value);
void requireObject(const json& value, std::string_view what);

}  // namespace detail

// Decodes one value of type T from `value`, strictly. Records are decoded by
// their from_json; failures throw DecodingError with a path relative to value.
template <class T>
T decode(const json& value) {
  if constexpr (std::is_same_v<T, double>) {
    return detail::decodeDouble(value);
  } else if constexpr (std::is_same_v<T, float>) {
    return static_cast<float>(detail::decodeDouble(value));
  } else if constexpr (std::is_same_v<T, bool>) {
    return detail::decodeBool(value);
  } else if constexpr (std::is_integral_v<T>) {
    const std::int64_t wide = detail::decodeInteger(value);
    if (!std::in_range<T>(wide)) fail("", "Number " + value.dump() + " does not fit in the field's integer type.");
    return static_cast<T>(wide);
  } else if constexpr (std::is_same_v<T, std::string>) {
    return detail::decodeString(value);
  } else if constexpr (std::is_same_v<T, Uuid>) {
    return detail::decodeUuid(value);
  } else if constexpr (std::is_same_v<T, Date>) {
    return detail::decodeDate(value);
  } else if constexpr (std::is_same_v<T, json>) {
    return value;
  } else if constexpr (detail::IsVector<T>::value) {
    if (!value.is_array()) fail("", "Expected an array but found " + typeName(value) + ".");
    T result;
    result.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
      try {
        result.push_back(decode<typename T::value_type>(value[i]));
      } catch (const DecodingError& error) {
        throw error.nested("[" + std::to_string(i) + "]");
      }
    }
    return result;
  } else {
    T result{};
    from_json(value, result);  // the record's own strict decoder
    return result;
  }
}

// Reads the required member `key` of `object`: missing, null or the wrong type
// throws DecodingError naming the key.
template <class T>
T required(const json& object, std::string_view key) {
  detail::requireObject(object, key);
  auto it = object.find(key);
  if (it == object.end()) fail(std::string(key), "No value associated with key \"" + std::string(key) + "\".");
  if (it->is_null()) fail(std::string(key), "Expected a value for key \"" + std::string(key) + "\" but found null.");
  try {
    return decode<T>(*it);
  } catch (const DecodingError& error) {
    throw error.nested(key);
  }
}

// Reads the optional member `key`: absent or null gives nothing; present with
// the wrong type still fails.
template <class T>
std::optional<T> optional(const json& object, std::string_view key) {
  detail::requireObject(object, key);
  auto it = object.find(key);
  if (it == object.end() || it->is_null()) return std::nullopt;
  try {
    return decode<T>(*it);
  } catch (const DecodingError& error) {
    throw error.nested(key);
  }
}

// Encodes one value: UUIDs and dates as text, records through their to_json.
template <class T>
json encode(const T& value) {
  if constexpr (std::is_same_v<T, Uuid>) {
    return value.uuidString();
  } else if constexpr (std::is_same_v<T, Date>) {
    return iso8601(value);
  } else if constexpr (detail::IsVector<T>::value) {
    json array = json::array();
    for (const auto& element : value) array.push_back(encode(element));
    return array;
  } else {
    return json(value);
  }
}

// Writes a member; an optional without a value is left out.
template <class T>
void put(json& object, std::string_view key, const T& value) {
  if constexpr (detail::IsOptional<T>::value) {
    if (value) object[std::string(key)] = encode(*value);
  } else {
    object[std::string(key)] = encode(value);
  }
}

// Enumerations without payload: the raw string, and back. `all` lists every
// case; `rawValue(E)` must be findable by ADL.
template <class E, class List>
E decodeEnum(const json& value, const List& all, std::string_view typeName) {
  if (!value.is_string()) fail("", "Expected a " + std::string(typeName) + " string but found " + Coding::typeName(value) + ".");
  const auto& text = value.get_ref<const std::string&>();
  for (E candidate : all) {
    if (rawValue(candidate) == text) return candidate;
  }
  fail("", "Cannot initialize " + std::string(typeName) + " from invalid String value " + text + ".");
}

// Enumerations with payload are objects with exactly one key, the case name.
// Returns that key and its value; any other shape fails with the message
// "Invalid number of keys found, expected one.".
std::pair<std::string, const json*> singleKey(const json& value);

}  // namespace Coding
}  // namespace RecorderCore
