// The two settings of the program, kept in a file beside the executable
// named after it: the executable's full path followed by ".ini".
#pragma once

#include <string>
#include <string_view>

inline constexpr std::string_view defaultNameMask = "%P_%yyyy-%mm-%dd";
inline constexpr std::string_view defaultDestination = "%MyDoc%DropBox\\Bak\\";
inline constexpr std::string_view nameMaskKey = "MaskFileName";
inline constexpr std::string_view destinationKey = "DestPath";

// The settings file of an executable.
std::string settingsPathOf(const std::string& programPath);

// Fills nameMask and destinationPath of the job from the running program's
// settings file, with the defaults for a missing file or key, and the
// folder placeholders of the destination expanded. Reports nothing. Main
// thread, at start-up; the file is closed again before it returns.
void readSettings();

// Writes the settings file of the installed copy at `installedProgramPath`:
// two comment lines, the job's nameMask and its destinationPath with the
// known folders turned back into placeholders. The file is created anew;
// when that fails nothing is written and nothing is reported.
void writeSettings(const std::string& installedProgramPath);
