// Readings of the system clock and calendar. Windows build only
// (clock_win.cpp).
#pragma once

#include <cstdint>

#include "base/date_value.h"

// The local wall-clock time now, milliseconds dropped.
DateParts localWallClock();

// A UTC file time (100 ns units since 1601) shifted to local time with the
// offset in force now, broken into parts. False when the breakdown fails;
// the parts are then all zero.
bool localPartsOfFileTime(std::uint64_t fileTime, DateParts& parts);
