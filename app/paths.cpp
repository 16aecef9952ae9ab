#include "app/paths.h"

#include "app/command_line.h"
#include "base/text.h"

std::string pathPartOf(std::string_view path) {
  if (!path.empty() && path.front() == '"') path.remove_prefix(1);
  path = path.substr(0, path.find('|'));
  std::size_t separator = path.find_last_of("\\/");
  if (separator == std::string_view::npos) return {};
  return std::string(path.substr(0, separator + 1));
}

std::string stagingPathOf(std::string_view path) {
  return pathPartOf(path) + "~" + filePartOf(path) + ".tmp";
}

std::string lastFolderName(std::string_view folderPath) {
  std::size_t last = folderPath.rfind('\\');
  if (last == std::string_view::npos || last == 0) return {};
  std::string_view before = folderPath.substr(0, last);
  std::size_t previous = before.rfind('\\');
  if (previous == std::string_view::npos) return std::string(before);
  return std::string(before.substr(previous + 1));
}

bool isValidFileName(std::string_view name) {
  if (name.empty()) return false;
  for (char c : name) {
    auto byte = static_cast<unsigned char>(c);
    // A NUL byte would cut the name short at the system, so it counts as a
    // control character too.
    if (byte < 32) return false;
    if (std::string_view("\"*/:<>?\\|").find(c) != std::string_view::npos) return false;
  }
  return true;
}

std::string archiveNameFromMask(std::string_view mask, std::string_view folderName, DateValue now) {
  std::string named = replaceText(mask, "%p", folderName, true);
  return trimSpaces(formatDateMask(named, now));
}
