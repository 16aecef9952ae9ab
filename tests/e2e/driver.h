// Drives the real program as a user would: starts it with a raw command line,
// finds its windows, reads what they show (WM_GETTEXT), presses their
// buttons, and collects the exit code.
#pragma once

#include <windows.h>

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

// The path of a program beside the running test executable.
std::string programBesideTests(const std::string& fileName);

class ProgramRun {
 public:
  // Starts the program. `commandLine` is the whole raw line, program word
  // included; `environment` holds NAME=value overrides of the test's own
  // environment.
  ProgramRun(const std::string& program, const std::string& commandLine,
             const std::string& currentFolder, const std::vector<std::string>& environment = {});
  ProgramRun(const ProgramRun&) = delete;
  ProgramRun& operator=(const ProgramRun&) = delete;
  ~ProgramRun();  // ends the program if it still runs

  bool started() const { return info_.hProcess != nullptr; }
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
// first button.
struct RunResult {
  DWORD exitCode = STILL_ACTIVE;
  std::vector<DialogSeen> dialogs;
};
RunResult runAnsweringDialogs(const std::string& program, const std::string& commandLine,
                              const std::string& currentFolder,
                              const std::vector<std::string>& environment = {},
                              DWORD timeoutMs = 60000);
