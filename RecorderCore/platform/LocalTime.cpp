#include "RecorderCore/platform/LocalTime.h"

#include <ctime>

namespace RecorderCore::LocalTime {
namespace {

// Days since 1970-01-01 to a civil date (H. Hinnant's algorithm), in 64-bit
// arithmetic so every sys_seconds value has an answer.
void civilFromDays(std::int64_t days, std::int64_t& year, int& month, int& day) {
  days += 719468;
  const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const std::int64_t dayOfEra = days - era * 146097;                                           // [0, 146096]
  const std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;  // [0, 399]
  const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);  // [0, 365]
  const std::int64_t shiftedMonth = (5 * dayOfYear + 2) / 153;                                  // [0, 11]
  day = static_cast<int>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
  month = static_cast<int>(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
  year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
}

}  // namespace

Fields utcFields(std::chrono::sys_seconds moment) {
  const std::int64_t seconds = moment.time_since_epoch().count();
  std::int64_t days = seconds / 86400;
  std::int64_t secondOfDay = seconds % 86400;
  if (secondOfDay < 0) {
    secondOfDay += 86400;
    --days;
  }
  Fields result;
  civilFromDays(days, result.year, result.month, result.day);
  result.hour = static_cast<int>(secondOfDay / 3600);
  result.minute = static_cast<int>(secondOfDay / 60 % 60);
  result.second = static_cast<int>(secondOfDay % 60);
  return result;
}

Fields fields(std::chrono::sys_seconds moment) {
  static_assert(sizeof(std::time_t) >= sizeof(std::int64_t), "every sys_seconds value must fit a time_t");
  const std::int64_t seconds = moment.time_since_epoch().count();
  // localtime_r alone may keep the zone it first saw; tzset reads TZ again.
  tzset();
  const auto time = static_cast<std::time_t>(seconds);
  std::tm parts{};
  if (localtime_r(&time, &parts) == nullptr) return utcFields(moment);  // year beyond int
  Fields result;
  result.year = static_cast<std::int64_t>(parts.tm_year) + 1900;
  result.month = parts.tm_mon + 1;
  result.day = parts.tm_mday;
  result.hour = parts.tm_hour;
  result.minute = parts.tm_min;
  result.second = parts.tm_sec;
  return result;
}

}  // namespace RecorderCore::LocalTime
