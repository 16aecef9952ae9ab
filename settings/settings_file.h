// A settings file: its lines, read once when it is opened and written all at
// once when it is closed after a change. Windows build only.
#pragma once

#include <string>
#include <string_view>

#include "platform/files.h"
#include "settings/settings_format.h"

class SettingsFile {
 public:
  // Settings files larger than this are read up to this size only.
  static constexpr std::size_t maxBytes = 16 << 20;

  SettingsFile() = default;
  SettingsFile(const SettingsFile&) = delete;
  SettingsFile& operator=(const SettingsFile&) = delete;
  ~SettingsFile() { close(); }

  // Reads the whole file and collects its lines; false when it cannot be
  // opened (the lookups then give their defaults).
  bool openForReading(const std::string& path);
  // Creates the file anew with no lines; false when it cannot be created.
  bool create(const std::string& path);

  std::string value(std::string_view key, std::string_view defaultValue) const {
    return lines_.value(key, defaultValue);
  }
  void addComment(std::string_view text);
  void setValue(std::string_view key, std::string_view value);

  // Writes the lines when they changed, then releases the file and the lines.
  // Write errors are not reported.
  void close();

 private:
  OwnedFile file_;
  SettingsLines lines_;
  bool changed_ = false;
};
