#include "archive/zip_writer.h"

#include <atomic>
#include <memory>

#include "archive/buffered_io.h"
#include "archive/chunk_writer.h"
#include "archive/file_list.h"
#include "archive/zip_check.h"
#include "archive/zip_rules.h"
#include "iowin32.h"
#include "platform/clock.h"
#include "platform/source_file.h"
#include "settings/date_clock.h"
#include "unzip.h"
#include "zip.h"
#include "zlib.h"

namespace {

constexpr unsigned long utf8NameFlag = 0x800;  // general-purpose bit 11

std::atomic<bool> stopRequested{false};
bool overlapCompression = true;  // tests and the benchmark may turn it off
// Worker during a pass, then the main thread: the paths, and where each
// stood in the file list.
std::vector<std::string> leftOut;
std::vector<std::size_t> leftOutPositions;
const ArchiverTestHooks* testHooks = nullptr;

bool stopping() { return stopRequested.load(std::memory_order_relaxed); }

// The file layer of minizip: Win32 files with ANSI paths, buffered. Built
// once; minizip copies the table when it opens a file, and never writes to
// it, so every thread may hand out the same one.
const zlib_filefunc64_def* win32Layer() {
  static const zlib_filefunc64_def win32 = [] {
    zlib_filefunc64_def io{};
    fill_win32_filefunc64A(&io);
    return io;
  }();
  static const zlib_filefunc64_def buffered = bufferedFileLayer(&win32);
  return &buffered;
}

// The layer under a test's own file functions; set before a pass, from the
// thread that runs it.
zlib_filefunc64_def testLayer{};

// minizip takes the table through a non-const pointer but only reads it.
zlib_filefunc64_def* fileLayer() {
  if (testHooks && testHooks->io) return &testLayer;
  return const_cast<zlib_filefunc64_def*>(win32Layer());
}

// The archive being written; closed by the owner at the end of the pass.
class ArchiveWriter {
 public:
  explicit ArchiveWriter(zipFile handle) : handle_(handle) {}
  ArchiveWriter(const ArchiveWriter&) = delete;
  ArchiveWriter& operator=(const ArchiveWriter&) = delete;
  ~ArchiveWriter() { close(); }
  zipFile get() const { return handle_; }
  // Writes the central directory and closes the file; false when that fails.
  bool close() {
    if (!handle_) return true;
    int result = zipClose(handle_, nullptr);
    handle_ = nullptr;
    return result == ZIP_OK;
  }

