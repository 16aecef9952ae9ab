// File-system services of the platform, as the program uses them. Texts are
// ANSI-code-page paths. Windows build only (files_win.cpp).
#pragma once

#include <cstdint>
#include <string>

// Results of fileSizeOf besides a size.
inline constexpr std::int64_t noSuchPath = -1;
inline constexpr std::int64_t pathIsFolder = -2;

// The size in bytes of the file at the path; -1 when the text is empty or
// nothing exists there; -2 when it names a folder. Only the first 260
// characters count and trailing backslashes are ignored. A drive name (C: or
// C:\) is a folder when the drive exists; the root of a network share is a
// folder. A text holding the wildcards * or ? names nothing.
std::int64_t fileSizeOf(const std::string& path);

// Creates one folder (default security). False when it cannot be created.
bool createFolder(const std::string& path);

// Removes a file. False when it could not be removed.
bool deleteFile(const std::string& path);

// Copies the file at `from` to `to`, replacing a file there, and flushes the
// copy to the disk before returning. False when any part fails.
bool copyFileWrittenThrough(const std::string& from, const std::string& to);

// Moves the file at `from` over `to` in one step, replacing a file there,
// written through to the disk. False when it fails; both stay as they were.
bool moveFileReplacing(const std::string& from, const std::string& to);

// Copies `from` into `staging` (replaced when it exists), written through,
// then moves it over `target` in one step: `target` is never seen half
// written. False when either step fails; the staging copy is then removed
// and `target` is as it was.
bool copyByWayOf(const std::string& from, const std::string& staging, const std::string& target);

// Whether the two paths name the same existing file (the same volume and
// file identifier, however the paths are spelt).
bool sameFile(const std::string& a, const std::string& b);

// The process's current folder, ending with a backslash (at most 260
// characters as the system reports it).
std::string currentFolder();

// The user's temporary folder in its long form, ending with a backslash; the
// system's text as is when the long-form conversion is not available, and the
// empty text when the conversion fails.
std::string temporaryFolder();

// The full path of the running executable, whatever its length; the empty
// text when the system cannot give it.
std::string programPath();

// The raw command line of the process.
std::string processCommandLine();

// An open file that closes itself. Not copyable.
class OwnedFile {
 public:
  OwnedFile() = default;
  explicit OwnedFile(void* handle) : handle_(handle) {}
  OwnedFile(OwnedFile&& other) noexcept : handle_(other.handle_) { other.handle_ = nullptr; }
  OwnedFile& operator=(OwnedFile&& other) noexcept;
  OwnedFile(const OwnedFile&) = delete;
  OwnedFile& operator=(const OwnedFile&) = delete;
  ~OwnedFile() { close(); }

  bool isOpen() const { return handle_ != nullptr; }
  void close();

  // The whole content, at most maxBytes of it; empty on a read failure.
  std::string readAll(std::size_t maxBytes) const;
  // Writes the bytes from the start of the file and ends the file after
  // them. False when any part fails.
  bool replaceContents(const std::string& bytes) const;

 private:
  void* handle_ = nullptr;
};

// Opens a settings file for reading: for read and write access sharing
// reads; failing that, read access sharing reads; failing that, read access
// sharing reads and writes. Not open when all three fail.
OwnedFile openSettingsForReading(const std::string& path);

// Creates a file anew (replacing any file of that name) for read and write
// access, sharing reads. Not open on failure.
OwnedFile createSettingsFile(const std::string& path);
