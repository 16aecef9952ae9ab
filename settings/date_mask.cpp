#include "settings/date_mask.h"

#include <array>
#include <chrono>
#include <limits>

#include "base/text.h"

namespace {

constexpr std::int64_t secondsPerDay = 86400;
// The Gregorian calendar repeats itself every 400 years.
constexpr std::int64_t yearsPerCycle = 400;
constexpr std::int64_t daysPerCycle = 146097;

bool isLeapYear(std::int64_t year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

// Days from 1970-01-01 to the date. std::chrono's calendar covers the years
// up to 32767; later years are brought into it by whole 400-year cycles.
std::int64_t daysFromCivil(std::int64_t year, unsigned month, unsigned day) {
  std::int64_t cycles = 0;
  if (year > 2400) {
    cycles = (year - 2000) / yearsPerCycle;
    year -= cycles * yearsPerCycle;
  }
  using namespace std::chrono;
  sys_days date{year_month_day{std::chrono::year{static_cast<int>(year)}, std::chrono::month{month},
                               std::chrono::day{day}}};
  return date.time_since_epoch().count() + cycles * daysPerCycle;
}

void appendDigits(std::string& out, std::int32_t value, int width) {
  std::array<char, 4> digits{};
  for (int i = width - 1; i >= 0; --i) {
    digits[static_cast<std::size_t>(i)] = static_cast<char>('0' + value % 10);
    value /= 10;
  }
  out.append(digits.data(), static_cast<std::size_t>(width));
}

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() &&
         equalsIgnoringAsciiCase(text.substr(0, prefix.size()), prefix);
}

}  // namespace

DateValue dateValueFromParts(std::int32_t year, std::int32_t month, std::int32_t day,
                             std::int32_t hour, std::int32_t minute, std::int32_t second) {
  if (day == 31 && (month == 4 || month == 6 || month == 9 || month == 11)) return noDate;
  if (month == 2 && (day == 30 || day == 31 || (day == 29 && !isLeapYear(year)))) return noDate;
  if (second < 0 || second > 59 || minute < 0 || minute > 59 || hour < 0 || hour > 23 || day < 1 ||
      day > 31 || month < 1 || month > 12 || year <= 0) {
    return noDate;
  }
  std::int64_t seconds =
      daysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) *
          secondsPerDay +
      std::int64_t{hour} * 3600 + std::int64_t{minute} * 60 + second;
  constexpr std::int64_t lowest = std::numeric_limits<DateValue>::min();
  constexpr std::int64_t highest = std::numeric_limits<DateValue>::max();
  if (seconds < lowest) return static_cast<DateValue>(lowest);
  if (seconds > highest) return static_cast<DateValue>(highest);
  return static_cast<DateValue>(seconds);
}

DateValue dateValueFromParts(const DateParts& p) {
  return dateValueFromParts(p.year, p.month, p.day, p.hour, p.minute, p.second);
}

DateParts datePartsOf(DateValue value) {
  DateParts parts;
  if (value < 0) return parts;
  using namespace std::chrono;
  std::int32_t days = value / secondsPerDay;
  std::int32_t rest = value % secondsPerDay;
  year_month_day date{sys_days{std::chrono::days{days}}};
  parts.year = static_cast<int>(date.year());
  parts.month = static_cast<std::int32_t>(static_cast<unsigned>(date.month()));
  parts.day = static_cast<std::int32_t>(static_cast<unsigned>(date.day()));
  parts.hour = rest / 3600;
  parts.minute = rest / 60 % 60;
  parts.second = rest % 60;
  return parts;
}

std::string formatDateMask(std::string_view mask, DateValue value) {
  const DateParts parts = datePartsOf(value);
  struct Token {
    std::string_view letters;  // after the "%"
    std::int32_t value;
    int width;
  };
  const std::array<Token, 7> tokens{{
      {"yyyy", parts.year, 4},
      {"yy", parts.year % 100, 2},
      {"mm", parts.month, 2},
      {"dd", parts.day, 2},
      {"hh", parts.hour, 2},
      {"ii", parts.minute, 2},
      {"ss", parts.second, 2},
  }};

  std::string out;
  out.reserve(mask.size() + 8);
  std::size_t i = 0;
  while (i < mask.size()) {
    if (mask[i] != '%') {
      out += mask[i++];
      continue;
    }
    std::string_view after = mask.substr(i + 1);
    const Token* match = nullptr;
    for (const Token& token : tokens) {
      if (startsWithIgnoringCase(after, token.letters)) {
        match = &token;
        break;
      }
    }
    if (match == nullptr) {
      out += '%';
      ++i;
      continue;
    }
    appendDigits(out, match->value, match->width);
    i += 1 + match->letters.size();
  }
  return out;
}