 private:
  zipFile handle_;
};

zipFile openArchive(const std::string& path, std::int64_t& existingEntries) {
  existingEntries = archiveEntryCount(path);
  int mode = existingEntries > 0 ? APPEND_STATUS_ADDINZIP : APPEND_STATUS_CREATE;
  if (existingEntries < 0) existingEntries = 0;
  return zipOpen2_64(path.c_str(), mode, nullptr, fileLayer());
}

zip_fileinfo entryDescription(std::uint32_t attributes, const DateParts& parts) {
  zip_fileinfo info{};
  info.tmz_date.tm_sec = parts.second;
  info.tmz_date.tm_min = parts.minute;
  info.tmz_date.tm_hour = parts.hour;
  info.tmz_date.tm_mday = parts.day;
  info.tmz_date.tm_mon = parts.month - 1;
  info.tmz_date.tm_year = parts.year;
  info.dosDate = dosDateTimeOf(parts);
  info.internal_fa = 0;
  info.external_fa = attributes;
  return info;
}

void pauseAfterChunk() {
  if (testHooks && testHooks->onPause) testHooks->onPause();
  if (!testHooks || testHooks->pauseAfterChunks) pauseMilliseconds(pauseAfterChunkMs);
}

enum class FileOutcome { archived, emptyEntry, leftOut, archiveBroken };

// One chunk's deflate and write, with the CRC-32 and size of what was
// handed to the writer. Runs on the chunk writer's helper; the entry is read
// by the archiving thread only after the chunk writer has finished.
struct ChunkTarget {
  zipFile archive;
  WrittenEntry* entry;
};

int writeChunk(void* context, const char* data, std::size_t size) {
  auto* target = static_cast<ChunkTarget*>(context);
  const int result = zipWriteInFileInZip(target->archive, data, static_cast<unsigned>(size));
  target->entry->crc = static_cast<std::uint32_t>(
      crc32(target->entry->crc, reinterpret_cast<const Bytef*>(data), static_cast<uInt>(size)));
  target->entry->size += size;
  return result;
}

// One listed file: its entry and its data. The source file is opened before
// the entry, so that a file that cannot be read leaves no empty entry that
// would stand for it.
FileOutcome archiveFile(zipFile archive, const std::string& path, const std::string& baseFolder,
                        ChunkWriter& chunks, std::vector<WrittenEntry>& written) {
  // One open serves the time, the size and the data. A file that another
  // program holds open for writing, or without sharing, cannot be opened and
  // is left out.
  SourceFile source;
  SourceFile::Facts facts;
  if (!source.open(path) || !source.facts(path, facts)) return FileOutcome::leftOut;
  if (dateValueFromFileTime(facts.lastWriteTime) == 0) return FileOutcome::leftOut;
  // The entry takes the calendar parts of the local time directly, so that
  // times after 2038 (beyond a DateValue) keep their date.
  DateParts parts;
  localPartsOfFileTime(facts.lastWriteTime, parts);
  zip_fileinfo info = entryDescription(facts.attributes, parts);
  const std::uint64_t size = facts.size;
  // Two buffers: one is read into while the other is being written.
  std::unique_ptr<char[]> buffers(new (std::nothrow) char[2 * readBufferSize]);
  if (!buffers) return FileOutcome::leftOut;

  bool utf8 = false;
  WrittenEntry entry;
  entry.name = entryNameOf(path, baseFolder, utf8);
  int zip64 = needsZip64(size) ? 1 : 0;
  if (zipOpenNewFileInZip4_64(archive, entry.name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                              compressionMethod, compressionLevel, 0, -MAX_WBITS, DEF_MEM_LEVEL,
                              Z_DEFAULT_STRATEGY, nullptr, 0, 0, utf8 ? utf8NameFlag : 0,
                              zip64) != ZIP_OK) {
    return FileOutcome::leftOut;
  }

  FileOutcome outcome = FileOutcome::emptyEntry;
  entry.crc = static_cast<std::uint32_t>(crc32(0, nullptr, 0));
  if (size > 0) {
    // Each chunk is deflated and written while the pass pauses after
    // reading it; the entry is complete once the chunk writer has finished.
    // A buffer is read into again once its chunk is written, so the helper
    // may still be deflating one chunk while the next is read and paused
    // after: a slow chunk is caught up during the pauses that follow.
    ChunkTarget target{archive, &entry};
    std::uint64_t tickets[2] = {0, 0};
    std::size_t chunk = 0;
    do {
      const std::size_t which = chunk++ % 2;
      char* buffer = buffers.get() + which * readBufferSize;
      if (tickets[which] != 0) chunks.waitUntilWritten(tickets[which]);
      std::size_t got = source.read(buffer, readBufferSize);
      tickets[which] = chunks.write(writeChunk, &target, buffer, got);
      pauseAfterChunk();
    } while (!stopping() && !source.atEnd());
    const int lastWrite = chunks.finish();
    bool whole = lastWrite == ZIP_OK && !source.failed() && !stopping();
    outcome = whole ? FileOutcome::archived : FileOutcome::leftOut;
  }
  buffers.reset();
  source.close();
  if (zipCloseFileInZip(archive) != ZIP_OK) return FileOutcome::archiveBroken;
  written.push_back(std::move(entry));
  return outcome;
}

}  // namespace

void initArchiver() {
  fileList.clear();
  leftOut.clear();
  leftOutPositions.clear();
  stopRequested = false;
}

