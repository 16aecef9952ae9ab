// Watches one backup run of the real program for a person who cannot see
// the screen (a machine without a display): prints what the windows show,
// saves a screenshot of the finished progress window, presses "Fermer" and
// ends with the program's exit code.
// Usage: watch_backup.exe PROGRAM FOLDER SCREENSHOT.png
#include <windows.h>

#include <cstdio>

#include "tests/e2e/driver.h"

namespace {

// A backup of a large tree may take hours; a window nobody can see is not
// waited for beyond this.
constexpr ULONGLONG longestRunMs = 12ull * 3600 * 1000;

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: watch_backup PROGRAM FOLDER SCREENSHOT.png\n");
    return 2;
  }
  const std::string program = argv[1];
  ProgramRun run(program, "\"" + program + "\" \"" + argv[2] + "\"", "");
  if (!run.started()) {
    std::fprintf(stderr, "watch_backup: cannot start %s\n", program.c_str());
    return 2;
  }
  HWND window = run.waitForNewWindow(60000);
  if (window == nullptr) return static_cast<int>(run.waitForExit(10000));
  if (windowClass(window) == "#32770") {  // a message box: an error before the window
    DialogSeen box = readDialog(window);
    std::printf("%s\n%s\n", box.caption.c_str(), box.text.c_str());
    clickButton(window, "OK");
    return static_cast<int>(run.waitForExit(10000));
  }

  const ULONGLONG deadline = GetTickCount64() + longestRunMs;
  ProgressSeen seen = readProgress(window);
  std::string lastTitle;
  while (seen.button != "Fermer" && run.running() && GetTickCount64() < deadline) {
    if (seen.title != lastTitle) {
      std::fprintf(stderr, "\r%s   ", seen.title.c_str());
      lastTitle = seen.title;
    }
    Sleep(200);
    seen = readProgress(window);
  }
  std::fprintf(stderr, "\n");
  for (const std::string& line : reportLines(seen)) std::printf("%s\n", line.c_str());
  std::printf("Titre : %s\n", seen.title.c_str());
  if (!saveScreenshot(window, argv[3])) std::fprintf(stderr, "watch_backup: no screenshot\n");
  if (seen.button == "Fermer") {
    clickButton(window, "Fermer");
  } else {
    std::fprintf(stderr, "watch_backup: the run did not end in time; cancelling\n");
    clickButton(window, "Annuler");
  }
  return static_cast<int>(run.waitForExit(60000));
}
