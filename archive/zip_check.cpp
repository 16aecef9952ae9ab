#include "archive/zip_check.h"

#include <memory>

#include "unzip.h"
#include "zlib.h"

namespace {

constexpr unsigned readChunk = 102400;

class Reader {
 public:
  Reader(const std::string& path, zlib_filefunc64_def* io)
      : handle_(io ? unzOpen2_64(path.c_str(), io) : unzOpen64(path.c_str())) {}
  Reader(const Reader&) = delete;
  Reader& operator=(const Reader&) = delete;
  ~Reader() {
    if (handle_) unzClose(handle_);
  }
  unzFile get() const { return handle_; }

 private:
  unzFile handle_;
};

bool entryMatches(unzFile reader, const WrittenEntry& expected, char* buffer,
                  const std::atomic<bool>& stop) {
  unz_file_info64 info{};
  std::string name(65536, '\0');
  if (unzGetCurrentFileInfo64(reader, &info, name.data(), static_cast<uLong>(name.size()), nullptr,
                              0, nullptr, 0) != UNZ_OK) {
    return false;
  }
  name.resize(info.size_filename);
  if (name != expected.name || info.crc != expected.crc ||
      info.uncompressed_size != expected.size) {
    return false;
  }
  if (unzOpenCurrentFile(reader) != UNZ_OK) return false;
  std::uint64_t total = 0;
  uLong crc = crc32(0, nullptr, 0);
  int got = 0;
  while ((got = unzReadCurrentFile(reader, buffer, readChunk)) > 0) {
    if (stop.load(std::memory_order_relaxed)) {
      unzCloseCurrentFile(reader);
      return false;
    }
    crc = crc32(crc, reinterpret_cast<const Bytef*>(buffer), static_cast<uInt>(got));
    total += static_cast<unsigned>(got);
  }
  // Closing checks the CRC-32 stored in the archive against the data read.
  bool closed = unzCloseCurrentFile(reader) == UNZ_OK;
  return got == 0 && closed && total == expected.size && crc == expected.crc;
}

}  // namespace

bool verifyWrittenEntries(const std::string& path, zlib_filefunc64_def* io,
                          std::uint64_t existingEntries, const std::vector<WrittenEntry>& written,
                          const std::atomic<bool>& stop) {
  Reader reader(path, io);
  if (!reader.get()) return false;
  unz_global_info64 global{};
  if (unzGetGlobalInfo64(reader.get(), &global) != UNZ_OK ||
      global.number_entry != existingEntries + written.size()) {
    return false;
  }
  if (written.empty()) return true;
  std::unique_ptr<char[]> buffer(new (std::nothrow) char[readChunk]);
  if (!buffer) return false;
  // The count was checked above, so the walk steps exactly to the last entry
  // and never asks for the one after it (minizip's reader does not see the
  // end of a list of exactly 65,535 entries).
  int status = unzGoToFirstFile(reader.get());
  for (std::uint64_t i = 0; i < existingEntries && status == UNZ_OK; ++i) {
    status = unzGoToNextFile(reader.get());
  }
  for (std::size_t i = 0; i < written.size(); ++i) {
    if (i > 0) status = unzGoToNextFile(reader.get());
    if (status != UNZ_OK || stop.load(std::memory_order_relaxed)) return false;
    if (!entryMatches(reader.get(), written[i], buffer.get(), stop)) return false;
  }
  return true;
}
