#include "settings/settings_format.h"

#include <gtest/gtest.h>

namespace {

struct Read {
  std::string mask;
  std::string destination;
};

Read readBoth(std::string_view bytes) {
  SettingsLines lines = SettingsLines::parse(bytes);
  return {lines.value("MaskFileName", "default-mask"), lines.value("DestPath", "default-dest")};
}

}  // namespace

TEST(settingsFormat, readsTheValuesOfManySpellings) {
  struct Case {
    const char* name;
    std::string file;
    const char* mask;
    const char* destination;
  } cases[] = {
      {"empty file", "", "default-mask", "default-dest"},
      {"as written", "; c\r\nMaskFileName = %P_%yy\r\nDestPath = D:\\Bak\\\r\n", "%P_%yy",
       "D:\\Bak\\"},
      {"lower-case key, no spaces", "maskfilename=%P_%yy", "%P_%yy", "default-dest"},
      {"blanks around", " \t MaskFileName \t = \t %P x \t \r\n", "%P x", "default-dest"},
      {"empty value", "DestPath =\r\n", "default-mask", ""},
      {"empty value, blanks", "DestPath = \t \r\n", "default-mask", ""},
      {"repeated key", "DestPath = A\\\r\nDestPath = B\\\r\n", "default-mask", "A\\"},
      {"group first", "[Options]\r\nMaskFileName = x\r\n", "default-mask", "default-dest"},
      {"keys before a group", "MaskFileName = x\r\n[Options]\r\nDestPath = y\r\n", "x",
       "default-dest"},
      {"comment that looks like a key", ";MaskFileName = x\r\n", "default-mask", "default-dest"},
      {"indented comment", "  ; DestPath = x\r\n", "default-mask", "default-dest"},
      {"value with = and ;", "MaskFileName = a=b;c\r\n", "a=b;c", "default-dest"},
      {"LF only", "MaskFileName = m\nDestPath = d\n", "m", "d"},
      {"CR only", "MaskFileName = m\rDestPath = d\r", "m", "d"},
      {"empty lines", "\r\n\r\n\nMaskFileName = m\r\n\r\n\r\nDestPath = d", "m", "d"},
      {"no line end at the end", "DestPath = d", "default-mask", "d"},
      {"key without =", "MaskFileName\r\n", "", "default-dest"},
      {"other key", "MaskFileNames = x\r\nDest = y\r\n", "default-mask", "default-dest"},
      {"NUL ends a line", std::string("MaskFileName = a\0b\r\nDestPath = d", 32), "a", "d"},
      {"UTF-8",
       "\xEF\xBB\xBF"
       "DestPath = D:\\Donn\xC3\xA9"
       "es\\\r\n",
       "default-mask",
       "D:\\Donn\xE9"
       "es\\"},
      {"UTF-8 beyond U+00FF",
       "\xEF\xBB\xBF"
       "MaskFileName = \xE2\x82\xAC%P\r\n",
       "?%P", "default-dest"},
      {"mark without UTF-8 text", "\xEF\xBB\xBF", "default-mask", "default-dest"},
      {"Windows-1252 bytes",
       "DestPath = D:\\Donn\xE9"
       "es\\",
       "default-mask",
       "D:\\Donn\xE9"
       "es\\"},
      {"group without ]", "[Options\r\nDestPath = y\r\n", "default-mask", "default-dest"},
  };
  for (const Case& c : cases) {
    Read read = readBoth(c.file);
    EXPECT_EQ(read.mask, c.mask) << c.name;
    EXPECT_EQ(read.destination, c.destination) << c.name;
  }
}

TEST(settingsFormat, collectsLinesOfEachKind) {
  using Kind = SettingsLine::Kind;
  SettingsLines lines = SettingsLines::parse(";  two spaces\r\n[Grp] rest\r\nk v = x = y \r\n");
  std::vector<SettingsLine> expected{
      {Kind::comment, " two spaces", ""}, {Kind::group, "Grp", ""}, {Kind::key, "k v", "x = y "}};
  EXPECT_EQ(lines.lines(), expected);
}

TEST(settingsFormat, writesTheFourLinesOfAnInstallation) {
  SettingsLines lines;
  lines.addComment("%P = nom du fichier/dossier source");
  lines.addComment("%yyyy-%mm-%dd %hh:%ii:%ss");
  lines.setValue("MaskFileName", "%P_%yyyy-%mm-%dd");
  lines.setValue("DestPath", "%MyDoc%DropBox\\Bak\\");
  EXPECT_EQ(lines.render(),
            "; %P = nom du fichier/dossier source\r\n"
            "; %yyyy-%mm-%dd %hh:%ii:%ss\r\n"
            "MaskFileName = %P_%yyyy-%mm-%dd\r\n"
            "DestPath = %MyDoc%DropBox\\Bak\\\r\n");
}

