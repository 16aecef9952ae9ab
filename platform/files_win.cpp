#include <windows.h>

#include "platform/files.h"
#include "platform/folders.h"

#include <algorithm>

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

bool isExistingFile(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

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

bool copyFileWrittenThrough(const std::string& from, const std::string& to) {
  if (!CopyFileA(from.c_str(), to.c_str(), FALSE)) return false;
  HANDLE copy = CreateFileA(to.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (copy == INVALID_HANDLE_VALUE) return false;
  bool flushed = FlushFileBuffers(copy) != 0;
  CloseHandle(copy);
  return flushed;
}

bool copyByWayOf(const std::string& from, const std::string& staging, const std::string& target) {
  if (copyFileWrittenThrough(from, staging) && moveFileReplacing(staging, target)) return true;
  DeleteFileA(staging.c_str());
  return false;
}

bool sameFile(const std::string& a, const std::string& b) {
  if (!isExistingFile(a) || !isExistingFile(b)) return false;
  FileIdentity first, second;
  if (fileIdentityOf(a, first) && fileIdentityOf(b, second)) return first == second;
  // A file system without file identifiers: the full paths tell.
  char fullA[MAX_PATH + 1] = {}, fullB[MAX_PATH + 1] = {};
  return GetFullPathNameA(a.c_str(), sizeof fullA, fullA, nullptr) > 0 &&
         GetFullPathNameA(b.c_str(), sizeof fullB, fullB, nullptr) > 0 &&
         lstrcmpiA(fullA, fullB) == 0;
}

bool moveFileReplacing(const std::string& from, const std::string& to) {
  return MoveFileExA(from.c_str(), to.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

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
  auto toLongPath = kernel ? reinterpret_cast<LongPathFunction>(reinterpret_cast<void*>(
                                 GetProcAddress(kernel, "GetLongPathNameA")))
                           : nullptr;
  if (toLongPath == nullptr) return std::string(buffer, length);
  char longPath[maxPathChars + 1] = {};
  DWORD longLength = toLongPath(buffer, longPath, sizeof longPath);
  if (longLength == 0 || longLength >= sizeof longPath) return {};
  return std::string(longPath, longLength);
}

std::string programPath() {
  // A path the buffer cannot hold comes back cut, its length the buffer's:
  // the buffer grows until the whole path fits.
  constexpr std::size_t longestPath = 32768;
  std::string buffer(maxPathChars + 1, '\0');
  for (;;) {
    DWORD length = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) {
      buffer.resize(length);
      return buffer;
    }
    if (buffer.size() >= longestPath) return {};
    buffer.resize(buffer.size() * 2);
  }
}

std::string processCommandLine() {
  const char* line = GetCommandLineA();
  return line ? line : "";
}

OwnedFile& OwnedFile::operator=(OwnedFile&& other) noexcept {
  if (this != &other) {
    close();
    handle_ = other.handle_;
    other.handle_ = nullptr;
  }
  return *this;
}

void OwnedFile::close() {
  if (handle_ != nullptr) CloseHandle(handle_);
  handle_ = nullptr;
}

std::string OwnedFile::readAll(std::size_t maxBytes) const {
  std::string bytes;
  LARGE_INTEGER size{};
  if (!isOpen() || !GetFileSizeEx(handle_, &size) || size.QuadPart < 0) return bytes;
  std::size_t wanted = static_cast<std::uint64_t>(size.QuadPart) < maxBytes
                           ? static_cast<std::size_t>(size.QuadPart)
                           : maxBytes;
  bytes.resize(wanted);
  std::size_t got = 0;
  while (got < wanted) {
    DWORD chunk = 0;
    DWORD ask = static_cast<DWORD>(std::min<std::size_t>(wanted - got, 1 << 20));
    if (!ReadFile(handle_, bytes.data() + got, ask, &chunk, nullptr) || chunk == 0) break;
    got += chunk;
  }
  bytes.resize(got);
  return bytes;
}

bool OwnedFile::replaceContents(const std::string& bytes) const {
  if (!isOpen()) return false;
  LARGE_INTEGER start{};
  if (!SetFilePointerEx(handle_, start, nullptr, FILE_BEGIN)) return false;
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD written = 0;
    DWORD ask = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 20));
    if (!WriteFile(handle_, bytes.data() + done, ask, &written, nullptr) || written == 0) {
      return false;
    }
    done += written;
  }
  return SetEndOfFile(handle_) != 0;
}

namespace {

// The long form (\\?\C:\... or \\?\UNC\server\...) of a full path that the ANSI
// functions cannot take, in UTF-16.
std::wstring longFormOf(const std::string& path) {
  std::wstring prefix = L"\\\\?\\";
  std::string rest = path;
  if (rest.rfind("\\\\", 0) == 0) {
    prefix += L"UNC\\";
    rest.erase(0, 2);
  }
  int length =
      MultiByteToWideChar(CP_ACP, 0, rest.data(), static_cast<int>(rest.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, rest.data(), static_cast<int>(rest.size()), wide.data(), length);
  return prefix + wide;
}

OwnedFile openWith(const std::string& path, DWORD access, DWORD sharing, DWORD disposition) {
  // The settings of a program whose path passes the ANSI limit lie beside
  // it all the same.
  HANDLE handle = path.size() < maxPathChars
                      ? CreateFileA(path.c_str(), access, sharing, nullptr, disposition,
                                    FILE_ATTRIBUTE_NORMAL, nullptr)
                      : CreateFileW(longFormOf(path).c_str(), access, sharing, nullptr, disposition,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  return OwnedFile(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

}  // namespace

OwnedFile openSettingsForReading(const std::string& path) {
  OwnedFile file = openWith(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, OPEN_EXISTING);
  if (!file.isOpen()) file = openWith(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
  if (!file.isOpen()) {
    file = openWith(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING);
  }
  return file;
}

OwnedFile createSettingsFile(const std::string& path) {
  return openWith(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, CREATE_ALWAYS);
}
