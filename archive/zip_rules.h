// The archiver's rules that need no OS service: entry times, entry names,
// and when an entry needs Zip64 headers.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/date_value.h"

// The MS-DOS date and time word of a local time: (year - 1980) << 25,
// month << 21, day << 16, hour << 11, minute << 5, second / 2. Times before
// 1980 are stored as 1980-01-01 00:00:00 and times after 2107 as
// 2107-12-31 23:59:58, the limits of the format.
std::uint32_t dosDateTimeOf(const DateParts& parts);

// The path relative to the base folder: every occurrence of the base folder
// text removed (A to Z without case). Listed paths all begin with it.
std::string relativeEntryPath(std::string_view path, std::string_view baseFolder);

// The text with every backslash turned into a slash.
std::string withForwardSlashes(std::string_view name);

// Whether a file of that size needs Zip64 headers: its data, or what
// deflate may make of it, could reach 4 GiB. Plain headers keep the format
// that every reader knows (version 20, no extra field).
bool needsZip64(std::uint64_t fileSize);
