#include "tests/support/temp_folder.h"

#include <windows.h>

#include <atomic>
#include <string>

namespace {

std::atomic<unsigned> folderCount{0};

}  // namespace

TempFolder::TempFolder() {
  char temp[MAX_PATH + 1] = {};
  GetTempPathA(sizeof temp, temp);
  std::string base = temp;
  if (!base.empty() && base.back() != '\\') base += '\\';
  for (;;) {
    path_ = base + "sauvegarde-test-" + std::to_string(GetCurrentProcessId()) + "-" +
            std::to_string(folderCount++) + "\\";
    if (CreateDirectoryA(path_.c_str(), nullptr)) break;
    if (GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
}

TempFolder::~TempFolder() { removeTree(path_); }

bool makeFolders(const std::string& folderPath) {
  std::string prefix;
  for (std::size_t i = 0; i < folderPath.size(); ++i) {
    prefix += folderPath[i];
    if ((folderPath[i] == '\\' || i + 1 == folderPath.size()) && prefix.size() > 3) {
      CreateDirectoryA(prefix.c_str(), nullptr);
    }
  }
  return isFolderPath(folderPath);
}

bool writeFile(const std::string& path, const std::string& bytes) {
  std::size_t separator = path.find_last_of('\\');
  if (separator != std::string::npos) makeFolders(path.substr(0, separator + 1));
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
            written == bytes.size();
  CloseHandle(file);
  return ok;
}

std::string readFile(const std::string& path) {
  std::string bytes;
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return bytes;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
  CloseHandle(file);
  return bytes;
}

bool pathExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool isFolderPath(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void removeTree(const std::string& path) {
  std::string bare = path;
  while (bare.size() > 3 && bare.back() == '\\') bare.pop_back();
  DWORD attributes = GetFileAttributesA(bare.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  SetFileAttributesA(bare.c_str(), FILE_ATTRIBUTE_NORMAL | (attributes & FILE_ATTRIBUTE_DIRECTORY));
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY) || (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
    if (!DeleteFileA(bare.c_str())) RemoveDirectoryA(bare.c_str());
    return;
  }
  WIN32_FIND_DATAA found;
  HANDLE find = FindFirstFileA((bare + "\\*").c_str(), &found);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      std::string name = found.cFileName;
      if (name != "." && name != "..") removeTree(bare + "\\" + name);
    } while (FindNextFileA(find, &found));
    FindClose(find);
  }
  RemoveDirectoryA(bare.c_str());
}
