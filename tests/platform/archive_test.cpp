// The folder archiver on real trees, its archives checked by independent
// readers.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>

#include "archive/file_list.h"
#include "archive/zip_writer.h"
#include "ioapi.h"
#include "iowin32.h"
#include "platform/folders.h"
#include "platform/source_file.h"
#include "tests/support/readers.h"
#include "tests/support/temp_folder.h"

namespace {

void setLocalWriteTime(const std::string& path, WORD year, WORD month, WORD day, WORD hour,
                       WORD minute, WORD second) {
  SYSTEMTIME local{year, month, 0, day, hour, minute, second, 0};
  FILETIME localTime, utc;
  ASSERT_TRUE(SystemTimeToFileTime(&local, &localTime));
  ASSERT_TRUE(LocalFileTimeToFileTime(&localTime, &utc));
  HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  ASSERT_TRUE(SetFileTime(file, nullptr, nullptr, &utc));
  CloseHandle(file);
}

std::string bytesOfSize(std::size_t size) {
  std::string data(size, '\0');
  std::uint32_t seed = 7;
  for (char& c : data) {
    seed = seed * 1103515245u + 12345u;
    c = static_cast<char>('a' + (seed >> 16) % 20);
  }
  return data;
}

std::uint32_t dos(unsigned year, unsigned month, unsigned day, unsigned hour, unsigned minute,
                  unsigned second) {
  return ((year - 1980) << 25) | (month << 21) | (day << 16) | (hour << 11) | (minute << 5) |
         (second / 2);
}

int pauses = 0;
void countPause() { ++pauses; }

class Archiver : public ::testing::Test {
 protected:
  void SetUp() override {
    initArchiver();
    pauses = 0;
    ASSERT_TRUE(makeFolders(source));
  }
  void TearDown() override {
    setArchiverTestHooks(nullptr);
    releaseArchiver();
  }
  std::int32_t archive(const std::string& archivePath) {
    return archiveFolder(archivePath, source + "*.*", 2, 1);
  }
  std::int32_t archive() { return archive(zipPath); }
  std::string verdict(const ArchiveExpectations& expect) {
    return checkWithReaders(zipPath, expect);
  }

  TempFolder temp;
  const std::string source = temp / "src\\";
  const std::string zipPath = temp / "out.Zip";
  ArchiverTestHooks fast{false, nullptr, nullptr, nullptr};
};

// The files under a folder as an independent walk lists them: each folder in
// the order its own listing gives, subfolders in place.
void listPreOrder(const std::string& folder, std::vector<std::string>& files) {
  WIN32_FIND_DATAA found;
  HANDLE find = FindFirstFileA((folder + "*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      listPreOrder(folder + name + "\\", files);
    } else {
      files.push_back(folder + name);
    }
  } while (FindNextFileA(find, &found));
  FindClose(find);
}

std::vector<std::string> listedPaths() {
  std::vector<std::string> paths;
  for (const FileListEntry& entry : fileList) paths.push_back(entry.path);
  return paths;
}

}  // namespace

