#include "app/paths.h"

#include <gtest/gtest.h>

TEST(paths, pathPartOf) {
  struct Case {
    const char* path;
    const char* expected;
  } cases[] = {
      {"C:\\Data\\report.doc", "C:\\Data\\"},
      {"C:\\Data\\", "C:\\Data\\"},
      {"C:\\Data", "C:\\"},
      {"C:/Data/x", "C:/Data/"},
      {"C:\\a/b", "C:\\a/"},
      {"report.doc", ""},
      {"", ""},
      {"\"C:\\Data\\x", "C:\\Data\\"},   // leading quote skipped
      {"C:\\a\\b|C:\\c\\d", "C:\\a\\"},  // a vertical bar ends the scan
      {"C:\\a\\x.txtC:\\a\\y.txt", "C:\\a\\x.txtC:\\a\\"},
      {"D:\\Data\\Backups", "D:\\Data\\"},
  };
  for (const Case& c : cases) EXPECT_EQ(pathPartOf(c.path), c.expected) << c.path;
}

TEST(paths, lastFolderName) {
  struct Case {
    const char* path;
    const char* expected;
  } cases[] = {
      {"C:\\Data\\Photos\\", "Photos"},
      {"C:\\", "C:"},
      {"\\\\server\\share\\", "share"},
      {"Photos\\", "Photos"},
      {"\\", ""},  // the only backslash is at position 1
      {"Photos", ""},
      {"", ""},
      {"C:\\Data\\Photos", "Data"},  // without its backslash, the parent counts
      {"C:/Data/Photos/", ""},       // a slash does not separate
      {"C:\\a/b\\", "a/b"},
      {"C:\\Data\\\\", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(lastFolderName(c.path), c.expected) << c.path;
}

TEST(paths, isValidFileName) {
  for (const char* name :
       {"Photos_2012-05-05", "a", "\xC9t\xE9 \x80", "CON", "name.", " x ", "a\x7F"}) {
    EXPECT_TRUE(isValidFileName(name)) << name;
  }
  for (const char* name : {"", "a\"b", "a*b", "a/b", "C:", "a<b", "a>b", "a?b", "a\\b", "a|b",
                           "a\x01", "\x1F", "tab\there"}) {
    EXPECT_FALSE(isValidFileName(name)) << name;
  }
  EXPECT_FALSE(isValidFileName(std::string("a\0b", 3)));
}

TEST(paths, archiveNameFromMask) {
  const DateValue may5th = dateValueFromParts(2012, 5, 5, 14, 3, 9);
  struct Case {
    const char* mask;
    const char* folder;
    const char* expected;
  } cases[] = {
      {"%P_%yyyy-%mm-%dd", "Projets", "Projets_2012-05-05"},
      {"%P_%dd", "Photos", "Photos_05"},
      {"%p_%dd", "Photos", "Photos_05"},
      {"%P%P", "ab", "abab"},
      {"%P", "Mois_%dd", "Mois_05"},  // tokens inside the folder name are rendered
      {"  %P  ", "x", "x"},
      {"   ", "x", ""},
      {"", "x", ""},
      {"%P %hh:%ii", "x", "x 14:03"},  // invalid later, because of the colon
      {"%P", "C:", "C:"},
      {"\t%P", "x", "\tx"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(archiveNameFromMask(c.mask, c.folder, may5th), c.expected) << c.mask;
  }
}
