#include "settings/date_clock.h"

#include "platform/clock.h"

DateValue currentDateValue() { return dateValueFromParts(localWallClock()); }

DateValue dateValueFromFileTime(std::uint64_t fileTime) {
  DateParts parts;
  localPartsOfFileTime(fileTime, parts);  // all zero on failure: an invalid date
  return dateValueFromParts(parts);
}
