#include <windows.h>

#include "platform/clock.h"

namespace {

DateParts partsOf(const SYSTEMTIME& time) {
  return {time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond};
}

}  // namespace

DateParts localWallClock() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return partsOf(now);
}

bool localPartsOfFileTime(std::uint64_t fileTime, DateParts& parts) {
  parts = {};
  FILETIME utc{static_cast<DWORD>(fileTime), static_cast<DWORD>(fileTime >> 32)};
  FILETIME local{};
  SYSTEMTIME time{};
  if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &time)) {
    return false;
  }
  parts = partsOf(time);
  return true;
}
