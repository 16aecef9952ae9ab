#include <windows.h>

#include "platform/files.h"

namespace {

constexpr std::size_t maxPathChars = MAX_PATH;

// A find handle that closes itself.
class FindHandle {
 public:
  explicit FindHandle(HANDLE handle) : handle_(handle) {}
  FindHandle(const FindHandle&) = delete;
  FindHandle& operator=(const FindHandle&) = delete;
  ~FindHandle() {
    if (valid()) FindClose(handle_);
  }
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE handle_;
};

bool isFolderAttribute(DWORD attributes) {
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool hasWildcard(const std::string& path) {
  // "\\?\" opens a path that the system takes literally; its "?" is no
  // wildcard.
  std::size_t from = path.rfind("\\\\?\\", 0) == 0 ? 4 : 0;
  return path.find_first_of("*?", from) != std::string::npos;
}

}  // namespace

std::int64_t fileSizeOf(const std::string& text) {
  std::string path = text.substr(0, maxPathChars);
  while (!path.empty() && path.back() == '\\') path.pop_back();
  if (path.empty()) return noSuchPath;
  if (path.size() == 2 && path[1] == ':') {
    std::string root = path + "\\";
    return GetDriveTypeA(root.c_str()) > DRIVE_NO_ROOT_DIR ? pathIsFolder : noSuchPath;
  }
  // Without this, FindFirstFileA would report the first match of a pattern.
  if (hasWildcard(path)) return noSuchPath;

  WIN32_FIND_DATAA found;
  FindHandle find(FindFirstFileA(path.c_str(), &found));
  if (!find.valid()) {
    if (path.rfind("\\\\", 0) == 0 && isFolderAttribute(GetFileAttributesA(path.c_str()))) {
      return pathIsFolder;
    }
    return noSuchPath;
  }
  if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return pathIsFolder;
  return static_cast<std::int64_t>((static_cast<std::uint64_t>(found.nFileSizeHigh) << 32) |
                                   found.nFileSizeLow);
}

bool createFolder(const std::string& path) { return CreateDirectoryA(path.c_str(), nullptr) != 0; }

bool deleteFile(const std::string& path) { return DeleteFileA(path.c_str()) != 0; }

std::string currentFolder() {
  char buffer[maxPathChars + 1] = {};
  DWORD length = GetCurrentDirectoryA(sizeof buffer, buffer);
  std::string folder = (length > 0 && length < sizeof buffer) ? std::string(buffer, length) : "";
  if (folder.empty() || folder.back() != '\\') folder += '\\';
  return folder;
}

std::string temporaryFolder() {
  char buffer[maxPathChars + 1] = {};
  DWORD length = GetTempPathA(sizeof buffer, buffer);
  if (length == 0 || length >= sizeof buffer) return {};
  // Looked up by name at every call: the program keeps running on systems
  // whose Kernel32 lacks the long-form conversion.
  using LongPathFunction = DWORD(WINAPI*)(LPCSTR, LPSTR, DWORD);
  HMODULE kernel = GetModuleHandleA("Kernel32.DLL");
  auto toLongPath = kernel ? reinterpret_cast<LongPathFunction>(
                                 reinterpret_cast<void*>(GetProcAddress(kernel, "GetLongPathNameA")))
                           : nullptr;
  if (toLongPath == nullptr) return std::string(buffer, length);
  char longPath[maxPathChars + 1] = {};
  DWORD longLength = toLongPath(buffer, longPath, sizeof longPath);
  if (longLength == 0 || longLength >= sizeof longPath) return {};
  return std::string(longPath, longLength);
}

std::string programPath() {
  char buffer[maxPathChars + 1] = {};
  DWORD length = GetModuleFileNameA(nullptr, buffer, maxPathChars);
  return std::string(buffer, length);
}

std::string processCommandLine() {
  const char* line = GetCommandLineA();
  return line ? line : "";
}
