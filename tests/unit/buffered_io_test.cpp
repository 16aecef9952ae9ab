// The buffering file layer under minizip: archives written and read through
// it are the same as without it, and write failures still surface.
#include "archive/buffered_io.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "archive/zip_check.h"
#include "zip.h"
#include "zlib.h"

namespace {

zlib_filefunc64_def plainFiles() {
  zlib_filefunc64_def io{};
  fill_fopen64_filefunc(&io);
  return io;
}

zlib_filefunc64_def plain = plainFiles();
long long budget = 0;

uLong ZCALLBACK limitedWrite(voidpf opaque, voidpf stream, const void* data, uLong size) {
  if (budget < static_cast<long long>(size)) return 0;
  budget -= static_cast<long long>(size);
  return plain.zwrite_file(opaque, stream, data, size);
}

std::string fileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

class BufferedIo : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = std::filesystem::temp_directory_path() /
             ("buffered-io-" +
              std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::create_directories(folder);
  }
  void TearDown() override { std::filesystem::remove_all(folder); }

  // Writes the same entries through `io`; false when minizip reports a failure.
  bool writeArchive(const std::string& path, zlib_filefunc64_def* io, int mode,
                    std::vector<WrittenEntry>& written) {
    zipFile zip = zipOpen2_64(path.c_str(), mode, nullptr, io);
    if (!zip) return false;
    bool ok = true;
    for (int i = 0; i < 300; ++i) {
      std::string name = "dir/file" + std::to_string(i);
      std::string data(static_cast<std::size_t>(i * 997 % 70000), static_cast<char>('a' + i % 26));
      for (std::size_t j = 0; j < data.size(); j += 7) data[j] = static_cast<char>(j);
      zip_fileinfo info{};
      info.dosDate = 0x40A57064;
      ok = ok && zipOpenNewFileInZip(zip, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                                     Z_DEFLATED, 9) == ZIP_OK;
      ok =
          ok && zipWriteInFileInZip(zip, data.data(), static_cast<unsigned>(data.size())) == ZIP_OK;
      ok = ok && zipCloseFileInZip(zip) == ZIP_OK;
      written.push_back(
          {name,
           static_cast<std::uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(data.data()),
                                            static_cast<uInt>(data.size()))),
           data.size()});
    }
    return zipClose(zip, nullptr) == ZIP_OK && ok;
  }

  std::filesystem::path folder;
  std::atomic<bool> stop{false};
};

}  // namespace

TEST_F(BufferedIo, writesTheSameBytesAndReadsThemBack) {
  std::string direct = (folder / "direct.zip").string();
  std::string buffered = (folder / "buffered.zip").string();
  zlib_filefunc64_def layer = bufferedFileLayer(&plain);
  std::vector<WrittenEntry> first, second;
  ASSERT_TRUE(writeArchive(direct, &plain, APPEND_STATUS_CREATE, first));
  ASSERT_TRUE(writeArchive(buffered, &layer, APPEND_STATUS_CREATE, second));
  EXPECT_EQ(fileBytes(direct), fileBytes(buffered));
  EXPECT_TRUE(verifyWrittenEntries(buffered, &layer, 0, second, stop));

  // Adding to an archive reads its central directory and writes after it.
  std::vector<WrittenEntry> added;
  ASSERT_TRUE(writeArchive(buffered, &layer, APPEND_STATUS_ADDINZIP, added));
  EXPECT_TRUE(verifyWrittenEntries(buffered, &layer, 300, added, stop));
  EXPECT_TRUE(verifyWrittenEntries(buffered, nullptr, 300, added, stop));
}

TEST_F(BufferedIo, aWriteThatFailsLaterStillFailsTheArchive) {
  std::string path = (folder / "a.zip").string();
  zlib_filefunc64_def limited = plain;
  limited.zwrite_file = limitedWrite;
  zlib_filefunc64_def layer = bufferedFileLayer(&limited);
  std::vector<WrittenEntry> written;
  budget = 1LL << 40;
  ASSERT_TRUE(writeArchive(path, &layer, APPEND_STATUS_CREATE, written));
  const long long whole = static_cast<long long>(std::filesystem::file_size(path));
  for (long long limit : {0LL, 100LL, whole / 3, whole - 30}) {
    budget = limit;
    written.clear();
    EXPECT_FALSE(writeArchive(path, &layer, APPEND_STATUS_CREATE, written)) << limit;
  }
}