TEST_F(Archiver, walkListsEveryFileDepthFirstAndNoFolder) {
  for (const char* name : {"a.txt", "Sub\\c.txt", "Sub\\Deeper\\d.txt", "b.txt", "README",
                           "hidden.txt", "readonly.txt", "system.dat"}) {
    ASSERT_TRUE(writeFile(source + name, name));
  }
  ASSERT_TRUE(makeFolders(source + "Empty\\"));
  ASSERT_TRUE(makeFolders(source + "Nest\\Empty\\"));
  SetFileAttributesA((source + "hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
  SetFileAttributesA((source + "readonly.txt").c_str(), FILE_ATTRIBUTE_READONLY);
  SetFileAttributesA((source + "system.dat").c_str(), FILE_ATTRIBUTE_SYSTEM);

  buildFileList(source, "*.*", 1);
  std::vector<std::string> expected;
  listPreOrder(source, expected);
  EXPECT_EQ(expected.size(), 8u);
  EXPECT_EQ(listedPaths(), expected);
  EXPECT_TRUE(unlistedFolders.empty());
  SetFileAttributesA((source + "readonly.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(Archiver, walkSkipsAFolderItCannotListAndGoesOn) {
  ASSERT_TRUE(writeFile(source + "first.txt", "1"));
  ASSERT_TRUE(writeFile(source + "last.txt", "2"));
  // A folder whose path is longer than the ANSI functions take.
  std::wstring deep = L"\\\\?\\";
  wchar_t wide[MAX_PATH] = {};
  MultiByteToWideChar(CP_ACP, 0, source.c_str(), -1, wide, MAX_PATH);
  deep += wide;
  deep += L"long";
  ASSERT_TRUE(CreateDirectoryW(deep.c_str(), nullptr));
  std::string ansiDeep = source + "long";
  while (ansiDeep.size() < 300) {
    deep += L"\\" + std::wstring(40, L'x');
    ansiDeep += "\\" + std::string(40, 'x');
    ASSERT_TRUE(CreateDirectoryW(deep.c_str(), nullptr));
  }
  ASSERT_TRUE(CreateDirectoryW((deep + L"\\more").c_str(), nullptr));

  buildFileList(source, "*.*", 1);
  std::vector<std::string> paths = listedPaths();
  std::sort(paths.begin(), paths.end());
  EXPECT_EQ(paths, (std::vector<std::string>{source + "first.txt", source + "last.txt"}));
  ASSERT_EQ(unlistedFolders.size(), 1u);
  EXPECT_GT(unlistedFolders[0].path.size(), 260u);
}

TEST_F(Archiver, walkOfADriveRootHasNoDotEntries) {
  buildFileList("C:\\", "*.*", 1);
  ASSERT_GT(fileList.size(), 100u);
  bool kernel = false;
  for (const FileListEntry& entry : fileList) {
    EXPECT_EQ(entry.path.find("\\.\\"), std::string::npos) << entry.path;
    EXPECT_EQ(entry.path.find("\\..\\"), std::string::npos) << entry.path;
    if (_stricmp(entry.path.c_str(), "C:\\windows\\system32\\kernel32.dll") == 0) kernel = true;
  }
  EXPECT_TRUE(kernel);
}

TEST_F(Archiver, entriesCarryNamesTimesAndAttributesAsReadersSeeThem) {
  ASSERT_TRUE(writeFile(source + "Projets\\\xC9t\xE9.txt", bytesOfSize(5000)));
  ASSERT_TRUE(writeFile(source + "l\x92\xE9t\xE9.txt", "apostrophe"));  // l’été
  ASSERT_TRUE(writeFile(source + "\x9C"
                                 "uvre \x80.txt",
                        "oe and euro"));  // œuvre €
  ASSERT_TRUE(writeFile(source + "plain.txt", "plain"));
  ASSERT_TRUE(writeFile(source + "empty.txt", ""));
  ASSERT_TRUE(writeFile(source + "hidden.txt", "h"));
  setLocalWriteTime(source + "Projets\\\xC9t\xE9.txt", 2012, 5, 5, 14, 3, 9);
  setLocalWriteTime(source + "plain.txt", 1975, 6, 1, 12, 0, 0);
  setLocalWriteTime(source + "hidden.txt", 2120, 6, 1, 12, 0, 0);
  setLocalWriteTime(source + "empty.txt", 2050, 7, 14, 8, 30, 1);
  ASSERT_TRUE(SetFileAttributesA((source + "hidden.txt").c_str(),
                                 FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
  const std::uint32_t hiddenAttributes = GetFileAttributesA((source + "hidden.txt").c_str());
  const std::uint32_t plainAttributes = GetFileAttributesA((source + "plain.txt").c_str());

  EXPECT_EQ(archive(), 5);  // the empty file has an entry but does not count
  EXPECT_TRUE(filesLeftOut().empty());

  ArchiveExpectations expect;
  expect.count = 6;
  expect.uniformMadeBy = 0;
  expect.entriesByName = true;
  expect.entries = std::vector<ExpectedEntry>{
      {"Projets/\x90t\x82.txt", 2u, 20u, std::nullopt, 5000u, dos(2012, 5, 5, 14, 3, 8), false},
      {"l\xE2\x80\x99\xC3\xA9t\xC3\xA9.txt", 0x802u, 20u, {}, 10u, {}, false},
      {"\xC5\x93uvre \xE2\x82\xAC.txt", 0x802u, 20u, {}, 11u, {}, false},
      {"plain.txt", 2u, 20u, plainAttributes, 5u, dos(1980, 1, 1, 0, 0, 0), false},
      {"hidden.txt", 2u, 20u, hiddenAttributes, 1u, dos(2107, 12, 31, 23, 59, 58), false},
      {"empty.txt", 2u, 20u, {}, 0u, dos(2050, 7, 14, 8, 30, 0), false},
  };
  EXPECT_EQ(verdict(expect), "OK");
  EXPECT_EQ(hiddenAttributes & FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_HIDDEN);
}

TEST_F(Archiver, fileDatedAtTheStartOf1970IsLeftOut) {
  ASSERT_TRUE(writeFile(source + "epoch.txt", "epoch"));
  ASSERT_TRUE(writeFile(source + "now.txt", "now"));
  setLocalWriteTime(source + "epoch.txt", 1970, 1, 1, 0, 0, 0);
  EXPECT_EQ(archive(), 1);
  EXPECT_EQ(filesLeftOut(), std::vector<std::string>{source + "epoch.txt"});
  EXPECT_EQ(archiveEntryCount(zipPath), 1);
}

TEST_F(Archiver, chunksOf102400BytesWithAPauseAfterEach) {
  ArchiverTestHooks counting{true, countPause, nullptr, nullptr};
  setArchiverTestHooks(&counting);
  ASSERT_TRUE(writeFile(source + "one.bin", bytesOfSize(102400)));
  EXPECT_EQ(archive(), 1);
  EXPECT_EQ(pauses, 1);

  DeleteFileA(zipPath.c_str());
  ASSERT_TRUE(writeFile(source + "one.bin", bytesOfSize(102401)));
  pauses = 0;
  ULONGLONG start = GetTickCount64();
  EXPECT_EQ(archive(), 1);
  EXPECT_GE(GetTickCount64() - start, 20u);  // two real pauses of 10 ms
  EXPECT_EQ(pauses, 2);
  ArchiveExpectations expect;
  expect.entries = std::vector<ExpectedEntry>{{"one.bin", 2u, 20u, {}, 102401u, {}, false}};
  EXPECT_EQ(verdict(expect), "OK");
}

TEST_F(Archiver, onlyEmptyFilesGiveEmptyEntriesAndACountOfZero) {
  ASSERT_TRUE(writeFile(source + "a", ""));
  ASSERT_TRUE(writeFile(source + "Sub\\b", ""));
  EXPECT_EQ(archive(), 0);
  ArchiveExpectations expect;
  expect.count = 2;
  expect.uniformFlag = 2;
  EXPECT_EQ(verdict(expect), "OK");
}

TEST_F(Archiver, emptySourceWritesAnArchiveWithoutEntries) {
  ASSERT_TRUE(makeFolders(source + "Empty\\"));
  EXPECT_EQ(archive(), 0);
  // Only the end record. minizip's reader does not open such an archive, so
  // it counts as no archive: the next pass creates the file anew.
  EXPECT_EQ(readFile(zipPath), std::string("PK\x05\x06", 4) + std::string(18, '\0'));
  EXPECT_EQ(archiveEntryCount(zipPath), -1);
}

TEST_F(Archiver, filesOthersHoldOpenAreLeftOutAndNamed) {
  ASSERT_TRUE(writeFile(source + "free.txt", "free"));
  ASSERT_TRUE(writeFile(source + "writing.txt", "being written"));
  ASSERT_TRUE(writeFile(source + "locked.txt", "locked"));
  // A writer that lets others read: the file cannot be opened for reading
  // without sharing writes.
  HANDLE writer = CreateFileA((source + "writing.txt").c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  // A reader that shares nothing: the file cannot be opened at all.
  HANDLE locker = CreateFileA((source + "locked.txt").c_str(), GENERIC_READ, 0, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  ASSERT_NE(locker, INVALID_HANDLE_VALUE);
  buildFileList(source, "*.*", 1);
  std::vector<std::string> order = listedPaths();
  EXPECT_EQ(archive(), 1);
  CloseHandle(writer);
  CloseHandle(locker);

  std::vector<std::string> expectedLeftOut;
  for (const std::string& path : order) {
    if (path.find("free.txt") == std::string::npos) expectedLeftOut.push_back(path);
  }
  EXPECT_EQ(filesLeftOut(), expectedLeftOut);
  ArchiveExpectations expect;
  expect.entries = std::vector<ExpectedEntry>{{"free.txt", 2u, 20u, {}, 4u, {}, false}};
  EXPECT_EQ(verdict(expect), "OK");
}

TEST_F(Archiver, archiveInsideTheSourceLeavesItselfOut) {
  ASSERT_TRUE(writeFile(source + "a.txt", "a"));
  ASSERT_TRUE(writeFile(source + "b.txt", "b"));
  const std::string inside = source + "inside.Zip";
  EXPECT_EQ(archive(inside), 2);
  EXPECT_EQ(filesLeftOut(), std::vector<std::string>{inside});
  ArchiveExpectations expect;
  expect.count = 2;
  EXPECT_EQ(checkWithReaders(inside, expect), "OK");
}

TEST_F(Archiver, existingArchiveWithEntriesIsAddedTo) {
  ASSERT_TRUE(writeFile(source + "a.txt", "first"));
  EXPECT_EQ(archive(), 1);
  EXPECT_EQ(archive(), 1);  // the same file again, after the first entry
  EXPECT_EQ(archiveEntryCount(zipPath), 2);
  ArchiveExpectations expect;
  expect.entries = std::vector<ExpectedEntry>{{"a.txt", 2u, 20u, {}, 5u, {}, false},
                                              {"a.txt", 2u, 20u, {}, 5u, {}, false}};
  EXPECT_EQ(verdict(expect), "OK");
}

TEST_F(Archiver, nonArchiveOrEmptyArchiveIsReplaced) {
  ASSERT_TRUE(writeFile(source + "a.txt", "first"));
  ASSERT_TRUE(writeFile(zipPath, std::string(1000, 'g')));
  EXPECT_EQ(archiveEntryCount(zipPath), -1);
  EXPECT_EQ(archive(), 1);
  EXPECT_EQ(archiveEntryCount(zipPath), 1);

  TempFolder emptySource;
  EXPECT_EQ(archiveFolder(zipPath + "2", emptySource.path() + "*.*", 2, 1), 0);
  EXPECT_LE(archiveEntryCount(zipPath + "2"), 0);
  ASSERT_TRUE(MoveFileExA((zipPath + "2").c_str(), zipPath.c_str(), MOVEFILE_REPLACE_EXISTING));
  EXPECT_EQ(archive(), 1);
  EXPECT_EQ(archiveEntryCount(zipPath), 1);
  EXPECT_EQ(verdict({}), "OK");
}

namespace {

int filesDone = 0;
void stopAfterTwoFiles() {
  if (++filesDone == 2) requestArchiveStop();
}
void stopAtFirstPause() { requestArchiveStop(); }

}  // namespace

TEST_F(Archiver, stopBetweenFilesAddsNothingMoreAndReleasesTheArchive) {
  for (int i = 0; i < 10; ++i) ASSERT_TRUE(writeFile(source + std::to_string(i), "data"));
  filesDone = 0;
  ArchiverTestHooks hooks{false, nullptr, stopAfterTwoFiles, nullptr};
  setArchiverTestHooks(&hooks);
  EXPECT_EQ(archive(), 0);
  EXPECT_EQ(archiveEntryCount(zipPath), 2);
  EXPECT_TRUE(DeleteFileA(zipPath.c_str()));
}

TEST_F(Archiver, stopBetweenChunksReleasesTheSourceAndTheArchive) {
  ASSERT_TRUE(writeFile(source + "big.bin", bytesOfSize(10 * 102400)));
  ASSERT_TRUE(writeFile(source + "other.txt", "x"));
  ArchiverTestHooks hooks{false, stopAtFirstPause, nullptr, nullptr};
  setArchiverTestHooks(&hooks);
  EXPECT_EQ(archive(), 0);
  EXPECT_LE(archiveEntryCount(zipPath), 1);
  EXPECT_TRUE(DeleteFileA(zipPath.c_str()));
  // The source file is closed: it can be opened without sharing.
  HANDLE exclusive = CreateFileA((source + "big.bin").c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  EXPECT_NE(exclusive, INVALID_HANDLE_VALUE);
  CloseHandle(exclusive);
}

namespace {

// A file layer that fails every write past a byte budget, as a full disk does.
zlib_filefunc64_def win32Io;
std::atomic<long long> writeBudget{0};

uLong ZCALLBACK limitedWrite(voidpf opaque, voidpf stream, const void* buffer, uLong size) {
  if (writeBudget.fetch_sub(static_cast<long long>(size)) < static_cast<long long>(size)) return 0;
  return win32Io.zwrite_file(opaque, stream, buffer, size);
}

}  // namespace

TEST_F(Archiver, archiveThatCannotBeCompletedIsAFailedPass) {
  ASSERT_TRUE(writeFile(source + "a.bin", bytesOfSize(300000)));
  ASSERT_TRUE(writeFile(source + "b.bin", bytesOfSize(300000)));
  fill_win32_filefunc64A(&win32Io);
  zlib_filefunc64_def limited = win32Io;
  limited.zwrite_file = limitedWrite;
  ArchiverTestHooks hooks{false, nullptr, nullptr, &limited};
  setArchiverTestHooks(&hooks);

  writeBudget = 1LL << 40;
  EXPECT_EQ(archive(), 2);
  WIN32_FILE_ATTRIBUTE_DATA data;
  ASSERT_TRUE(GetFileAttributesExA(zipPath.c_str(), GetFileExInfoStandard, &data));
  const long long whole = data.nFileSizeLow;
  // The disk fills up in the data of the second file, then only in the
  // central directory: both passes fail.
  for (long long budget : {whole / 2, whole - 20}) {
    DeleteFileA(zipPath.c_str());
    writeBudget = budget;
    EXPECT_EQ(archive(), 0) << budget;
  }
}

namespace {

bool sameIdentityForEveryFolder(const std::string&, FileIdentity& identity) {
  identity = {0x5A, 7, 0};
  return true;
}
bool noIdentityForAnyFolder(const std::string&, FileIdentity&) { return false; }

}  // namespace

// Identities are not unique on every file system: ordinary folders that
// report the same one are walked all the same.
TEST_F(Archiver, foldersWithoutUniqueIdentitiesAreWalkedWhole) {
  for (const char* name : {"a.txt", "A\\b.txt", "A\\B\\c.txt", "C\\d.txt", "C\\A\\e.txt"}) {
    ASSERT_TRUE(writeFile(source + name, name));
  }
  for (auto query : {sameIdentityForEveryFolder, noIdentityForAnyFolder}) {
    setFileIdentityQueryForTests(query);
    fileList.clear();
    buildFileList(source, "*.*", 1);
    setFileIdentityQueryForTests(nullptr);
    std::vector<std::string> expected;
    listPreOrder(source, expected);
    EXPECT_EQ(listedPaths(), expected);
    EXPECT_EQ(expected.size(), 5u);
  }
}

TEST_F(Archiver, readThatFailsLeavesTheFileUncountedAndNamed) {
  struct Case {
    int failingRead;            // counted from 0
    std::uint64_t storedBytes;  // what the entry holds: the chunks read before
  } cases[] = {{0, 0}, {2, 2 * 102400}};
  for (const Case& c : cases) {
    ASSERT_TRUE(writeFile(source + "a.txt", "before"));
    ASSERT_TRUE(writeFile(source + "big.bin", bytesOfSize(350000)));
    ASSERT_TRUE(writeFile(source + "z.txt", "after"));
    SourceReadFault fault{"\\big.bin", c.failingRead};
    setSourceReadFaultForTests(&fault);
    EXPECT_EQ(archive(), 2) << c.failingRead;
    setSourceReadFaultForTests(nullptr);
    EXPECT_EQ(filesLeftOut(), std::vector<std::string>{source + "big.bin"}) << c.failingRead;
    ArchiveExpectations expect;
    expect.entriesByName = true;
    expect.entries = std::vector<ExpectedEntry>(3);
    (*expect.entries)[0].name = "a.txt";
    (*expect.entries)[0].size = 6u;
    (*expect.entries)[1].name = "big.bin";
    (*expect.entries)[1].size = c.storedBytes;
    (*expect.entries)[2].name = "z.txt";
    (*expect.entries)[2].size = 5u;
    EXPECT_EQ(verdict(expect), "OK") << c.failingRead;
    DeleteFileA(zipPath.c_str());
  }
}

// Deflating each chunk while the pass pauses changes nothing in the archive.
TEST_F(Archiver, overlappedCompressionWritesTheSameBytes) {
  for (int i = 0; i < 200; ++i) {
    ASSERT_TRUE(writeFile(source + (i % 4 ? "" : "Sous\\") + "f" + std::to_string(i) + ".txt",
                          bytesOfSize(static_cast<std::size_t>(i * 37 % 3000))));
  }
  for (std::size_t size : {350000u, 1048576u, 250001u}) {
    ASSERT_TRUE(writeFile(source + "big" + std::to_string(size) + ".bin", bytesOfSize(size)));
  }
  setArchiverTestHooks(&fast);
  const std::int32_t overlapped = archive();
  const std::string withHelper = readFile(zipPath);
  ASSERT_TRUE(DeleteFileA(zipPath.c_str()));
  setCompressionOverlapForTests(false);
  const std::int32_t inOrder = archive();
  setCompressionOverlapForTests(true);
  const std::string withoutHelper = readFile(zipPath);
  EXPECT_EQ(overlapped, inOrder);
  EXPECT_GT(withHelper.size(), 100000u);
  EXPECT_TRUE(withHelper == withoutHelper) << withHelper.size() << " vs " << withoutHelper.size();
  ArchiveExpectations expect;
  expect.count = 203;
  EXPECT_EQ(verdict(expect), "OK");
}

TEST_F(Archiver, stopAtAnyMomentLeavesADeletableArchiveAndNoOpenFile) {
  for (int i = 0; i < 30; ++i) {
    ASSERT_TRUE(writeFile(source + "f" + std::to_string(i) + ".bin", bytesOfSize(300000)));
  }
  for (DWORD delay : {0u, 3u, 15u, 40u, 100u, 250u, 600u}) {
    initArchiver();
    std::thread stopper([delay] {
      Sleep(delay);
      requestArchiveStop();
    });
    archive();
    stopper.join();
    EXPECT_TRUE(DeleteFileA(zipPath.c_str())) << delay;
    for (int i = 0; i < 30; ++i) {
      const std::string path = source + "f" + std::to_string(i) + ".bin";
      HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
      EXPECT_NE(file, INVALID_HANDLE_VALUE) << delay << " " << path;
      if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    }
  }
}
