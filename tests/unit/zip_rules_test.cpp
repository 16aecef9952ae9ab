#include "archive/zip_rules.h"

#include <gtest/gtest.h>

TEST(zipRules, dosDateTimeOfLocalTimes) {
  struct Case {
    DateParts parts;
    std::uint32_t expected;
  } cases[] = {
      {{2012, 5, 5, 14, 3, 9}, 0x40A57064},  // odd second stored as the even one below
      {{2012, 5, 5, 14, 3, 8}, 0x40A57064},
      {{1980, 1, 1, 0, 0, 0}, 0x00210000},
      {{1980, 1, 1, 0, 0, 1}, 0x00210000},
      {{2107, 12, 31, 23, 59, 58}, 0xFF9FBF7D},
      {{2107, 12, 31, 23, 59, 59}, 0xFF9FBF7D},
      {{1979, 12, 31, 23, 59, 59}, 0x00210000},  // before the format: its first second
      {{1970, 1, 1, 0, 0, 0}, 0x00210000},
      {{0, 0, 0, 0, 0, 0}, 0x00210000},     // no date at all
      {{2108, 1, 1, 0, 0, 0}, 0xFF9FBF7D},  // after the format: its last second
      {{30000, 6, 1, 0, 0, 0}, 0xFF9FBF7D},
      {{2050, 7, 14, 8, 30, 0},
       ((2050u - 1980) << 25) | (7u << 21) | (14u << 16) | (8u << 11) | (30u << 5)},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(dosDateTimeOf(c.parts), c.expected) << c.parts.year << "-" << c.parts.month;
  }
}

TEST(zipRules, entryNamesAreRelativeWithSlashes) {
  EXPECT_EQ(relativeEntryPath("C:\\Data\\Sub\\c.txt", "C:\\Data\\"), "Sub\\c.txt");
  EXPECT_EQ(relativeEntryPath("c:\\data\\Sub\\c.txt", "C:\\DATA\\"), "Sub\\c.txt");
  EXPECT_EQ(relativeEntryPath("C:\\a.txt", "C:\\"), "a.txt");
  EXPECT_EQ(withForwardSlashes("Projets\\Sub\\\x90t\x82.txt"), "Projets/Sub/\x90t\x82.txt");
  EXPECT_EQ(withForwardSlashes("a/b"), "a/b");
}

TEST(zipRules, zip64OnlyWhereTheSizesCouldReach4GiB) {
  struct Case {
    std::uint64_t size;
    bool zip64;
  } cases[] = {
      {0, false},
      {102401, false},
      {4'000'000'000ull, false},
      {4'289'000'000ull, false},
      {4'291'000'000ull, true},  // deflate could grow it past the limit
      {4'294'967'294ull, true},  // 4 GiB - 2
      {4'294'967'295ull, true},
      {5ull << 30, true},
  };
  for (const Case& c : cases) EXPECT_EQ(needsZip64(c.size), c.zip64) << c.size;
}
