// The two settings of the program: the archive-name mask and the
// destination folder.
#pragma once

#include <string_view>

inline constexpr std::string_view defaultNameMask = "%P_%yyyy-%mm-%dd";
inline constexpr std::string_view defaultDestination = "%MyDoc%DropBox\\Bak\\";

// Fills nameMask and destinationPath of the job (placeholders expanded).
// Main thread, at start-up.
void readSettings();
