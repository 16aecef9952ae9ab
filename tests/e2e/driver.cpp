#include "tests/e2e/driver.h"

#include "tests/support/readers.h"

#include <cstdio>
#include <cstring>
#include <map>

namespace {

constexpr UINT messageTimeoutMs = 5000;

std::string environmentBlock(const std::vector<std::string>& overrides) {
  // Names compared without case, as Windows does.
  std::map<std::string, std::string> variables;
  auto keyOf = [](std::string name) {
    for (char& c : name) {
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return name;
  };
  LPCH strings = GetEnvironmentStringsA();
  for (const char* p = strings; *p; p += std::strlen(p) + 1) {
    std::string entry = p;
    std::size_t eq = entry.find('=', 1);
    if (eq != std::string::npos) variables[keyOf(entry.substr(0, eq))] = entry;
  }
  FreeEnvironmentStringsA(strings);
  for (const std::string& entry : overrides) {
    variables[keyOf(entry.substr(0, entry.find('=')))] = entry;
  }
  std::string block;
  for (const auto& [key, entry] : variables) {
    block += entry;
    block += '\0';
  }
  block += '\0';
  return block;
}

}  // namespace

void PrintTo(const DialogSeen& seen, std::ostream* out) {
  *out << "{caption \"" << seen.caption << "\", text \"" << seen.text << "\", buttons";
  for (const std::string& button : seen.buttons) *out << " [" << button << "]";
  *out << (seen.showsIcon ? ", icon}" : ", no icon}");
}

std::string windowText(HWND window) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, messageTimeoutMs,
                           &length)) {
    return {};
  }
  std::string text(length + 1, '\0');
  DWORD_PTR copied = 0;
  SendMessageTimeoutA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                      SMTO_ABORTIFHUNG, messageTimeoutMs, &copied);
  text.resize(copied);
  return text;
}

std::string windowClass(HWND window) {
  char name[256] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

std::vector<HWND> childWindows(HWND window) {
  std::vector<HWND> children;
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (IsWindowVisible(child)) children.push_back(child);
  }
  return children;
}

DialogSeen readDialog(HWND dialog) {
  DialogSeen seen;
  seen.caption = windowText(dialog);
  for (HWND child : childWindows(dialog)) {
    std::string kind = windowClass(child);
    LONG style = GetWindowLongA(child, GWL_STYLE);
    if (_stricmp(kind.c_str(), "Button") == 0) {
      seen.buttons.push_back(windowText(child));
    } else if (_stricmp(kind.c_str(), "Static") == 0) {
      if ((style & SS_TYPEMASK) == SS_ICON) {
        // The icon control stays in place without an icon in it.
        DWORD_PTR icon = 0;
        SendMessageTimeoutA(child, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, messageTimeoutMs, &icon);
        if (icon != 0) seen.showsIcon = true;
      } else if (seen.text.empty()) {
        seen.text = windowText(child);
      }
    }
  }
  return seen;
}

bool clickButton(HWND window, const std::string& caption) {
  for (HWND child : childWindows(window)) {
    if (_stricmp(windowClass(child).c_str(), "Button") == 0 && windowText(child) == caption) {
      DWORD_PTR ignored = 0;
      SendMessageTimeoutA(child, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, messageTimeoutMs, &ignored);
      return true;
    }
  }
  return false;
}

ProgressSeen readProgress(HWND window) {
  ProgressSeen seen;
  seen.title = windowText(window);
  for (HWND child : childWindows(window)) {
    std::string kind = windowClass(child);
    if (_stricmp(kind.c_str(), "Button") == 0) {
      seen.button = windowText(child);
    } else if (_strnicmp(kind.c_str(), "RichEdit", 8) == 0) {
      seen.report = windowText(child);
    }
  }
  return seen;
}

