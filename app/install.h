// Install mode: the program puts a copy of itself and its settings into the
// user's Send To folder, so that the file manager's "Envoyer vers" menu
// offers it. Windows build only.
#pragma once

#include <string>

// Asks for the backup destination folder (starting at destinationPath),
// writes the settings file of the copy (nameMask as read at start-up, the
// chosen folder with the known folders as placeholders), then copies the
// running executable into the Send To folder under its own file name and
// says how it went. A missing Send To folder shows its error box; a cancel
// ends silently. Main thread; the process then ends with 0.
void installIntoSendTo();

// The copy's path: the Send To folder followed by the executable's file name.
std::string installedProgramPathOf(const std::string& sendToFolder, const std::string& programPath);
