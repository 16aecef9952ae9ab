// Shell services: special folders. Windows build only (shell_win.cpp).
#pragma once

#include <string>

// Shell folder identifiers (CSIDL values) that the program looks up.
inline constexpr int shellFolderDocuments = 5;      // CSIDL_PERSONAL
inline constexpr int shellFolderSendTo = 9;         // CSIDL_SENDTO
inline constexpr int shellFolderProgramFiles = 38;  // CSIDL_PROGRAM_FILES

// The folder's file-system path ending with one backslash, or the empty
// text when the shell cannot locate it. Looked up afresh at every call.
std::string specialFolderPath(int shellFolder);
