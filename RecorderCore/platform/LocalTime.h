// Calendar fields of a moment in the user's time zone.
//
// Export names and other dates shown to people are written in local time but
// never in the user's locale: callers format the fields below themselves, with
// fixed patterns, so the digits and calendar do not change with the settings.
// The zone is the process's current one (TZ when set), read again on every
// call, so a change of zone while the process runs is followed.
#pragma once

#include <chrono>
#include <cstdint>

namespace RecorderCore::LocalTime {

// One moment as the wall clock of a time zone shows it (proleptic Gregorian
// calendar; year 0 is 1 BC).
struct Fields {
  std::int64_t year = 1970;
  int month = 1;   // 1…12
  int day = 1;     // 1…31
  int hour = 0;    // 0…23
  int minute = 0;  // 0…59
  int second = 0;  // 0…60

  bool operator==(const Fields&) const = default;
};

// Breaks `moment` into wall-clock fields of the current time zone. A moment so
// far from now that the system calendar cannot place it (billions of years) is
// given in UTC instead; nothing fails.
Fields fields(std::chrono::sys_seconds moment);

// Breaks `moment` into UTC wall-clock fields, for any representable moment.
Fields utcFields(std::chrono::sys_seconds moment);

}  // namespace RecorderCore::LocalTime
