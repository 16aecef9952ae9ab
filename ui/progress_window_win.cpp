#include <windows.h>
#include <richedit.h>

#include <climits>

#include "base/backup_job.h"
#include "app/process_end.h"
#include "archive/zip_writer.h"
#include "platform/files.h"
#include "platform/sound.h"
#include "ui/delivery.h"
#include "ui/progress_loop.h"
#include "ui/progress_window.h"
#include "ui/report_text.h"

namespace {

constexpr UINT_PTR timerId = 1;
constexpr UINT timerPeriodMs = 1000;
constexpr int reportBoxId = 0;
constexpr int buttonId = 1;
constexpr WORD returnShortcut = 13;
constexpr WORD escapeShortcut = 27;
constexpr int designDpi = 96;

// The layout at 96 DPI, in pixels of the client area.
constexpr SIZE clientSize{406, 231};
constexpr RECT reportBoxBox{3, 3, 400, 200};  // left, top, width, height
constexpr RECT buttonBox{103, 206, 200, 22};

const char* const windowClassName = "SauvegardeProgression";

int scaled(int value, UINT dpi) { return MulDiv(value, static_cast<int>(dpi), designDpi); }

// Functions that older systems lack, looked up once.
struct DpiFunctions {
  UINT(WINAPI* dpiForWindow)(HWND) = nullptr;
  BOOL(WINAPI* adjustForDpi)(RECT*, DWORD, BOOL, DWORD, UINT) = nullptr;
  DpiFunctions() {
    HMODULE user = GetModuleHandleA("user32.dll");
    if (!user) return;
    dpiForWindow = reinterpret_cast<decltype(dpiForWindow)>(
        reinterpret_cast<void*>(GetProcAddress(user, "GetDpiForWindow")));
    adjustForDpi = reinterpret_cast<decltype(adjustForDpi)>(
        reinterpret_cast<void*>(GetProcAddress(user, "AdjustWindowRectExForDpi")));
  }
};

// The outer size of a window with that style whose client area has the
// design size at that DPI.
SIZE frameSizeFor(const DpiFunctions& functions, DWORD style, UINT dpi) {
  RECT frame{0, 0, scaled(clientSize.cx, dpi), scaled(clientSize.cy, dpi)};
  if (functions.adjustForDpi) {
    functions.adjustForDpi(&frame, style, FALSE, 0, dpi);
  } else {
    AdjustWindowRectEx(&frame, style, FALSE, 0);
  }
  return {frame.right - frame.left, frame.bottom - frame.top};
}

UINT systemDpi() {
  HDC screen = GetDC(nullptr);
  int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : designDpi;
  if (screen) ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : designDpi;
}

// The file services of delivery, on the real file system and sound device.
class ProgramDelivery final : public DeliveryServices {
 public:
  explicit ProgramDelivery(HWND window) : window_(window) {}
  std::int64_t fileSize(const std::string& path) override { return fileSizeOf(path); }
  bool copyReplacing(const std::string& from, const std::string& staging,
                     const std::string& target) override {
    return copyByWayOf(from, staging, target);
  }
  void playChime() override {
    if (!startSoundOutput(window_)) return;
    if (!loadSound(programResource("CHIME"))) return;
    playSound();
    Sleep(1000);  // the chime has played out before the success line
  }
  void deleteFile(const std::string& path) override { ::deleteFile(path); }

 private:
  HWND window_;
};

class ProgressWindow final : public ProgressActions {
 public:
  int run();
  // Every end of the process: the worker is stopped (and its unfinished
  // archive deleted) before anything it uses is released.
  void releaseForEnd();

  void addReportLine(int position, const std::string& text) override;
  void setTitle(const std::string& text) override { SetWindowTextA(window_, text.c_str()); }
  void setButtonCaption(const std::string& caption) override {
    SetWindowTextA(button_, caption.c_str());
  }
  void bindShortcuts() override;
  bool workerRunning() override {
    return worker_ && WaitForSingleObject(worker_, 0) == WAIT_TIMEOUT;
  }
  void stopWorker() override;
  void deleteTemporaryArchive() override { ::deleteFile(backupJob.tempArchivePath); }
  void deliverArchive() override {
    ProgramDelivery files(window_);
    ::deliverArchive(backupJob, *this, files);
  }
  std::vector<std::string> lackingPaths() override { return whatTheArchiveLacks(); }

 private:
  static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM w, LPARAM l);
  LRESULT handle(UINT message, WPARAM w, LPARAM l);
  bool open();
  bool createControls();
  void placeControls(UINT dpi);
  void runEventLoop();
  void pass(LoopEvent event);
  // An event met by the window procedure: kept for the pass under way, or a
  // pass of its own when a loop of the system (moving the window) runs.
  void met(LoopEvent event);
  bool moveFocus(const MSG& message);

  DpiFunctions dpi_;
  HWND window_ = nullptr;
  HWND reportBox_ = nullptr;
  HWND button_ = nullptr;
  HMODULE richEdit_ = nullptr;
  HFONT scaledFont_ = nullptr;  // only away from 96 DPI
  HACCEL shortcuts_ = nullptr;
  HANDLE worker_ = nullptr;
  bool inPass_ = false;
  LoopEvent pending_ = LoopEvent::other;
};

