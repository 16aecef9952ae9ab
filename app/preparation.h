// The four checks that turn the raw values of a backup start into a valid
// job, run in this order on the main thread. Each step either completes or
// shows its error box and ends the process with its own exit code.
#pragma once

#include <string>

// Step 1 (exit code 1): sourceFolder becomes an existing folder ending with a
// backslash: a file gives its folder, a text without folder part gives the
// current folder.
void prepareSource();

// Step 2 (exit code 2): archiveName from nameMask, the source folder's name
// and today's date, followed by ".Zip".
void prepareArchiveName();

// Step 3 (exit code 3): tempArchivePath in the user's temporary folder; an
// older file of that name is deleted.
void prepareTemporaryPath();

// Step 4 (exit code 4): the destination folder exists (missing folders are
// created); archiveName is appended to destinationPath.
void prepareDestination();

// Creates the missing folders along the folder part of the path, one level
// after another, and tells whether that folder part is a folder afterwards.
// Stops at the first empty piece (so nothing is created on a network path)
// and at the first creation that fails; folders created before stay.
bool ensureFolder(const std::string& folderPath);
