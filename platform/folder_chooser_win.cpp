#include <windows.h>
#include <shlobj.h>

#include <vector>

#include "platform/folder_chooser.h"

namespace {

constexpr std::size_t longestStartFolder = 259;

// The component object system of the main thread, started once for the
// process and left to the end of the process.
void initialiseComponentsOnce() {
  static const bool initialised = SUCCEEDED(CoInitialize(nullptr));
  (void)initialised;
}

// SHELL32 loaded for one use of the browser and released afterwards.
class LoadedShell {
 public:
  LoadedShell() : module_(LoadLibraryA("SHELL32.DLL")) {}
  LoadedShell(const LoadedShell&) = delete;
  LoadedShell& operator=(const LoadedShell&) = delete;
  ~LoadedShell() {
    if (module_) FreeLibrary(module_);
  }
  template <typename Function>
  Function find(const char* name) const {
    return module_
               ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module_, name)))
               : nullptr;
  }

 private:
  HMODULE module_;
};

// The process's visible top-level windows, disabled while the browser is
// open and enabled again afterwards.
class OtherWindowsDisabled {
 public:
  explicit OtherWindowsDisabled(HWND owner) {
    struct Search {
      DWORD process;
      HWND owner;
      std::vector<HWND>* windows;
    } search{GetCurrentProcessId(), owner, &windows_};
    EnumWindows(
        [](HWND window, LPARAM parameter) -> BOOL {
          auto* s = reinterpret_cast<Search*>(parameter);
          DWORD process = 0;
          GetWindowThreadProcessId(window, &process);
          if (process == s->process && window != s->owner && IsWindowVisible(window) &&
              IsWindowEnabled(window)) {
            s->windows->push_back(window);
          }
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    for (HWND window : windows_) EnableWindow(window, FALSE);
  }
  OtherWindowsDisabled(const OtherWindowsDisabled&) = delete;
  OtherWindowsDisabled& operator=(const OtherWindowsDisabled&) = delete;
  ~OtherWindowsDisabled() {
    for (HWND window : windows_) EnableWindow(window, TRUE);
  }

 private:
  std::vector<HWND> windows_;
};

int CALLBACK selectStartFolder(HWND browser, UINT message, LPARAM, LPARAM startFolder) {
  if (message == BFFM_INITIALIZED) SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, startFolder);
  return 0;
}

HWND ownerWindow() {
  HWND foreground = GetForegroundWindow();
  DWORD process = 0;
  if (foreground) GetWindowThreadProcessId(foreground, &process);
  return process == GetCurrentProcessId() ? foreground : nullptr;
}

}  // namespace

std::string chooseFolder(const std::string& prompt, const std::string& startFolder) {
  initialiseComponentsOnce();
  LoadedShell shell;
  using Browse = PIDLIST_ABSOLUTE(WINAPI*)(LPBROWSEINFOA);
  using PathOf = BOOL(WINAPI*)(PCIDLIST_ABSOLUTE, LPSTR);
  auto browse = shell.find<Browse>("SHBrowseForFolderA");
  auto pathOf = shell.find<PathOf>("SHGetPathFromIDListA");
  if (!browse || !pathOf) return {};

  std::string start = startFolder.substr(0, longestStartFolder);
  if (start.size() > 3 && start.back() == '\\') start.pop_back();

  BROWSEINFOA info{};
  info.hwndOwner = ownerWindow();
  info.pidlRoot = nullptr;  // the whole shell namespace
  info.lpszTitle = prompt.c_str();
  info.ulFlags = BIF_EDITBOX | BIF_NEWDIALOGSTYLE;
  info.lpfn = selectStartFolder;
  info.lParam = reinterpret_cast<LPARAM>(start.c_str());
  PIDLIST_ABSOLUTE chosen = nullptr;
  {
    OtherWindowsDisabled disabled(info.hwndOwner);
    chosen = browse(&info);
  }
  if (!chosen) return {};
  char path[MAX_PATH + 1] = {};
  const bool inFileSystem = pathOf(chosen, path) && path[0] != '\0';
  CoTaskMemFree(chosen);
  // An item without a file-system path (the computer, the network) is no
  // destination: the same as a cancel.
  if (!inFileSystem) return {};
  std::string folder = path;
  if (folder.back() != '\\') folder += '\\';
  return folder;
}
