// Reading the files to archive. Windows build only (source_file_win.cpp).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// A file open for reading that other programs may read but not write while
// it is open. Not copyable; closed when the object goes.
class SourceFile {
 public:
  SourceFile() = default;
  SourceFile(const SourceFile&) = delete;
  SourceFile& operator=(const SourceFile&) = delete;
  ~SourceFile() { close(); }

  // False when the file cannot be opened (held open for writing by another
  // program, locked, vanished, access denied).
  bool open(const std::string& path);
  void close();
  // What the open file's queries tell: its attribute bits (GetFileAttributesA
  // of its path, all bits set when that fails), its UTC last-write time and
  // its size. False when the time or the size cannot be read.
  struct Facts {
    std::uint32_t attributes = 0;
    std::uint64_t lastWriteTime = 0;
    std::uint64_t size = 0;
  };
  bool facts(const std::string& path, Facts& facts) const;
  // Reads up to `count` bytes; 0 at the end of the file and after a failed
  // read, which failed() then tells.
  std::size_t read(void* buffer, std::size_t count);
  // Whether no further byte can be read (reads one byte ahead and puts it
  // back; a failed read counts as the end).
  bool atEnd();
  bool failed() const { return failed_; }

 private:
  void* handle_ = nullptr;
  bool failed_ = false;
  int readsBeforeFault_ = -1;   // tests only: the read that fails, counted down
  bool lastReadShort_ = false;  // the last read ended at the end of the file
};

// Tests only: read number `failingRead` (counted from 0) of every file whose
// path ends with `pathEnd` fails, as a failed ReadFile does. nullptr: none.
// Set it between passes, from the thread that archives.
struct SourceReadFault {
  std::string pathEnd;
  int failingRead = 0;
};
void setSourceReadFaultForTests(const SourceReadFault* fault);

// Sleeps for the given milliseconds with the system timer resolution raised
// to 1 ms around the sleep.
void pauseMilliseconds(unsigned milliseconds);

// The text converted from the ANSI to the OEM code page, the same length.
// `exact` tells whether converting back gives the same text, that is
// whether the OEM code page holds every character.
std::string oemFromAnsi(const std::string& text, bool& exact);

// The text converted from the ANSI code page to UTF-8.
std::string utf8FromAnsi(const std::string& text);
