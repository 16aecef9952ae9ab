// Path texts as the backup job uses them. Portable: no call reaches the file
// system. A folder path prepared by the program ends with a backslash, and a
// file path is a folder path followed by a name.
#pragma once

#include <string>
#include <string_view>

#include "settings/date_mask.h"

// The text up to and including its last backslash or slash; the empty text
// when it has neither. A double quote at the very start is skipped, and a
// vertical bar ends the scan.
std::string pathPartOf(std::string_view path);

// Where a file is written before it replaces the one at `path`: beside it,
// with a name that sync clients and the file manager's menus pass over
// ("~" + name + ".tmp").
std::string stagingPathOf(std::string_view path);

// The name of the folder that a folder path ends in: C:\Data\Photos\ gives
// Photos, C:\ gives C:, \\server\share\ gives share. Only the backslash
// separates. The empty text when the path has no backslash after its first
// character.
std::string lastFolderName(std::string_view folderPath);

// Whether the name can be a file name: not empty, no control character and
// none of " * / : < > ? \ |. Nothing else is tested (no device names, no
// length limit).
bool isValidFileName(std::string_view name);

// The archive name before its extension: every %P (any case) of the mask
// replaced by the folder name, then the date tokens rendered for `now`, then
// the spaces at either end removed. Not yet checked for validity.
std::string archiveNameFromMask(std::string_view mask, std::string_view folderName, DateValue now);

// The extension that every archive name gets.
inline constexpr std::string_view archiveExtension = ".Zip";
