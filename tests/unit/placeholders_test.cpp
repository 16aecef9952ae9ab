#include "settings/placeholders.h"

#include <gtest/gtest.h>

#include "base/text.h"

namespace {

const KnownFolders folders{"C:\\Users\\Anne\\Documents\\", "C:\\Program Files\\"};

}  // namespace

TEST(placeholders, expandReplacesEveryPlaceholderInAnyCase) {
  struct Case {
    const char* text;
    const char* expected;
  } cases[] = {
      {"%MyDoc%DropBox\\Bak\\", "C:\\Users\\Anne\\Documents\\DropBox\\Bak\\"},
      {"%mydoc%x", "C:\\Users\\Anne\\Documents\\x"},
      {"%MYDOC%x", "C:\\Users\\Anne\\Documents\\x"},
      {"%MyDoc", "%MyDoc"},
      {"%MyDoc%a;%MyDoc%b", "C:\\Users\\Anne\\Documents\\a;C:\\Users\\Anne\\Documents\\b"},
      {"%ProgFiles%Outils\\", "C:\\Program Files\\Outils\\"},
      {"D:\\%progfiles%", "D:\\C:\\Program Files\\"},
      {"D:\\Sauvegardes\\", "D:\\Sauvegardes\\"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(expandFolderPlaceholders(c.text, folders), c.expected) << c.text;
}

TEST(placeholders, collapseTurnsKnownFoldersBackIntoPlaceholders) {
  struct Case {
    const char* text;
    const char* expected;
  } cases[] = {
      {"C:\\Users\\Anne\\Documents\\DropBox\\Bak\\", "%MyDoc%DropBox\\Bak\\"},
      {"C:\\Users\\Anne\\Documents\\", "%MyDoc%"},
      {"c:\\users\\ANNE\\documents\\x\\", "%MyDoc%x\\"},
      {"C:\\Users\\Anne\\Documents2\\x\\", "C:\\Users\\Anne\\Documents2\\x\\"},  // a sibling
      {"C:\\Program Files\\Outils\\", "%ProgFiles%Outils\\"},
      {"D:\\Sauvegardes\\", "D:\\Sauvegardes\\"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(collapseFolderPlaceholders(c.text, folders), c.expected) << c.text;
    EXPECT_TRUE(equalsIgnoringAsciiCase(
        expandFolderPlaceholders(collapseFolderPlaceholders(c.text, folders), folders), c.text))
        << c.text;
  }
}

TEST(placeholders, accentedLettersMatchOnlyThemselves) {
  const KnownFolders accented{"C:\\Users\\Ren\xE9\\Documents\\", ""};
  EXPECT_EQ(collapseFolderPlaceholders("c:\\users\\ren\xE9\\documents\\a", accented), "%MyDoc%a");
  EXPECT_EQ(collapseFolderPlaceholders("C:\\Users\\Ren\xC9\\Documents\\a", accented),
            "C:\\Users\\Ren\xC9\\Documents\\a");
}

TEST(placeholders, unlocatableFoldersAreDroppedOnExpandAndIgnoredOnCollapse) {
  const KnownFolders none{"", ""};
  EXPECT_EQ(expandFolderPlaceholders("%MyDoc%DropBox\\Bak\\", none), "DropBox\\Bak\\");
  EXPECT_EQ(expandFolderPlaceholders("%ProgFiles%x", none), "x");
  EXPECT_EQ(collapseFolderPlaceholders("C:\\Users\\Anne\\Documents\\x", none),
            "C:\\Users\\Anne\\Documents\\x");
}
