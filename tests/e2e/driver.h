// Drives the real program as a user would: starts it with a raw command line,
// finds its windows, reads what they show (WM_GETTEXT), presses their
// buttons, and collects the exit code.
#pragma once

#include <windows.h>

#include <functional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

// What a dialog (a message box) shows.
struct DialogSeen {
  std::string caption;
  std::string text;                  // the text of its static control
  std::vector<std::string> buttons;  // captions of its visible buttons
  bool showsIcon = false;
  friend bool operator==(const DialogSeen&, const DialogSeen&) = default;
};
// For test failure messages.
void PrintTo(const DialogSeen& seen, std::ostream* out);

// The text of a window as WM_GETTEXT gives it (works across processes).
std::string windowText(HWND window);
std::string windowClass(HWND window);
// The visible child windows of a window, in z order.
std::vector<HWND> childWindows(HWND window);
DialogSeen readDialog(HWND dialog);
// Clicks the child button with that caption; false when there is none.
bool clickButton(HWND window, const std::string& caption);
// Clicks the child button with that control identifier (IDOK, IDCANCEL).
bool clickButtonWithId(HWND window, int id);
// The text of a window's first visible edit control; empty when none.
std::string editText(HWND window);
// Waits until the window's edit control has shown the same non-empty text
// for half a second (a dialog that has settled on its selection); that
// text, or the empty text when the time runs out.
std::string settledEditText(HWND window, DWORD timeoutMs);
// The texts of a window's visible static controls, in z order.
std::vector<std::string> staticTexts(HWND window);

// What the progress window shows: its title, the text of its report box
// (lines separated by CR LF, as the box gives them) and its button.
struct ProgressSeen {
  std::string title;
  std::string report;
  std::string button;
};
ProgressSeen readProgress(HWND window);
class ProgramRun;
// Reads the progress window until its button reads "Fermer" (or the program
// ends, or the time runs out), calling `onReading` with every reading, then
// reads it once more: a reading is three messages and the end may come
// between them, whereas the pass that changed the button has finished by
// the next one.
ProgressSeen waitForTheEnd(HWND window, const ProgramRun& run, DWORD timeoutMs,
                           const std::function<void(const ProgressSeen&)>& onReading = {});

// The report box's text split into lines.
std::vector<std::string> reportLines(const ProgressSeen& seen);

// Presses and releases a key in the window, as a user does on the keyboard:
// the key goes to the control that has the focus.
void pressKey(HWND window, WORD virtualKey);
// A click on the close box: the system menu's Close.
void pressCloseBox(HWND window);

// Saves what the screen shows of the window (its frame included) as a PNG
// file (the folder is created); false when the capture failed.
bool saveScreenshot(HWND window, const std::string& pngPath);

// The window's client area and a child's place in it, in pixels.
RECT clientRectOf(HWND window);
RECT childRectIn(HWND window, HWND child);

// Makes the calling test program aware of each monitor's DPI, so that it
// reads the program's windows in real pixels.
void becomeDpiAware();

// Today's date as the default archive mask writes it (2026-12-11).
std::string todayText();

// The process of the first visible top-level window of that class; 0 when
// none appears in time.
DWORD processOfWindowClass(const std::string& className, DWORD timeoutMs);

// The path of a program beside the running test executable.
std::string programBesideTests(const std::string& fileName);

class ProgramRun {
 public:
  // Starts the program. `commandLine` is the whole raw line, program word
  // included; `environment` holds NAME=value overrides of the test's own
  // environment.
  ProgramRun(const std::string& program, const std::string& commandLine,
             const std::string& currentFolder, const std::vector<std::string>& environment = {});
  // Follows a program that was started otherwise (from the host, say).
  explicit ProgramRun(DWORD processId);
  ProgramRun(const ProgramRun&) = delete;
  ProgramRun& operator=(const ProgramRun&) = delete;
  ~ProgramRun();  // ends the program if it still runs

  bool started() const { return info_.hProcess != nullptr; }
  // The program's main thread (none for a program followed by its id).
  HANDLE mainThread() const { return info_.hThread; }
  bool running() const;
  // The next visible top-level window of the program not returned before;
  // nullptr when the program ends or the time runs out.
  HWND waitForNewWindow(DWORD timeoutMs);
  // The exit code; STILL_ACTIVE when the time runs out (the program is then
  // ended).
  DWORD waitForExit(DWORD timeoutMs);

 private:
  std::vector<HWND> visibleWindows() const;

  PROCESS_INFORMATION info_{};
  std::set<HWND> seen_;
};

// A run answered like a user who reads every message box and presses its
// first button, and who closes any other window (the progress window) with
// its button at once.
struct RunResult {
  DWORD exitCode = STILL_ACTIVE;
  std::vector<DialogSeen> dialogs;  // message boxes only
  int otherWindows = 0;
};
RunResult runAnsweringDialogs(const std::string& program, const std::string& commandLine,
                              const std::string& currentFolder,
                              const std::vector<std::string>& environment = {},
                              DWORD timeoutMs = 60000);
