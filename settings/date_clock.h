// DateValues read from the system clock. Windows build only.
#pragma once

#include <cstdint>

#include "settings/date_mask.h"

// The current date and time of the local wall clock.
DateValue currentDateValue();

// A file's UTC last-write time (a FILETIME as GetFileTime reports it) as a
// local wall-clock DateValue, shifted with the offset in force now; -1 when
// the breakdown fails.
DateValue dateValueFromFileTime(std::uint64_t fileTime);
