// Shell folders and clock readings as the system reports them.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/files.h"
#include "platform/shell.h"
#include "settings/date_clock.h"
#include "settings/placeholders.h"

TEST(shellFolders, endWithExactlyOneBackslashAndExist) {
  for (int folder : {shellFolderDocuments, shellFolderProgramFiles, shellFolderSendTo}) {
    std::string path = specialFolderPath(folder);
    ASSERT_GE(path.size(), 4u) << folder;
    EXPECT_EQ(path.back(), '\\') << path;
    EXPECT_NE(path[path.size() - 2], '\\') << path;
    EXPECT_EQ(fileSizeOf(path), -2) << path;
  }
}

TEST(shellFolders, unknownFolderGivesTheEmptyText) { EXPECT_EQ(specialFolderPath(0x7e), ""); }

TEST(shellFolders, defaultDestinationExpandsUnderDocuments) {
  std::string documents = specialFolderPath(shellFolderDocuments);
  EXPECT_EQ(expandFolderPlaceholders("%MyDoc%DropBox\\Bak\\"), documents + "DropBox\\Bak\\");
  EXPECT_EQ(collapseFolderPlaceholders(documents + "DropBox\\Bak\\"), "%MyDoc%DropBox\\Bak\\");
  std::string programFiles = specialFolderPath(shellFolderProgramFiles);
  EXPECT_EQ(expandFolderPlaceholders("%progfiles%Outils\\"), programFiles + "Outils\\");
}

TEST(clock, currentDateValueReadsTheLocalWallClock) {
  SYSTEMTIME before;
  GetLocalTime(&before);
  DateValue now = currentDateValue();
  DateParts parts = datePartsOf(now);
  EXPECT_EQ(parts.year, before.wYear);
  EXPECT_EQ(parts.month, before.wMonth);
  EXPECT_EQ(parts.day, before.wDay);
  DateValue expected = dateValueFromParts(before.wYear, before.wMonth, before.wDay, before.wHour,
                                          before.wMinute, before.wSecond);
  EXPECT_LE(now - expected, 2);
  EXPECT_GE(now - expected, 0);
}

TEST(clock, fileTimesAreShiftedToLocalTimeWithTheOffsetInForceNow) {
  // 2012-05-05 14:03:09 UTC as a FILETIME.
  SYSTEMTIME utc{2012, 5, 6, 5, 14, 3, 9, 0};
  FILETIME fileTime;
  ASSERT_TRUE(SystemTimeToFileTime(&utc, &fileTime));
  FILETIME local;
  SYSTEMTIME localParts;
  FileTimeToLocalFileTime(&fileTime, &local);
  FileTimeToSystemTime(&local, &localParts);
  std::uint64_t raw = (std::uint64_t{fileTime.dwHighDateTime} << 32) | fileTime.dwLowDateTime;
  EXPECT_EQ(dateValueFromFileTime(raw),
            dateValueFromParts(localParts.wYear, localParts.wMonth, localParts.wDay,
                               localParts.wHour, localParts.wMinute, localParts.wSecond));
  EXPECT_EQ(dateValueFromFileTime(~std::uint64_t{0}), -1);  // no breakdown
  EXPECT_LT(dateValueFromFileTime(0), 0);                   // 1601 has no DateValue
}
