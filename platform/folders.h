// Folder listings. Windows build only (folders_win.cpp).
#pragma once

#include <cstdint>
#include <string>

struct FolderEntry {
  std::string name;  // the long name as the listing reports it
  bool isFolder = false;
  bool isLink = false;  // a reparse point: a link or junction to elsewhere
};

// One open listing of a folder (FindFirstFileA/FindNextFileA); closed when
// the object goes. Not copyable.
class FolderListing {
 public:
  // `searchText` is a folder path followed by a pattern, such as C:\Data\*.*.
  explicit FolderListing(const std::string& searchText);
  FolderListing(const FolderListing&) = delete;
  FolderListing& operator=(const FolderListing&) = delete;
  ~FolderListing();

  // False when the folder cannot be listed (missing, access denied, path too
  // long) or has no entry at all.
  bool isOpen() const { return handle_ != nullptr; }
  // Not open for another reason than having no entry.
  bool failed() const { return failed_; }
  // The next entry in the file system's order; false when there is none.
  bool next(FolderEntry& entry);

 private:
  void* handle_ = nullptr;
  bool failed_ = false;
  bool havePending_ = false;
  FolderEntry pending_;
};

// Whether a bare file name matches a pattern such as *.* (PathMatchSpecA).
bool nameMatchesPattern(const std::string& name, const std::string& pattern);

// What tells two paths to the same file or folder apart from different ones:
// the volume and the file's identifier on it (128 bits where the file system
// gives them, else the 64-bit file index).
struct FileIdentity {
  std::uint64_t volume = 0;
  std::uint64_t idLow = 0;
  std::uint64_t idHigh = 0;
  friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};
// False when the file or folder cannot be opened or the file system gives it
// no identifier (an identifier of 0 is none).
bool fileIdentityOf(const std::string& path, FileIdentity& identity);