ProgressWindow progressWindow;

void releaseProgressWindow() { progressWindow.releaseForEnd(); }

LRESULT CALLBACK ProgressWindow::windowProcedure(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_NCCREATE) progressWindow.window_ = window;
  if (window == progressWindow.window_) return progressWindow.handle(message, w, l);
  return DefWindowProcA(window, message, w, l);
}

LRESULT ProgressWindow::handle(UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_COMMAND:
      if (HIWORD(w) == BN_CLICKED && LOWORD(w) == buttonId &&
          reinterpret_cast<HWND>(l) == button_) {
        met(LoopEvent::buttonPressed);
      } else if (HIWORD(w) == 1 && LOWORD(w) == returnShortcut) {
        met(LoopEvent::shortcut13);
      } else if (HIWORD(w) == 1 && LOWORD(w) == escapeShortcut) {
        met(LoopEvent::shortcut27);
      }
      return 0;
    case WM_TIMER:
      if (w == timerId) met(LoopEvent::timer1);
      return 0;
    case WM_CLOSE:  // the window stays until the process ends
      met(LoopEvent::closeRequest);
      return 0;
    case WM_ENDSESSION:
      // The session ends under the program: the process may be ended as
      // soon as this returns, so the worker is stopped and the unfinished
      // archive deleted now.
      if (w) endProcess(0);
      return 0;
    case WM_DPICHANGED: {
      const RECT* suggested = reinterpret_cast<const RECT*>(l);
      SetWindowPos(window_, nullptr, suggested->left, suggested->top,
                   suggested->right - suggested->left, suggested->bottom - suggested->top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      placeControls(HIWORD(w));
      return 0;
    }
    default: return DefWindowProcA(window_, message, w, l);
  }
}

void ProgressWindow::met(LoopEvent event) {
  if (inPass_) {
    pending_ = event;
  } else {
    pass(event);
  }
}

void ProgressWindow::pass(LoopEvent event) {
  if (backupJob.quitRequested) return;  // the loop has ended
  runLoopPass(backupJob, event, *this);
}

bool ProgressWindow::open() {
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = windowProcedure;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hIcon = LoadIconA(windowClass.hInstance, MAKEINTRESOURCEA(1));
  windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = windowClassName;
  if (!RegisterClassExA(&windowClass)) return false;

  // Fixed size, system menu and close box only.
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
  const SIZE frame = frameSizeFor(dpi_, style, systemDpi());
  const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
  const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
  const int width = std::min<int>(frame.cx, screenWidth);
  const int height = std::min<int>(frame.cy, screenHeight);
  CreateWindowExA(0, windowClassName, backupJob.programTitle.c_str(), style,
                  (screenWidth - width) / 2, (screenHeight - height) / 2, width, height, nullptr,
                  nullptr, windowClass.hInstance, nullptr);
  return window_ != nullptr;
}

