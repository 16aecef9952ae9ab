// Dates as the program counts them, and the date-mask language that names
// archives and shows elapsed times. Portable arithmetic: the readings of the
// system clock live in date_clock.h.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/date_value.h"

// The DateValue of a wall-clock reading, or -1 when the parts do not form a
// valid date and time (day 31 of a short month, 29 February outside a leap
// year, a field out of range, year 0 or below). Dates outside 1970 to 2038
// have no DateValue: they are clamped to the int32 range, never wrapped.
DateValue dateValueFromParts(std::int32_t year, std::int32_t month, std::int32_t day,
                             std::int32_t hour, std::int32_t minute, std::int32_t second);
DateValue dateValueFromParts(const DateParts& parts);

// The calendar breakdown of a DateValue; six zeros for a negative value.
// Safe to call from any thread: it keeps no state.
DateParts datePartsOf(DateValue value);

// Renders the date tokens of the mask for the value: %yyyy, %yy, %mm, %dd,
// %hh, %ii (minute) and %ss, tried in that order at each "%", letters A to Z
// in any case. Anything else, a lone "%" included, is copied unchanged.
// Safe to call from any thread.
std::string formatDateMask(std::string_view mask, DateValue value);
