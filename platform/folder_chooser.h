// The shell's folder browser. Windows build only (folder_chooser_win.cpp).
#pragma once

#include <string>

// Shows the folder browser with the prompt above the folder tree, an edit
// box and the new dialog style, starting at `startFolder` (at most 259
// characters of it; a trailing backslash is removed except on a drive
// root), owned by the process's foreground window when it has one. The
// process's other visible top-level windows are disabled while it is open.
// Returns the chosen folder's path ending with a backslash, or the empty
// text when the user cancels, chooses an item that has no file-system path,
// or SHELL32 cannot be loaded. Main thread.
std::string chooseFolder(const std::string& prompt, const std::string& startFolder);