bool ProgressWindow::createControls() {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  const char* boxClass = "RICHEDIT50W";  // MSFTEDIT_CLASS
  richEdit_ = LoadLibraryA("Msftedit.dll");
  if (!richEdit_) {
    richEdit_ = LoadLibraryA("Riched20.dll");
    boxClass = RICHEDIT_CLASSA;
  }
  // Lines are not wrapped: the box scrolls both ways.
  reportBox_ =
      CreateWindowExA(WS_EX_CLIENTEDGE, boxClass, "",
                      WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE |
                          ES_READONLY | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_NOHIDESEL,
                      0, 0, 0, 0, window_, reinterpret_cast<HMENU>(reportBoxId), instance, nullptr);
  if (!reportBox_) return false;
  SendMessageA(reportBox_, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
  SendMessageA(reportBox_, EM_SETTARGETDEVICE, 0, 1);  // no wrapping
  button_ = CreateWindowExA(0, "BUTTON", std::string(cancelCaption).c_str(),
                            WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 0, 0, window_,
                            reinterpret_cast<HMENU>(buttonId), instance, nullptr);
  if (!button_) return false;
  placeControls(dpi_.dpiForWindow ? dpi_.dpiForWindow(window_) : systemDpi());
  return true;
}

void ProgressWindow::placeControls(UINT dpi) {
  auto place = [dpi](HWND control, const RECT& box) {
    MoveWindow(control, scaled(box.left, dpi), scaled(box.top, dpi), scaled(box.right, dpi),
               scaled(box.bottom, dpi), TRUE);
  };
  // The client area keeps its design size at every DPI.
  const SIZE frame =
      frameSizeFor(dpi_, static_cast<DWORD>(GetWindowLongA(window_, GWL_STYLE)), dpi);
  SetWindowPos(window_, nullptr, 0, 0, frame.cx, frame.cy,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  place(reportBox_, reportBoxBox);
  place(button_, buttonBox);

  HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  if (dpi != designDpi) {
    // The GUI font is made for 96 DPI: the same face, scaled.
    LOGFONTA description{};
    GetObjectA(font, sizeof description, &description);
    description.lfHeight = -MulDiv(8, static_cast<int>(dpi), 72);
    description.lfWidth = 0;
    HFONT bigger = CreateFontIndirectA(&description);
    if (bigger) font = bigger;
  }
  SendMessageA(reportBox_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  SendMessageA(button_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  if (scaledFont_) DeleteObject(scaledFont_);
  scaledFont_ = font == GetStockObject(DEFAULT_GUI_FONT) ? nullptr : font;
}

void ProgressWindow::addReportLine(int position, const std::string& text) {
  const auto lines = static_cast<std::int32_t>(SendMessageA(reportBox_, EM_GETLINECOUNT, 0, 0));
  const bool empty = GetWindowTextLengthA(reportBox_) == 0;
  ReportInsertion insertion = reportInsertion(position, lines, empty, text);
  LPARAM at = INT_MAX;  // the end
  if (!insertion.append) at = SendMessageA(reportBox_, EM_LINEINDEX, insertion.line, 0);
  SendMessageA(reportBox_, EM_SETSEL, static_cast<WPARAM>(at), at);
  SendMessageA(reportBox_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(insertion.text.c_str()));
}

void ProgressWindow::bindShortcuts() {
  if (shortcuts_) return;
  ACCEL keys[] = {{FVIRTKEY, VK_RETURN, returnShortcut}, {FVIRTKEY, VK_ESCAPE, escapeShortcut}};
  shortcuts_ = CreateAcceleratorTableA(keys, 2);
}

void ProgressWindow::stopWorker() {
  if (!worker_) return;
  requestArchiveStop();
  WaitForSingleObject(worker_, INFINITE);
}

bool ProgressWindow::moveFocus(const MSG& message) {
  if (message.message != WM_KEYDOWN || message.wParam != VK_TAB) return false;
  if (message.hwnd != window_ && !IsChild(window_, message.hwnd)) return false;
  const bool backwards = GetKeyState(VK_SHIFT) < 0;
  HWND next = GetNextDlgTabItem(window_, GetFocus(), backwards);
  if (next) SetFocus(next);
  return true;
}

void ProgressWindow::runEventLoop() {
  while (!backupJob.quitRequested) {
    // One wait for a message of the thread or the end of the worker; the
    // ended worker's handle is left out once its end has been reported.
    const DWORD handles = backupJob.archiveWorker != 0 ? 1 : 0;
    const DWORD woke =
        MsgWaitForMultipleObjectsEx(handles, &worker_, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    pending_ = LoopEvent::other;
    inPass_ = true;
    if (handles == 1 && woke == WAIT_OBJECT_0) {
      pending_ = LoopEvent::workerEnded;
    } else {
      MSG message;
      if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
          pending_ = LoopEvent::closeRequest;
        } else if (shortcuts_ && (message.hwnd == window_ || IsChild(window_, message.hwnd)) &&
                   TranslateAcceleratorA(window_, shortcuts_, &message)) {
          // The shortcut's event came through the window procedure.
        } else if (!moveFocus(message)) {
          TranslateMessage(&message);
          DispatchMessageA(&message);
        }
      }
    }
    inPass_ = false;
    pass(pending_);
  }
}

int ProgressWindow::run() {
  setProcessEndStep(releaseProgressWindow);
  if (!open()) return 0;
  if (!createControls()) return 1;
  ShowWindow(window_, SW_SHOWNORMAL);
  UpdateWindow(window_);
  SetTimer(window_, timerId, timerPeriodMs, nullptr);
  addReportLine(0, std::string(sourceLinePrefix) + backupJob.sourceFolder);
  addReportLine(1, std::string(targetLinePrefix) + backupJob.destinationPath);
  SetFocus(reportBox_);

  DWORD id = 0;
  worker_ = CreateThread(nullptr, 0, runArchiveWorker, nullptr, 0, &id);
  backupJob.archiveWorker = worker_ ? id : 0;
  runEventLoop();
  return 0;
}

void ProgressWindow::releaseForEnd() {
  if (backupJob.archiveWorker != 0 && workerRunning()) {
    stopWorker();
    deleteTemporaryArchive();
    backupJob.archiveWorker = 0;
  }
  if (worker_) CloseHandle(worker_);
  worker_ = nullptr;
  releaseSoundOutput();
  if (shortcuts_) DestroyAcceleratorTable(shortcuts_);
  shortcuts_ = nullptr;
  if (window_) DestroyWindow(window_);
  window_ = nullptr;
  if (scaledFont_) DeleteObject(scaledFont_);
  scaledFont_ = nullptr;
  if (richEdit_) FreeLibrary(richEdit_);
  richEdit_ = nullptr;
}

}  // namespace

unsigned long __stdcall runArchiveWorker(void*) {
  // Texts of its own: the main thread builds its own at the same time.
  const std::string pattern = backupJob.sourceFolder + "*.*";
  const std::int32_t count = archiveFolder(backupJob.tempArchivePath, pattern, 2, 1);
  backupJob.archivedCount = count;
  return 0;
}

int runProgressWindow() { return progressWindow.run(); }
