#include "archive/zip_rules.h"

#include <algorithm>

#include "base/text.h"

std::uint32_t dosDateTimeOf(const DateParts& parts) {
  constexpr DateParts earliest{1980, 1, 1, 0, 0, 0};
  constexpr DateParts latest{2107, 12, 31, 23, 59, 58};
  const DateParts* p = &parts;
  if (parts.year < 1980) p = &earliest;
  if (parts.year > 2107) p = &latest;
  auto field = [](std::int32_t value, std::int32_t low, std::int32_t high) {
    return static_cast<std::uint32_t>(std::clamp(value, low, high));
  };
  return (field(p->year - 1980, 0, 127) << 25) | (field(p->month, 1, 12) << 21) |
         (field(p->day, 1, 31) << 16) | (field(p->hour, 0, 23) << 11) |
         (field(p->minute, 0, 59) << 5) | (field(p->second, 0, 59) / 2);
}

std::string relativeEntryPath(std::string_view path, std::string_view baseFolder) {
  return replaceText(path, baseFolder, "", true);
}

std::string withForwardSlashes(std::string_view name) {
  std::string result(name);
  std::replace(result.begin(), result.end(), '\\', '/');
  return result;
}

bool needsZip64(std::uint64_t fileSize) {
  // Deflate adds at most about 5 bytes per 16 KiB block to incompressible
  // data; a thousandth plus 64 KiB is a safe bound.
  constexpr std::uint64_t limit = 0xFFFFFFFFull;
  return fileSize >= limit || fileSize + fileSize / 1000 + 65536 >= limit;
}