ProgressSeen waitForTheEnd(HWND window, const ProgramRun& run, DWORD timeoutMs,
                           const std::function<void(const ProgressSeen&)>& onReading) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    ProgressSeen seen = readProgress(window);
    if (onReading) onReading(seen);
    if (seen.button == "Fermer" || !run.running() || GetTickCount64() >= deadline) break;
    Sleep(50);
  }
  ProgressSeen seen = readProgress(window);
  if (onReading) onReading(seen);
  return seen;
}

std::vector<std::string> reportLines(const ProgressSeen& seen) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (;;) {
    std::size_t end = seen.report.find_first_of("\r\n", start);
    lines.push_back(seen.report.substr(start, end - start));
    if (end == std::string::npos) break;
    // CR LF, or the lone CR or LF a box may give, ends one line.
    start = end + ((seen.report.compare(end, 2, "\r\n") == 0) ? 2 : 1);
  }
  return lines;
}

void pressKey(HWND window, WORD virtualKey) {
  GUITHREADINFO gui{};
  gui.cbSize = sizeof gui;
  HWND target = window;
  if (GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &gui) && gui.hwndFocus) {
    target = gui.hwndFocus;
  }
  const UINT scan = MapVirtualKeyA(virtualKey, 0);
  PostMessageA(target, WM_KEYDOWN, virtualKey, 1 | (scan << 16));
  PostMessageA(target, WM_KEYUP, virtualKey, 1 | (scan << 16) | (3u << 30));
}

void pressCloseBox(HWND window) { PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0); }

bool saveScreenshot(HWND window, const std::string& pngPath) {
  RECT frame{};
  if (!GetWindowRect(window, &frame)) return false;
  CreateDirectoryA(pngPath.substr(0, pngPath.find_last_of('\\')).c_str(), nullptr);
  const std::string unixPngPath = unixPathOf(pngPath);
  char crop[96];
  std::snprintf(crop, sizeof crop, "%ldx%ld+%ld+%ld", frame.right - frame.left,
                frame.bottom - frame.top, frame.left, frame.top);
  std::string out = runOnHost("import -window root -crop " + std::string(crop) + " +repage '" +
                              unixPngPath + "' && echo saved");
  if (out.find("saved") == std::string::npos) std::fprintf(stderr, "screenshot: %s\n", out.c_str());
  return out.find("saved") != std::string::npos;
}

RECT clientRectOf(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  return client;
}

RECT childRectIn(HWND window, HWND child) {
  RECT box{};
  GetWindowRect(child, &box);
  MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&box), 2);
  return box;
}

void becomeDpiAware() {
  using SetContext = BOOL(WINAPI*)(HANDLE);
  HMODULE user = GetModuleHandleA("user32.dll");
  auto set = reinterpret_cast<SetContext>(
      reinterpret_cast<void*>(GetProcAddress(user, "SetProcessDpiAwarenessContext")));
  // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2
  if (set) set(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4)));
}

std::string todayText() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  char text[16];
  std::snprintf(text, sizeof text, "%04u-%02u-%02u", now.wYear, now.wMonth, now.wDay);
  return text;
}

bool clickButtonWithId(HWND window, int id) {
  HWND button = GetDlgItem(window, id);
  if (!button) return false;
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(button, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, messageTimeoutMs, &ignored);
  return true;
}

std::string editText(HWND window) {
  for (HWND child : childWindows(window)) {
    if (_stricmp(windowClass(child).c_str(), "Edit") == 0) return windowText(child);
  }
  return {};
}

std::string settledEditText(HWND window, DWORD timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  std::string last;
  ULONGLONG since = GetTickCount64();
  while (GetTickCount64() < deadline) {
    std::string now = editText(window);
    if (now != last) {
      last = now;
      since = GetTickCount64();
    } else if (!now.empty() && GetTickCount64() - since >= 500) {
      return now;
    }
    Sleep(50);
  }
  return {};
}

std::vector<std::string> staticTexts(HWND window) {
  std::vector<std::string> texts;
  for (HWND child : childWindows(window)) {
    if (_stricmp(windowClass(child).c_str(), "Static") == 0) texts.push_back(windowText(child));
  }
  return texts;
}

