// The text format of the settings file: lines that are groups ("[name]"),
// comments ("; text") or keys ("key = value"). Portable: works on the bytes
// of a file, not on the file.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct SettingsLine {
  enum class Kind { group, comment, key };
  Kind kind = Kind::key;
  std::string name;   // group name, comment text, or key
  std::string value;  // key lines only
  friend bool operator==(const SettingsLine&, const SettingsLine&) = default;
};

class SettingsLines {
 public:
  SettingsLines() = default;

  // Reads the lines of a file's bytes. Any run of CR, LF (or NUL) bytes ends
  // a line; spaces and tabs at the start of a line are skipped. Bytes that
  // begin with the UTF-8 byte-order mark are read as UTF-8.
  static SettingsLines parse(std::string_view bytes);

  // The value of the first key line before the first group line whose key
  // equals `key` (A to Z without case), trailing spaces and tabs removed; the
  // default when there is none. In a UTF-8 file the key is compared in UTF-8
  // and the value comes back as single bytes (up to U+00FF the same byte,
  // any other character "?").
  std::string value(std::string_view key, std::string_view defaultValue) const;

  // Adds a comment line after the line added last (at the start when none).
  void addComment(std::string_view text);
  // Replaces the value of the key's line, or adds a key line after the last
  // line before the first group line.
  void setValue(std::string_view key, std::string_view value);

  // The whole text to write: "; text", "key = value" and "[name]" lines, each
  // ended by CR LF. No byte-order mark.
  std::string render() const;

  const std::vector<SettingsLine>& lines() const { return lines_; }

 private:
  std::size_t firstGroup() const;

  std::vector<SettingsLine> lines_;
  bool utf8_ = false;
  std::size_t insertAt_ = 0;  // after the line added last: where addComment puts the next one
};

// UTF-8 to single bytes: up to U+00FF the byte of the same number, any other
// character (and any malformed sequence) "?", a stray continuation byte
// dropped. Never reads past the end of the text.
std::string singleBytesFromUtf8(std::string_view text);

// Single bytes (taken as U+0000 to U+00FF) to UTF-8.
std::string utf8FromSingleBytes(std::string_view text);
