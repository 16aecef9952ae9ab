// The folder archiver: one ZIP archive of a folder tree, deflate level 9,
// written with minizip. Windows build only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

inline constexpr int compressionMethod = 8;  // Z_DEFLATED
inline constexpr int compressionLevel = 9;
inline constexpr std::size_t readBufferSize = 102400;
inline constexpr unsigned pauseAfterChunkMs = 10;

// Start-up, main thread: empties the file list and clears any stop request.
void initArchiver();

// Every end of the process, main thread: empties the file list.
void releaseArchiver();

// Archives every file under the folder part of `filePattern` (up to and
// including its last "\" or "/") into the archive at `archivePath`: adds to
// an existing ZIP archive that has entries, creates the file otherwise.
// Entry names are relative to that folder (path mode 2), subfolders are
// walked (recursion 1). Returns the number of files archived with their
// data; 0 when the archive cannot be opened, nothing was archived, or the
// finished archive is unreadable or does not read back as written (a failed
// pass). Runs on the calling thread (the worker) and shows no message.
std::int32_t archiveFolder(const std::string& archivePath, const std::string& filePattern,
                           int pathMode, int recursion);

// Asks a running pass to stop: no file is added after it, the open source
// file and the archive are closed, and archiveFolder returns soon. Any
// thread; the next initArchiver clears it.
void requestArchiveStop();

// The files of the last pass that have no entry or whose data could not be
// read in full, with their full paths, in walk order. Read it only after
// archiveFolder has returned.
const std::vector<std::string>& filesLeftOut();

// What the archive of the last pass lacks, in walk order: the files of
// filesLeftOut and the folders that could not be listed (ending with "\").
// Read it only after archiveFolder has returned.
std::vector<std::string> whatTheArchiveLacks();

// The number of entries of a ZIP archive; -1 when the file is missing or is
// not a ZIP archive.
std::int64_t archiveEntryCount(const std::string& path);

// The entry name of a listed path: relative to the base folder, in the OEM
// code page with "/" separators. `utf8` tells that the OEM code page lacks a
// character of the name, which is then given in UTF-8 instead.
std::string entryNameOf(const std::string& path, const std::string& baseFolder, bool& utf8);

// Seams for tests only; the program never sets them.
struct ArchiverTestHooks {
  bool pauseAfterChunks = true;    // false: no 10 ms pause (scale tests)
  void (*onPause)() = nullptr;     // called at every pause
  void (*onFileDone)() = nullptr;  // called after every listed file
  void* io = nullptr;              // a zlib_filefunc64_def to write through
};
void setArchiverTestHooks(const ArchiverTestHooks* hooks);
// Tests and the benchmark: false deflates and writes each chunk before the
// pause that follows it, instead of during it. Set between passes.
void setCompressionOverlapForTests(bool overlap);