std::string programBesideTests(const std::string& fileName) {
  char path[MAX_PATH + 1] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder = path;
  folder.resize(folder.find_last_of('\\') + 1);
  return folder + fileName;
}

ProgramRun::ProgramRun(const std::string& program, const std::string& commandLine,
                       const std::string& currentFolder,
                       const std::vector<std::string>& environment) {
  std::string line = commandLine;
  std::string block = environmentBlock(environment);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  if (!CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, block.data(),
                      currentFolder.empty() ? nullptr : currentFolder.c_str(), &startup, &info_)) {
    info_ = {};
    return;
  }
  WaitForInputIdle(info_.hProcess, 5000);
}

ProgramRun::ProgramRun(DWORD processId) {
  info_.hProcess =
      OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE, FALSE, processId);
  info_.dwProcessId = info_.hProcess ? processId : 0;
}

DWORD processOfWindowClass(const std::string& className, DWORD timeoutMs) {
  struct Search {
    std::string className;
    DWORD process = 0;
  } search{className};
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  do {
    EnumWindows(
        [](HWND window, LPARAM parameter) -> BOOL {
          auto* s = reinterpret_cast<Search*>(parameter);
          if (!IsWindowVisible(window) || windowClass(window) != s->className) return TRUE;
          GetWindowThreadProcessId(window, &s->process);
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    if (search.process != 0) return search.process;
    Sleep(50);
  } while (GetTickCount64() < deadline);
  return 0;
}

ProgramRun::~ProgramRun() {
  if (!started()) return;
  if (running()) {
    TerminateProcess(info_.hProcess, 255);
    WaitForSingleObject(info_.hProcess, 5000);
  }
  if (info_.hThread) CloseHandle(info_.hThread);
  CloseHandle(info_.hProcess);
}

bool ProgramRun::running() const {
  return started() && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

std::vector<HWND> ProgramRun::visibleWindows() const {
  struct Search {
    DWORD processId;
    std::vector<HWND> found;
  } search{info_.dwProcessId, {}};
  EnumWindows(
      [](HWND window, LPARAM parameter) -> BOOL {
        auto* s = reinterpret_cast<Search*>(parameter);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == s->processId && IsWindowVisible(window)) s->found.push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND ProgramRun::waitForNewWindow(DWORD timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  do {
    for (HWND window : visibleWindows()) {
      if (seen_.insert(window).second) {
        Sleep(200);  // let it finish painting its controls
        return window;
      }
    }
    if (!running()) return nullptr;
    Sleep(50);
  } while (GetTickCount64() < deadline);
  return nullptr;
}

DWORD ProgramRun::waitForExit(DWORD timeoutMs) {
  if (!started()) return STILL_ACTIVE;
  if (WaitForSingleObject(info_.hProcess, timeoutMs) != WAIT_OBJECT_0) {
    TerminateProcess(info_.hProcess, 255);
    WaitForSingleObject(info_.hProcess, 5000);
    return STILL_ACTIVE;
  }
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(info_.hProcess, &code);
  return code;
}

RunResult runAnsweringDialogs(const std::string& program, const std::string& commandLine,
                              const std::string& currentFolder,
                              const std::vector<std::string>& environment, DWORD timeoutMs) {
  RunResult result;
  ProgramRun run(program, commandLine, currentFolder, environment);
  if (!run.started()) return result;
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  while (GetTickCount64() < deadline) {
    HWND window = run.waitForNewWindow(static_cast<DWORD>(deadline - GetTickCount64()));
    if (window == nullptr) break;
    DialogSeen seen = readDialog(window);
    if (windowClass(window) == "#32770") {
      result.dialogs.push_back(seen);
    } else {
      ++result.otherWindows;
    }
    if (!seen.buttons.empty()) clickButton(window, seen.buttons.front());
  }
  ULONGLONG now = GetTickCount64();
  result.exitCode = run.waitForExit(now < deadline ? static_cast<DWORD>(deadline - now) : 0);
  return result;
}
