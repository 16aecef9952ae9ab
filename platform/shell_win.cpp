#include <windows.h>
#include <shlobj.h>

#include "platform/shell.h"

std::string specialFolderPath(int shellFolder) {
  LPITEMIDLIST items = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, shellFolder, &items)) || items == nullptr) {
    return {};
  }
  char buffer[MAX_PATH + 1] = {};
  SHGetPathFromIDListA(items, buffer);
  CoTaskMemFree(items);
  std::string path = buffer;
  // A folder at a drive root is reported with its backslash already.
  if (path.empty() || path.back() != '\\') path += '\\';
  return path;
}