void releaseArchiver() {
  fileList.clear();
  fileList.shrink_to_fit();
  unlistedFolders.clear();
  leftOut.clear();
  leftOutPositions.clear();
}

void requestArchiveStop() { stopRequested = true; }

const std::vector<std::string>& filesLeftOut() { return leftOut; }

std::vector<std::string> whatTheArchiveLacks() {
  std::vector<std::string> lacking;
  std::size_t folder = 0;
  for (std::size_t file = 0; file < leftOut.size(); ++file) {
    // A folder met before this file's place in the walk comes first.
    while (folder < unlistedFolders.size() &&
           unlistedFolders[folder].filesBefore <= leftOutPositions[file]) {
      lacking.push_back(unlistedFolders[folder++].path);
    }
    lacking.push_back(leftOut[file]);
  }
  while (folder < unlistedFolders.size()) lacking.push_back(unlistedFolders[folder++].path);
  return lacking;
}

void setCompressionOverlapForTests(bool overlap) { overlapCompression = overlap; }

void setArchiverTestHooks(const ArchiverTestHooks* hooks) {
  testHooks = hooks;
  if (hooks && hooks->io) {
    testLayer = bufferedFileLayer(static_cast<const zlib_filefunc64_def*>(hooks->io));
  }
}

std::int64_t archiveEntryCount(const std::string& path) {
  unzFile reader = unzOpen2_64(path.c_str(), fileLayer());
  if (!reader) return -1;
  unz_global_info64 info{};
  int result = unzGetGlobalInfo64(reader, &info);
  unzClose(reader);
  if (result != UNZ_OK) return result;
  return static_cast<std::int64_t>(info.number_entry);
}

std::string entryNameOf(const std::string& path, const std::string& baseFolder, bool& utf8) {
  std::string relative = relativeEntryPath(path, baseFolder);
  bool exact = false;
  std::string oem = oemFromAnsi(relative, exact);
  utf8 = !exact;
  return withForwardSlashes(exact ? oem : utf8FromAnsi(relative));
}

std::int32_t archiveFolder(const std::string& archivePath, const std::string& filePattern,
                           int /*pathMode*/, int recursion) {
  leftOut.clear();
  leftOutPositions.clear();
  std::int64_t existingEntries = 0;
  ArchiveWriter archive(openArchive(archivePath, existingEntries));
  if (!archive.get()) return 0;

  std::size_t separator = filePattern.find_last_of("\\/");
  std::string baseFolder =
      separator == std::string::npos ? std::string() : filePattern.substr(0, separator + 1);
  std::string namePattern =
      separator == std::string::npos ? filePattern : filePattern.substr(separator + 1);

  fileList.clear();
  buildFileList(baseFolder, namePattern, recursion);
  if (fileList.empty()) {
    archive.close();
    return 0;
  }

  std::int32_t count = 0;
  bool broken = false;
  std::vector<WrittenEntry> written;
  ChunkWriter chunks(overlapCompression);
  for (std::size_t i = 0; i < fileList.size(); ++i) {
    if (broken || stopping()) break;
    const std::string& path = fileList[i].path;
    switch (archiveFile(archive.get(), path, baseFolder, chunks, written)) {
      case FileOutcome::archived: ++count; break;
      case FileOutcome::emptyEntry: break;
      case FileOutcome::leftOut:
        leftOut.push_back(path);
        leftOutPositions.push_back(i);
        break;
      case FileOutcome::archiveBroken: broken = true; break;
    }
    if (testHooks && testHooks->onFileDone) testHooks->onFileDone();
  }
  fileList.clear();
  if (!archive.close() || broken || stopping()) return 0;
  // Nothing is reported as archived before it reads back as written.
  if (!verifyWrittenEntries(archivePath, fileLayer(), static_cast<std::uint64_t>(existingEntries),
                            written, stopRequested)) {
    return 0;
  }
  return count;
}
