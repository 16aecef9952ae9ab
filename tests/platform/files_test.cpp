// The file-system services on real files and folders.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/preparation.h"
#include "platform/files.h"
#include "tests/support/temp_folder.h"

namespace {

class FilesTest : public ::testing::Test {
 protected:
  TempFolder temp;
};

// A drive letter that Wine and a usual Windows machine leave unmapped.
std::string missingDrive() {
  DWORD drives = GetLogicalDrives();
  for (char letter = 'Q'; letter <= 'Y'; ++letter) {
    if (!(drives & (1u << (letter - 'A')))) return std::string(1, letter) + ":";
  }
  return "";
}

}  // namespace

TEST_F(FilesTest, fileSizeOfTellsFilesFoldersAndNothing) {
  ASSERT_TRUE(writeFile(temp / "five.txt", "12345"));
  ASSERT_TRUE(writeFile(temp / "empty", ""));
  ASSERT_TRUE(makeFolders(temp / "Sub\\"));
  const std::string folder = temp.path().substr(0, temp.path().size() - 1);
  struct Case {
    std::string path;
    std::int64_t expected;
  } cases[] = {
      {"", -1},
      {temp / "five.txt", 5},
      {temp / "five.txt\\", 5},  // trailing backslashes are ignored
      {temp / "five.txt\\\\\\", 5},
      {temp / "empty", 0},
      {temp / "missing.txt", -1},
      {temp / "missing\\five.txt", -1},
      {folder, -2},
      {temp.path(), -2},
      {temp / "Sub\\\\", -2},
      {"C:", -2},
      {"C:\\", -2},
      {"c:\\\\", -2},
      {missingDrive(), -1},
      {missingDrive() + "\\", -1},
      {temp / "*", -1},  // a pattern names nothing
      {temp / "fiv?.txt", -1},
      {"\\", -1},
  };
  for (const Case& c : cases) EXPECT_EQ(fileSizeOf(c.path), c.expected) << "[" << c.path << "]";
}

TEST_F(FilesTest, fileSizeOfReadsOnlyTheFirst260Characters) {
  ASSERT_TRUE(writeFile(temp / "five.txt", "12345"));
  std::string file = temp / "five.txt";
  ASSERT_LT(file.size(), 200u);
  std::string padded = file + std::string(260 - file.size(), '\\') + "ignored";
  EXPECT_EQ(fileSizeOf(padded), 5);
  std::string folderPadded = temp.path() + std::string(300, '\\');
  EXPECT_EQ(fileSizeOf(folderPadded), -2);
}

TEST_F(FilesTest, fileSizeOfReportsSizesAbove4GiB) {
  const std::string path = temp / "big.bin";
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  LARGE_INTEGER size;
  size.QuadPart = 5LL * 1024 * 1024 * 1024 + 7;
  ASSERT_TRUE(SetFilePointerEx(file, size, nullptr, FILE_BEGIN));
  ASSERT_TRUE(SetEndOfFile(file));
  CloseHandle(file);
  EXPECT_EQ(fileSizeOf(path), size.QuadPart);
}

TEST_F(FilesTest, ensureFolderCreatesEveryMissingLevel) {
  EXPECT_TRUE(ensureFolder(temp / "a\\b\\c\\"));
  EXPECT_TRUE(isFolderPath(temp / "a\\b\\c"));
  EXPECT_TRUE(ensureFolder(temp / "a\\b\\c\\"));  // already there

  // Without a trailing backslash the last name is a file name, not a folder.
  EXPECT_TRUE(ensureFolder(temp / "d\\e"));
  EXPECT_TRUE(isFolderPath(temp / "d"));
  EXPECT_FALSE(pathExists(temp / "d\\e"));

  EXPECT_TRUE(ensureFolder("C:\\"));
}

TEST_F(FilesTest, ensureFolderFailsOnAFileInTheWay) {
  ASSERT_TRUE(writeFile(temp / "Backups", "not a folder"));
  EXPECT_FALSE(ensureFolder(temp / "Backups\\Zips\\"));
  EXPECT_FALSE(isFolderPath(temp / "Backups"));
}

TEST_F(FilesTest, ensureFolderKeepsWhatItCreatedBeforeAFailure) {
  EXPECT_FALSE(ensureFolder(temp / "Made\\bad<name\\x\\"));
  EXPECT_TRUE(isFolderPath(temp / "Made"));
}

TEST_F(FilesTest, ensureFolderFailsOnAMissingDriveOrNetworkPath) {
  ASSERT_FALSE(missingDrive().empty());
  EXPECT_FALSE(ensureFolder(missingDrive() + "\\Backups\\"));
  EXPECT_FALSE(ensureFolder("\\\\nosuchserver\\share\\Backups\\"));
  EXPECT_FALSE(ensureFolder(""));
  EXPECT_FALSE(ensureFolder("NoSeparator"));
}

TEST_F(FilesTest, temporaryFolderIsTheLongFormOfTheSystemTemp) {
  std::string folder = temporaryFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), '\\');
  EXPECT_EQ(fileSizeOf(folder), -2);
  char longForm[MAX_PATH + 1] = {};
  char shortForm[MAX_PATH + 1] = {};
  GetTempPathA(sizeof shortForm, shortForm);
  GetLongPathNameA(shortForm, longForm, sizeof longForm);
  EXPECT_EQ(folder, longForm);
}

TEST_F(FilesTest, temporaryFolderIsEmptyWhenTheSystemTempDoesNotExist) {
  char tmp[MAX_PATH + 1] = {};
  char tempVar[MAX_PATH + 1] = {};
  GetEnvironmentVariableA("TMP", tmp, sizeof tmp);
  GetEnvironmentVariableA("TEMP", tempVar, sizeof tempVar);
  const std::string missing = temp / "missing";
  SetEnvironmentVariableA("TMP", missing.c_str());
  SetEnvironmentVariableA("TEMP", missing.c_str());
  std::string folder = temporaryFolder();
  SetEnvironmentVariableA("TMP", tmp);
  SetEnvironmentVariableA("TEMP", tempVar);
  EXPECT_EQ(folder, "");
}

TEST_F(FilesTest, currentFolderEndsWithABackslash) {
  char saved[MAX_PATH + 1] = {};
  GetCurrentDirectoryA(sizeof saved, saved);
  ASSERT_TRUE(SetCurrentDirectoryA(temp.path().c_str()));
  std::string inTemp = currentFolder();
  ASSERT_TRUE(SetCurrentDirectoryA("C:\\"));
  std::string inRoot = currentFolder();
  SetCurrentDirectoryA(saved);
  EXPECT_TRUE(_stricmp(inTemp.c_str(), temp.path().c_str()) == 0) << inTemp;
  EXPECT_EQ(inRoot, "C:\\");
}

TEST_F(FilesTest, programPathNamesTheRunningExecutable) {
  std::string path = programPath();
  EXPECT_EQ(fileSizeOf(path) > 0, true) << path;
  EXPECT_NE(path.find("platform_tests.exe"), std::string::npos) << path;
}
