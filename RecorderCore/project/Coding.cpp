#include "RecorderCore/project/Coding.h"

#include <cmath>
#include <cstdio>
#include <ctime>
#include <limits>

namespace RecorderCore {

Date currentDate() {
  return std::chrono::floor<std::chrono::seconds>(std::chrono::system_clock::now());
}

std::string iso8601(Date date) {
  const std::chrono::year_month_day ymd{std::chrono::floor<std::chrono::days>(date)};
  const std::chrono::hh_mm_ss hms{date - std::chrono::floor<std::chrono::days>(date)};
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02dZ", static_cast<int>(ymd.year()),
                static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()),
                static_cast<int>(hms.hours().count()), static_cast<int>(hms.minutes().count()),
                static_cast<int>(hms.seconds().count()));
  return text;
}

namespace {

bool readDigits(std::string_view text, std::size_t at, std::size_t count, int& out) {
  if (at + count > text.size()) return false;
  int value = 0;
  for (std::size_t i = at; i < at + count; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    value = value * 10 + (text[i] - '0');
  }
  out = value;
  return true;
}

}  // namespace

std::optional<Date> parseISO8601(std::string_view text) {
  // yyyy-MM-ddTHH:mm:ss then Z, +hh:mm or +hhmm
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  if (text.size() < 20) return std::nullopt;
  if (!readDigits(text, 0, 4, year) || text[4] != '-' || !readDigits(text, 5, 2, month) || text[7] != '-' ||
      !readDigits(text, 8, 2, day) || text[10] != 'T' || !readDigits(text, 11, 2, hour) || text[13] != ':' ||
      !readDigits(text, 14, 2, minute) || text[16] != ':' || !readDigits(text, 17, 2, second)) {
    return std::nullopt;
  }
  int offsetMinutes = 0;
  std::string_view zone = text.substr(19);
  if (zone == "Z") {
    offsetMinutes = 0;
  } else if ((zone.size() == 6 || zone.size() == 5) && (zone[0] == '+' || zone[0] == '-')) {
    int hours = 0, minutes = 0;
    if (!readDigits(zone, 1, 2, hours)) return std::nullopt;
    std::size_t at = 3;
    if (zone.size() == 6) {
      if (zone[3] != ':') return std::nullopt;
      at = 4;
    }
    if (!readDigits(zone, at, 2, minutes) || hours > 23 || minutes > 59) return std::nullopt;
    offsetMinutes = (zone[0] == '-' ? -1 : 1) * (hours * 60 + minutes);
  } else {
    return std::nullopt;
  }
  if (month < 1 || month > 12 || hour > 23 || minute > 59 || second > 59) return std::nullopt;
  const std::chrono::year_month_day ymd{std::chrono::year{year}, std::chrono::month{static_cast<unsigned>(month)},
                                        std::chrono::day{static_cast<unsigned>(day)}};
  if (!ymd.ok()) return std::nullopt;
  Date date = std::chrono::sys_days{ymd} + std::chrono::hours{hour} + std::chrono::minutes{minute} +
              std::chrono::seconds{second};
  return date - std::chrono::minutes{offsetMinutes};
}

DecodingError::DecodingError(std::string path, std::string message)
    : std::runtime_error(message + (path.empty() ? std::string() : " (at " + path + ")")),
      path_(std::move(path)),
      message_(std::move(message)) {}

DecodingError DecodingError::nested(std::string_view outer) const {
  std::string joined(outer);
  if (!path_.empty()) {
    if (path_.front() != '[') joined += '.';
    joined += path_;
  }
  return DecodingError(std::move(joined), message_);
}

namespace Coding {

void fail(std::string path, std::string message) { throw DecodingError(std::move(path), std::move(message)); }

std::string typeName(const json& value) {
  switch (value.type()) {
    case json::value_t::null: return "null";
    case json::value_t::boolean: return "a boolean";
    case json::value_t::number_integer:
    case json::value_t::number_unsigned:
    case json::value_t::number_float: return "a number";
    case json::value_t::string: return "a string";
    case json::value_t::array: return "an array";
    case json::value_t::object: return "an object";
    case json::value_t::binary: return "binary data";
    case json::value_t::discarded: return "nothing";
  }
  return "something else";
}

namespace detail {

double decodeDouble(const json& value) {
  if (!value.is_number()) fail("", "Expected a Double but found " + typeName(value) + ".");
  return value.get<double>();
}

std::int64_t decodeInteger(const json& value) {
  if (value.is_number_integer()) return value.get<std::int64_t>();
  if (value.is_number_unsigned()) {
    auto u = value.get<std::uint64_t>();
    if (u > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
      fail("", "Number " + value.dump() + " does not fit in Int.");
    }
    return static_cast<std::int64_t>(u);
  }
  if (value.is_number_float()) {
    double d = value.get<double>();
    if (std::isfinite(d) && d == std::trunc(d) && std::fabs(d) < 9.2e18) return static_cast<std::int64_t>(d);
    fail("", "Number " + value.dump() + " is not an Int.");
  }
  fail("", "Expected an Int but found " + typeName(value) + ".");
}

bool decodeBool(const json& value) {
  if (!value.is_boolean()) fail("", "Expected a Bool but found " + typeName(value) + ".");
  return value.get<bool>();
}

std::string decodeString(const json& value) {
  if (!value.is_string()) fail("", "Expected a String but found " + typeName(value) + ".");
  return value.get<std::string>();
}

Uuid decodeUuid(const json& value) {
  if (!value.is_string()) fail("", "Expected a UUID string but found " + typeName(value) + ".");
  auto id = Uuid::parse(value.get_ref<const std::string&>());
  if (!id) fail("", "Attempted to decode UUID from invalid UUID string.");
  return *id;
}

Date decodeDate(const json& value) {
  if (!value.is_string()) fail("", "Expected a date string but found " + typeName(value) + ".");
  auto date = parseISO8601(value.get_ref<const std::string&>());
  if (!date) fail("", "Expected date string to be ISO8601-formatted.");
  return *date;
}

void requireObject(const json& value, std::string_view what) {
  if (!value.is_object()) {
    fail("", "Expected an object holding \"" + std::string(what) + "\" but found " + typeName(value) + ".");
  }
}

}  // namespace detail

std::pair<std::string, const json*> singleKey(const json& value) {
  if (!value.is_object()) fail("", "Expected an object but found " + typeName(value) + ".");
  if (value.size() != 1) fail("", "Invalid number of keys found, expected one.");
  auto it = value.begin();
  return {it.key(), &it.value()};
}

}  // namespace Coding
}  // namespace RecorderCore
