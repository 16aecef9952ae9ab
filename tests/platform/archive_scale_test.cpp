// The archiver at the limits of the format and of the file system: many
// entries, files of 4 GiB and more, deep trees, folder links that loop.
#include <windows.h>

#include <gtest/gtest.h>

#include "archive/file_list.h"
#include "archive/zip_writer.h"
#include "tests/support/readers.h"
#include "tests/support/temp_folder.h"

namespace {

class ArchiverScale : public ::testing::Test {
 protected:
  void SetUp() override {
    initArchiver();
    // No 10 ms pause per chunk: it would make these runs last for hours.
    setArchiverTestHooks(&fast);
    ASSERT_TRUE(makeFolders(source));
  }
  void TearDown() override {
    setArchiverTestHooks(nullptr);
    releaseArchiver();
  }
  std::int32_t archive() { return archiveFolder(zipPath, source + "*.*", 2, 1); }

  ArchiverTestHooks fast{false, nullptr, nullptr, nullptr};
  TempFolder temp;
  const std::string source = temp / "src\\";
  const std::string zipPath = temp / "out.Zip";
};

bool makeSparseFile(const std::string& path, long long size) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER end;
  end.QuadPart = size - 1;
  DWORD written = 0;
  bool ok = SetFilePointerEx(file, end, nullptr, FILE_BEGIN) &&
            WriteFile(file, "!", 1, &written, nullptr) && written == 1;
  CloseHandle(file);
  return ok;
}

}  // namespace

TEST_F(ArchiverScale, entryCountsAroundTheLimitOfPlainEndRecords) {
  for (int files : {65535, 70000}) {
    removeTree(source);
    DeleteFileA(zipPath.c_str());
    // Created on the host, where 70,000 small files take a second.
    std::string made =
        runOnHost("cd '" + unixPathOf(temp.path()) +
                  "' && mkdir src && cd src && python3 -c \"import os\n"
                  "for i in range(" +
                  std::to_string(files) +
                  "):\n"
                  " d = 'd%03d' % (i % 100)\n"
                  " os.makedirs(d, exist_ok=True)\n"
                  " open(os.path.join(d, 'f%05d' % i), 'w').write('x')\" && echo made");
    ASSERT_EQ(made, "made");
    EXPECT_EQ(archive(), files);
    ArchiveExpectations expect;
    expect.count = static_cast<std::uint64_t>(files);
    expect.uniformFlag = 2;
    expect.uniformVersion = 20;
    // Above 65,535 the count needs the Zip64 end record. At exactly 65,535
    // minizip writes 0xFFFF (the true count) and no Zip64 record.
    expect.zip64End = files > 65535;
    EXPECT_EQ(checkWithReaders(zipPath, expect), "OK") << files;
  }
}

TEST_F(ArchiverScale, filesOf4GiBAndMoreGetZip64Entries) {
  // Above 4 GiB the central directory says Zip64 too (version 45); just
  // below, only the local header carries the Zip64 field that the margin for
  // deflate's growth chose.
  struct Case {
    long long size;
    std::optional<unsigned> version;
  } cases[] = {{5LL << 30, 45u}, {(4LL << 30) - 2, 20u}};
  for (const Case& c : cases) {
    DeleteFileA(zipPath.c_str());
    removeTree(source);
    ASSERT_TRUE(makeFolders(source));
    ASSERT_TRUE(makeSparseFile(source + "big.bin", c.size));
    ASSERT_TRUE(writeFile(source + "small.txt", "small"));
    EXPECT_EQ(archive(), 2) << c.size;
    ArchiveExpectations expect;
    expect.entriesByName = true;
    expect.entries = std::vector<ExpectedEntry>{
        {"big.bin", 2u, c.version, {}, static_cast<std::uint64_t>(c.size), {}, true},
        {"small.txt", 2u, 20u, {}, 5u, {}, false},
    };
    EXPECT_EQ(checkWithReaders(zipPath, expect), "OK") << c.size;
  }
}

TEST_F(ArchiverScale, deepTreeIsArchivedUpToThePathLimit) {
  // 200 levels, one file in each, made with the long-path form where the
  // ANSI functions stop.
  wchar_t wide[MAX_PATH] = {};
  MultiByteToWideChar(CP_ACP, 0, source.c_str(), -1, wide, MAX_PATH);
  std::wstring folder = std::wstring(L"\\\\?\\") + wide;
  for (int level = 0; level < 200; ++level) {
    folder += L"d\\";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr)) << level;
    HANDLE file = CreateFileW((folder + L"f").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, "x", 1, &written, nullptr);
    CloseHandle(file);
  }
  std::int32_t count = archive();
  // Every level whose file path fits the ANSI limit is archived; the first
  // folder beyond it is remembered as not listed.
  const int fitting =
      static_cast<int>((MAX_PATH - 1 - 4 - source.size()) / 2);  // "d\" a level, "*.*"
  EXPECT_GE(count, fitting - 2);
  EXPECT_LE(count, fitting + 2);
  EXPECT_EQ(unlistedFolders.size(), 1u);
  ArchiveExpectations expect;
  expect.count = static_cast<std::uint64_t>(count) + filesLeftOut().size();
  EXPECT_EQ(checkWithReaders(zipPath, expect), "OK");
  removeTree(std::string("\\\\?\\") + source);
}

TEST_F(ArchiverScale, folderLinkBackToAnAncestorIsNotEnteredAgain) {
  ASSERT_TRUE(writeFile(source + "top.txt", "top"));
  ASSERT_TRUE(writeFile(source + "a\\inner.txt", "inner"));
  ASSERT_TRUE(writeFile(source + "a\\b\\deep.txt", "deep"));
  std::string linked = runOnHost(
      "ln -s '" + unixPathOf(source) + "' '" + unixPathOf(source + "a\\b") + "/loop' && ln -s '" +
      unixPathOf(source + "a\\b") + "' '" + unixPathOf(source) + "sideways' && echo linked");
  ASSERT_EQ(linked, "linked");
  ASSERT_TRUE(isFolderPath(source + "a\\b\\loop\\a"));
  // The three files, and the one under the link to a folder that is no
  // ancestor of the link.
  EXPECT_EQ(archive(), 4);
  ArchiveExpectations expect;
  expect.entriesByName = true;
  expect.count = 4;
  expect.entries = std::vector<ExpectedEntry>(4);
  const char* names[] = {"top.txt", "a/inner.txt", "a/b/deep.txt", "sideways/deep.txt"};
  for (int i = 0; i < 4; ++i) (*expect.entries)[static_cast<std::size_t>(i)].name = names[i];
  EXPECT_EQ(checkWithReaders(zipPath, expect), "OK");
}
