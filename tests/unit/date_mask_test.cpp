#include "settings/date_mask.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

const DateValue may5th = dateValueFromParts(2012, 5, 5, 14, 3, 9);

}  // namespace

TEST(dateMask, rendersTokensAndCopiesEverythingElse) {
  struct Case {
    const char* mask;
    const char* expected;
  } cases[] = {
      {"Projets_%yyyy-%mm-%dd", "Projets_2012-05-05"},
      {"%yyyy-%mm-%dd %hh:%ii:%ss", "2012-05-05 14:03:09"},
      {"%YYYY-%MM-%DD", "2012-05-05"},
      {"%Yy%yY", "1212"},
      {"%yyy", "12y"},  // %yyyy wins over %yy, but %yyy is only %yy and y
      {"%y", "%y"},
      {"%P", "%P"},
      {"%x", "%x"},
      {"end%", "end%"},
      {"%", "%"},
      {"%%dd", "%05"},  // the lone % is copied, the next one starts a token
      {"%%%", "%%%"},
      {"\xC9t\xE9 %dd", "\xC9t\xE9 05"},  // bytes above 127 are copied
      {"%hh%ii%ss", "140309"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(formatDateMask(c.mask, may5th), c.expected) << c.mask;
}

TEST(dateMask, rendersDurationsAsMinutesAndSecondsOfTheHour) {
  const char* mask = " - %ii minutes %ss secondes";
  struct Case {
    DateValue seconds;
    const char* expected;
  } cases[] = {
      {0, " - 00 minutes 00 secondes"},    {75, " - 01 minutes 15 secondes"},
      {125, " - 02 minutes 05 secondes"},  {3600, " - 00 minutes 00 secondes"},
      {3665, " - 01 minutes 05 secondes"}, {3725, " - 02 minutes 05 secondes"},
  };
  for (const Case& c : cases) EXPECT_EQ(formatDateMask(mask, c.seconds), c.expected) << c.seconds;
  EXPECT_EQ(formatDateMask("Temps de compréssion %ii minutes %ss secondes", 3665),
            "Temps de compr\xE9ssion 01 minutes 05 secondes");
}

TEST(dateMask, negativeValuesRenderAsZeros) {
  EXPECT_EQ(formatDateMask("%yyyy-%mm-%dd %hh:%ii:%ss", 0), "1970-01-01 00:00:00");
  EXPECT_EQ(formatDateMask("%yyyy-%mm-%dd %hh:%ii:%ss", -1), "0000-00-00 00:00:00");
  EXPECT_EQ(formatDateMask("%yy", std::numeric_limits<DateValue>::min()), "00");
  EXPECT_EQ(datePartsOf(-5), DateParts{});
}

TEST(dateValue, fromPartsAcceptsValidDates) {
  struct Case {
    int year, month, day, hour, minute, second;
    DateValue expected;
  } cases[] = {
      {1970, 1, 1, 0, 0, 0, 0},
      {2038, 1, 19, 3, 14, 7, 2147483647},
      {2012, 5, 5, 0, 0, 0, 1336176000},
      {2012, 2, 29, 0, 0, 0, 1330473600},
      {2000, 2, 29, 0, 0, 0, 951782400},
      {2012, 5, 5, 23, 59, 59, 1336262399},
      {2026, 12, 31, 12, 0, 0, 1798718400},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(dateValueFromParts(c.year, c.month, c.day, c.hour, c.minute, c.second), c.expected)
        << c.year << "-" << c.month << "-" << c.day;
  }
}

TEST(dateValue, fromPartsRejectsImpossibleDates) {
  struct Case {
    int year, month, day, hour, minute, second;
  } cases[] = {
      {2011, 2, 29, 0, 0, 0}, {2100, 2, 29, 0, 0, 0},  {2012, 2, 30, 0, 0, 0},
      {2012, 2, 31, 0, 0, 0}, {2012, 4, 31, 0, 0, 0},  {2012, 6, 31, 0, 0, 0},
      {2012, 9, 31, 0, 0, 0}, {2012, 11, 31, 0, 0, 0}, {2012, 5, 5, 24, 0, 0},
      {2012, 5, 5, 0, 60, 0}, {2012, 5, 5, 0, 0, 60},  {2012, 0, 5, 0, 0, 0},
      {2012, 13, 5, 0, 0, 0}, {2012, 5, 0, 0, 0, 0},   {2012, 5, 32, 0, 0, 0},
      {0, 5, 5, 0, 0, 0},     {-1, 5, 5, 0, 0, 0},     {2012, 5, 5, -1, 0, 0},
      {2012, 5, 5, 0, -1, 0}, {2012, 5, 5, 0, 0, -1},  {2012, -1, 5, 0, 0, 0},
      {0, 0, 0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(dateValueFromParts(c.year, c.month, c.day, c.hour, c.minute, c.second), noDate)
        << c.year << "-" << c.month << "-" << c.day << " " << c.hour << ":" << c.minute << ":"
        << c.second;
  }
}

TEST(dateValue, datesOutsideTheRangeAreClampedNotWrapped) {
  constexpr int maxInt = std::numeric_limits<std::int32_t>::max();
  EXPECT_EQ(dateValueFromParts(2038, 1, 19, 3, 14, 8), std::numeric_limits<DateValue>::max());
  EXPECT_EQ(dateValueFromParts(2100, 3, 1, 0, 0, 0), std::numeric_limits<DateValue>::max());
  EXPECT_EQ(dateValueFromParts(maxInt, 12, 31, 23, 59, 59), std::numeric_limits<DateValue>::max());
  EXPECT_EQ(dateValueFromParts(1, 1, 1, 0, 0, 0), std::numeric_limits<DateValue>::min());
  EXPECT_LT(dateValueFromParts(1969, 12, 31, 23, 59, 58), 0);
}

TEST(dateValue, breakdownInvertsTheConversion) {
  // Every day boundary between 1970 and 2038, at two times of day.
  for (DateValue day = 0; day < 24855; ++day) {
    for (DateValue time : {0, 86399}) {
      DateValue value = day * 86400 + time;
      DateParts parts = datePartsOf(value);
      ASSERT_EQ(dateValueFromParts(parts), value) << value;
    }
  }
  EXPECT_EQ(datePartsOf(2147483647), (DateParts{2038, 1, 19, 3, 14, 7}));
  EXPECT_EQ(datePartsOf(951782400), (DateParts{2000, 2, 29, 0, 0, 0}));
}