TEST(settingsFormat, setValueReplacesOrAddsBeforeTheFirstGroup) {
  SettingsLines lines = SettingsLines::parse("a = 1\r\n[G]\r\nb = 2\r\n");
  lines.setValue("A", "one");
  lines.setValue("b", "two");  // the b after the group is not found: a new line
  EXPECT_EQ(lines.render(), "a = one\r\nb = two\r\n[G]\r\nb = 2\r\n");
}

// Edits on a file's lines: each comment goes after the line added last,
// each new key after the last line before the first group.
TEST(settingsFormat, editsPlaceEachLineAfterTheLineAddedLast) {
  struct Edit {
    bool comment;
    std::string key, text;
  };
  struct Case {
    std::string file;
    std::vector<Edit> edits;
    std::string rendered;
  } cases[] = {
      {"", {{true, "", "c"}}, "; c\r\n"},
      {"a = 1\r\n", {{true, "", "c"}}, "; c\r\na = 1\r\n"},
      {"a = 1\r\n", {{false, "k", "v"}, {true, "", "c"}}, "a = 1\r\nk = v\r\n; c\r\n"},
      {"a = 1\r\n[G]\r\nz = 9\r\n",
       {{false, "k", "v"}, {true, "", "c"}, {true, "", "d"}},
       "a = 1\r\nk = v\r\n; c\r\n; d\r\n[G]\r\nz = 9\r\n"},
      // Replacing a value adds no line: the comment follows the last added.
      {"a = 1\r\nb = 2\r\n",
       {{true, "", "c"}, {false, "b", "3"}, {true, "", "d"}},
       "; c\r\n; d\r\na = 1\r\nb = 3\r\n"},
      {"[G]\r\n", {{false, "k", "v"}, {true, "", "c"}}, "k = v\r\n; c\r\n[G]\r\n"},
  };
  for (const Case& c : cases) {
    SettingsLines lines = SettingsLines::parse(c.file);
    for (const Edit& edit : c.edits) {
      if (edit.comment) {
        lines.addComment(edit.text);
      } else {
        lines.setValue(edit.key, edit.text);
      }
    }
    EXPECT_EQ(lines.render(), c.rendered) << c.file;
  }
}

TEST(settingsFormat, malformedUtf8NeverReadsPastTheEnd) {
  struct Case {
    std::string utf8;
    std::string bytes;
  } cases[] = {
      {"abc", "abc"},
      {"\xC3\xA9", "\xE9"},
      {"\xC2\x80", "\x80"},
      {"\xC3\xBF", "\xFF"},
      {"\xC4\x80", "?"},          // U+0100
      {"\xE2\x82\xAC", "?"},      // euro sign
      {"\xF0\x9F\x98\x80", "?"},  // beyond the BMP
      {"\x80"
       "a",
       "a"},  // stray continuation byte dropped
      {"a\xBF", "a"},
      {"\xC3", "?"},  // truncated at the end
      {"\xE2\x82", "?"},
      {"\xF0\x9F\x98", "?"},
      {"\xC3"
       "a",
       "?a"},             // truncated before an ASCII byte
      {"\xC0\xA9", "?"},  // overlong
      {"\xC1\xBF", "?"},
      {"\xE0\x80\xA9", "?"},
      {"\xF0\x80\x80\xA9", "?"},
      {"\xF5\x80\x80\x80", "?"},  // lead bytes F5 to FF
      {"\xFF", "?"},
      {"\xFE\xFF", "??"},
      {"\xF8\x88\x80\x80\x80", "?"},  // a five-byte form: its fifth byte is stray
  };
  for (const Case& c : cases) EXPECT_EQ(singleBytesFromUtf8(c.utf8), c.bytes);
  std::string every;
  for (int b = 1; b < 256; ++b) every += static_cast<char>(b);
  EXPECT_EQ(singleBytesFromUtf8(utf8FromSingleBytes(every)), every);
}

TEST(settingsFormat, anyContentGivesDefinedResults) {
  std::string huge = "DestPath = " + std::string(5 << 20, 'x');
  EXPECT_EQ(readBoth(huge).destination.size(), std::size_t{5 << 20});

  std::string garbage;
  std::uint32_t seed = 12345;
  for (int i = 0; i < 1 << 16; ++i) {
    seed = seed * 1664525u + 1013904223u;
    garbage += static_cast<char>(seed >> 24);
  }
  Read read = readBoth(garbage);  // no fault; whatever is found stays in the file's bounds
  EXPECT_LE(read.mask.size(), garbage.size());
  EXPECT_EQ(readBoth(std::string(1000, '\0')).mask, "default-mask");
}
