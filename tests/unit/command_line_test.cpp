#include "app/command_line.h"

#include <gtest/gtest.h>

TEST(commandLine, splitsWordsAtSpacesAndQuotes) {
  using Words = std::vector<std::string>;
  struct Case {
    const char* line;
    Words words;
  } cases[] = {
      {"prog", {"prog"}},
      {"", {}},
      {"   ", {}},
      {"prog a  b", {"prog", "a", "b"}},
      {"prog a\tb", {"prog", "a\tb"}},  // a tab is no separator
      {"\"C:\\My Prog\\x.exe\" \"C:\\My Folder\"", {"C:\\My Prog\\x.exe", "C:\\My Folder"}},
      {"prog \"\"", {"prog", ""}},  // empty quoted word counts
      {"prog \"\"\"\"", {"prog", "", ""}},
      {"prog \"open", {"prog", "open"}},       // quote runs to the end
      {"prog \"a\"b", {"prog", "a", "b"}},     // next word right after the quote
      {"prog a\"b c", {"prog", "a\"b", "c"}},  // inner quote is ordinary
      {"prog  \"a b\"  c ", {"prog", "a b", "c"}},
  };
  for (const Case& c : cases) EXPECT_EQ(splitCommandLine(c.line), c.words) << c.line;
}

TEST(commandLine, joinsParametersWithNothingBetween) {
  struct Case {
    const char* line;
    const char* joined;
  } cases[] = {
      {"Sauvegarde.exe", ""},
      {"Sauvegarde.exe \"\"", ""},
      {"Sauvegarde.exe C:\\My Folder", "C:\\MyFolder"},
      {"Sauvegarde.exe \"C:\\My Folder\"", "C:\\My Folder"},
      {"\"C:\\Prog Files\\S.exe\" C:\\a\\x.txt C:\\a\\y.txt", "C:\\a\\x.txtC:\\a\\y.txt"},
      {"S.exe \"C:\\Data\\\"", "C:\\Data\\"},
  };
  for (const Case& c : cases) EXPECT_EQ(joinedParameters(c.line), c.joined) << c.line;
}

TEST(commandLine, filePartAndTitleOfProgramPath) {
  struct Case {
    const char* path;
    const char* filePart;
    const char* title;
  } cases[] = {
      {"C:\\Outils\\Sauvegarde.exe", "Sauvegarde.exe", "Sauvegarde"},
      {"C:\\Outils\\Sauve.Docs.exe", "Sauve.Docs.exe", "Sauve.Docs"},
      {"C:/Outils/Sauvegarde.exe", "Sauvegarde.exe", "Sauvegarde"},
      {"C:\\a/b\\Prog", "Prog", "Prog"},
      {"Sauvegarde.exe", "Sauvegarde.exe", "Sauvegarde"},
      {"\"C:\\Outils\\Sauvegarde.exe\" arg", "Sauvegarde.exe", "Sauvegarde"},
      {"C:\\Outils.d\\Prog", "Prog", "Prog"},  // a dot in the folder is not the extension
      {"C:\\Outils\\", "", ""},
      {"", "", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(filePartOf(c.path), c.filePart) << c.path;
    EXPECT_EQ(programTitleOf(c.path), c.title) << c.path;
  }
}
