// Folder placeholders in a destination path: "%MyDoc%" stands for the user's
// documents folder and "%ProgFiles%" for the program files folder, each
// backslash included, so a placeholder is written directly before the next
// path component ("%MyDoc%DropBox\Bak\").
#pragma once

#include <string>
#include <string_view>

inline constexpr std::string_view documentsPlaceholder = "%MyDoc%";
inline constexpr std::string_view programFilesPlaceholder = "%ProgFiles%";

// The two folders as the shell reports them, each ending with a backslash, or
// the empty text when the shell cannot locate it.
struct KnownFolders {
  std::string documents;
  std::string programFiles;
};

// Replaces "%MyDoc%", then "%ProgFiles%" (letter case ignored) by the
// folders. An empty folder removes its placeholder.
std::string expandFolderPlaceholders(std::string_view text, const KnownFolders& folders);

// Replaces the documents folder, then the program files folder (letter case
// ignored for A to Z) by their placeholders. An empty folder is not searched.
std::string collapseFolderPlaceholders(std::string_view text, const KnownFolders& folders);

// The same with the folders looked up afresh through the shell (Windows
// build only; nothing is cached, so a moved documents folder is picked up).
std::string expandFolderPlaceholders(std::string_view text);
std::string collapseFolderPlaceholders(std::string_view text);
