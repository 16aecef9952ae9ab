// The read-back check on archives written by the same minizip as the
// program's.
#include "archive/zip_check.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "zip.h"
#include "zlib.h"

namespace {

class ZipCheck : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = std::filesystem::temp_directory_path() /
             ("zip-check-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
              "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(folder);
    path = (folder / "a.zip").string();
  }
  void TearDown() override { std::filesystem::remove_all(folder); }

  // Writes entries of the given names and contents; returns what was written.
  std::vector<WrittenEntry> write(const std::vector<std::pair<std::string, std::string>>& files,
                                  int mode = APPEND_STATUS_CREATE) {
    std::vector<WrittenEntry> written;
    zipFile zip = zipOpen64(path.c_str(), mode);
    EXPECT_NE(zip, nullptr);
    for (const auto& [name, data] : files) {
      zip_fileinfo info{};
      EXPECT_EQ(zipOpenNewFileInZip(zip, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                                    Z_DEFLATED, 9),
                ZIP_OK);
      EXPECT_EQ(zipWriteInFileInZip(zip, data.data(), static_cast<unsigned>(data.size())), ZIP_OK);
      EXPECT_EQ(zipCloseFileInZip(zip), ZIP_OK);
      auto crc =
          crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size()));
      written.push_back({name, static_cast<std::uint32_t>(crc), data.size()});
    }
    EXPECT_EQ(zipClose(zip, nullptr), ZIP_OK);
    return written;
  }

  void flipByteAt(std::streamoff offset) {
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    file.seekg(offset);
    char c = 0;
    file.read(&c, 1);
    file.seekp(offset);
    c = static_cast<char>(c ^ 0x55);
    file.write(&c, 1);
  }

  std::filesystem::path folder;
  std::string path;
  std::atomic<bool> stop{false};
};

std::string sampleData() {
  std::string data;
  for (int i = 0; i < 300000; ++i)
    data += static_cast<char>('a' + (i % 26) * 7 % 26 + (i % 7 == 0));
  return data;
}

}  // namespace

TEST_F(ZipCheck, acceptsWhatWasWritten) {
  auto written = write({{"a.txt", sampleData()}, {"Sub/\x90t\x82.txt", ""}, {"b", "x"}});
  EXPECT_TRUE(verifyWrittenEntries(path, nullptr, 0, written, stop));
}

TEST_F(ZipCheck, rejectsAnyDifference) {
  auto written = write({{"a.txt", sampleData()}, {"b.txt", "hello"}});
  struct Case {
    const char* what;
    std::vector<WrittenEntry> expected;
  } cases[] = {
      {"other name", {{"A.txt", written[0].crc, written[0].size}, written[1]}},
      {"other CRC", {{written[0].name, written[0].crc ^ 1, written[0].size}, written[1]}},
      {"other size", {{written[0].name, written[0].crc, written[0].size - 1}, written[1]}},
      {"entry missing", {written[0]}},
      {"entry too many", {written[0], written[1], written[1]}},
  };
  for (const Case& c : cases)
    EXPECT_FALSE(verifyWrittenEntries(path, nullptr, 0, c.expected, stop)) << c.what;
  EXPECT_FALSE(verifyWrittenEntries(path + ".missing", nullptr, 0, written, stop));
}

TEST_F(ZipCheck, rejectsCorruptDeflateData) {
  auto written = write({{"a.txt", sampleData()}});
  flipByteAt(30 + 5 + 500);  // inside the compressed data of the only entry
  EXPECT_FALSE(verifyWrittenEntries(path, nullptr, 0, written, stop));
}

TEST_F(ZipCheck, checksOnlyTheEntriesAfterTheExistingOnes) {
  auto first = write({{"old.txt", "old"}});
  auto added = write({{"new.txt", sampleData()}}, APPEND_STATUS_ADDINZIP);
  EXPECT_TRUE(verifyWrittenEntries(path, nullptr, 1, added, stop));
  EXPECT_FALSE(verifyWrittenEntries(path, nullptr, 0, added, stop));
}

TEST_F(ZipCheck, stopsWhenAsked) {
  auto written = write({{"a.txt", sampleData()}});
  stop = true;
  EXPECT_FALSE(verifyWrittenEntries(path, nullptr, 0, written, stop));
}

TEST_F(ZipCheck, readsBackExactly65535Entries) {
  // minizip's reader sees no end of a list of exactly 65,535 entries.
  std::vector<std::pair<std::string, std::string>> files;
  for (int i = 0; i < 65535; ++i) files.emplace_back("f" + std::to_string(i), "x");
  auto written = write(files);
  EXPECT_TRUE(verifyWrittenEntries(path, nullptr, 0, written, stop));
}
