// The one representation of a date and time in the program, shared by the
// naming, the archiver and the progress window.
#pragma once

#include <cstdint>

// Seconds from 1970-01-01 00:00:00 to a reading of the local wall clock taken
// as is (no time zone, no daylight saving; every day has 86400 seconds).
// Negative values carry no date; -1 marks an impossible date. A count of
// seconds may stand in for a DateValue to show a duration.
using DateValue = std::int32_t;

inline constexpr DateValue noDate = -1;

// The calendar parts of a date and time.
struct DateParts {
  std::int32_t year = 0;    // full year, such as 2012
  std::int32_t month = 0;   // 1 to 12
  std::int32_t day = 0;     // 1 to 31
  std::int32_t hour = 0;    // 0 to 23
  std::int32_t minute = 0;  // 0 to 59
  std::int32_t second = 0;  // 0 to 59
  friend bool operator==(const DateParts&, const DateParts&) = default;
};
