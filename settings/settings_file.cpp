#include "settings/settings_file.h"

bool SettingsFile::openForReading(const std::string& path) {
  close();
  file_ = openSettingsForReading(path);
  if (!file_.isOpen()) return false;
  lines_ = SettingsLines::parse(file_.readAll(maxBytes));
  return true;
}

bool SettingsFile::create(const std::string& path) {
  close();
  file_ = createSettingsFile(path);
  return file_.isOpen();
}

void SettingsFile::addComment(std::string_view text) {
  lines_.addComment(text);
  changed_ = true;
}

void SettingsFile::setValue(std::string_view key, std::string_view value) {
  lines_.setValue(key, value);
  changed_ = true;
}

void SettingsFile::close() {
  if (changed_ && file_.isOpen()) file_.replaceContents(lines_.render());
  file_.close();
  lines_ = SettingsLines();
  changed_ = false;
}
