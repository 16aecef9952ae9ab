#include "base/text.h"

#include <gtest/gtest.h>

TEST(replaceText, replacesEveryOccurrenceInOneScan) {
  struct Case {
    const char* text;
    const char* search;
    const char* replacement;
    bool ignoreCase;
    const char* expected;
  } cases[] = {
      {"%P_%yyyy", "%p", "Photos", true, "Photos_%yyyy"},
      {"%p%P", "%p", "Ab", true, "AbAb"},
      {"%P%P", "%p", "x", false, "%P%P"},  // case kept when asked
      {"aaa", "aa", "b", true, "ba"},      // no overlapping occurrences
      {"%p", "%p", "%p%p", true, "%p%p"},  // inserted text is not scanned again
      {"abc", "", "x", true, "abc"},       // empty search text
      {"", "a", "x", true, ""},
      {"ab", "abc", "x", true, "ab"},  // search longer than text
      {"C:\\DOCS\\a", "c:\\docs\\", "%MyDoc%", true, "%MyDoc%a"},
      {"\xC9t\xE9", "\xE9t\xE9", "x", true, "\xC9t\xE9"},  // accented letters have no case
      {"x%MYDOC%y%mydoc%", "%MyDoc%", "D\\", true, "xD\\yD\\"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(replaceText(c.text, c.search, c.replacement, c.ignoreCase), c.expected)
        << c.text << " / " << c.search;
  }
}

TEST(replaceText, hasNoLimitOnTheNumberOfOccurrences) {
  std::string replaced = replaceText(std::string(100000, 'a'), "A", "bc", true);
  ASSERT_EQ(replaced.size(), 200000u);
  EXPECT_EQ(replaced.find('a'), std::string::npos);
}

TEST(trimSpaces, removesSpacesOnlyAtBothEnds) {
  EXPECT_EQ(trimSpaces("  a b  "), "a b");
  EXPECT_EQ(trimSpaces("\ta\t"), "\ta\t");
  EXPECT_EQ(trimSpaces("    "), "");
  EXPECT_EQ(trimSpaces(""), "");
}
