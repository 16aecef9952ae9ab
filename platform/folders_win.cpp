#include <windows.h>
#include <shlwapi.h>

#include "platform/folders.h"

#include <cstring>

namespace {

FolderEntry entryOf(const WIN32_FIND_DATAA& found) {
  return {found.cFileName, (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
          (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0};
}

}  // namespace

FolderListing::FolderListing(const std::string& searchText) {
  WIN32_FIND_DATAA found;
  HANDLE handle = FindFirstFileA(searchText.c_str(), &found);
  if (handle == INVALID_HANDLE_VALUE) {
    failed_ = GetLastError() != ERROR_FILE_NOT_FOUND;
    return;
  }
  handle_ = handle;
  pending_ = entryOf(found);
  havePending_ = true;
}

FolderListing::~FolderListing() {
  if (handle_ != nullptr) FindClose(handle_);
}

bool FolderListing::next(FolderEntry& entry) {
  if (!havePending_) return false;
  entry = std::move(pending_);
  WIN32_FIND_DATAA found;
  havePending_ = FindNextFileA(handle_, &found) != 0;
  if (havePending_) {
    pending_ = entryOf(found);
  }
  return true;
}

bool nameMatchesPattern(const std::string& name, const std::string& pattern) {
  return PathMatchSpecA(name.c_str(), pattern.c_str()) != FALSE;
}

bool fileIdentityOf(const std::string& path, FileIdentity& identity) {
  // Backup semantics open folders as well as files.
  HANDLE folder = CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (folder == INVALID_HANDLE_VALUE) return false;
  identity = {};
  // ReFS needs all 128 bits; older systems only have the 64-bit index.
  FILE_ID_INFO id{};
  if (GetFileInformationByHandleEx(folder, FileIdInfo, &id, sizeof id)) {
    identity.volume = id.VolumeSerialNumber;
    std::memcpy(&identity.idLow, id.FileId.Identifier, 8);
    std::memcpy(&identity.idHigh, id.FileId.Identifier + 8, 8);
  } else {
    BY_HANDLE_FILE_INFORMATION info;
    if (GetFileInformationByHandle(folder, &info)) {
      identity.volume = info.dwVolumeSerialNumber;
      identity.idLow = (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
    }
  }
  CloseHandle(folder);
  return identity.idLow != 0 || identity.idHigh != 0;
}
