// Watches one run of the real program for a person who cannot see the
// screen (a machine without a display): prints what the windows show,
// saves a screenshot, answers as a user who accepts what is offered, and
// ends with the program's exit code. With a folder: a backup, whose
// finished window is captured before "Fermer" is pressed. Without: the
// installation, whose folder browser is confirmed at its start folder.
// Usage: watch_backup.exe PROGRAM SCREENSHOT.png [FOLDER]
#include <windows.h>

#include <cstdio>

#include "tests/e2e/driver.h"

namespace {

// A backup of a large tree may take hours; a window nobody can see is not
// waited for beyond this.
constexpr DWORD longestRunMs = 12u * 3600 * 1000;

// The installation: the browser is confirmed, then each box read and closed.
int watchInstallation(ProgramRun& run, HWND window, const std::string& screenshot) {
  for (int shown = 0; window; ++shown) {
    // The browser selects its start folder once it is shown.
    if (shown == 0) settledEditText(window, 10000);
    DialogSeen seen = readDialog(window);
    std::printf("[%s]\n", seen.caption.c_str());
    for (const std::string& text : staticTexts(window)) {
      if (!text.empty()) std::printf("%s\n", text.c_str());
    }
    // The folder browser, then the box: the last one keeps the given name.
    const std::string name =
        shown == 0 ? screenshot.substr(0, screenshot.size() - 4) + "-browser.png" : screenshot;
    saveScreenshot(window, name);
    if (!clickButtonWithId(window, IDOK)) clickButton(window, "OK");
    window = run.waitForNewWindow(60000);
  }
  return static_cast<int>(run.waitForExit(10000));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 && argc != 4) {
    std::fprintf(stderr, "usage: watch_backup PROGRAM SCREENSHOT.png [FOLDER]\n");
    return 2;
  }
  const std::string program = argv[1];
  const std::string screenshot = argv[2];
  const bool install = argc == 3;
  ProgramRun run(program,
                 "\"" + program + "\"" + (install ? "" : " \"" + std::string(argv[3]) + "\""), "");
  if (!run.started()) {
    std::fprintf(stderr, "watch_backup: cannot start %s\n", program.c_str());
    return 2;
  }
  HWND window = run.waitForNewWindow(60000);
  if (window == nullptr) return static_cast<int>(run.waitForExit(10000));
  if (install) return watchInstallation(run, window, screenshot);
  if (windowClass(window) == "#32770") {  // a message box: an error before the window
    DialogSeen box = readDialog(window);
    std::printf("%s\n%s\n", box.caption.c_str(), box.text.c_str());
    clickButton(window, "OK");
    return static_cast<int>(run.waitForExit(10000));
  }

  std::string lastTitle;
  const ProgressSeen seen =
      waitForTheEnd(window, run, longestRunMs, [&lastTitle](const ProgressSeen& reading) {
        if (reading.title != lastTitle) {
          std::fprintf(stderr, "\r%s   ", reading.title.c_str());
          lastTitle = reading.title;
        }
      });
  std::fprintf(stderr, "\n");
  for (const std::string& line : reportLines(seen)) std::printf("%s\n", line.c_str());
  std::printf("Titre : %s\n", seen.title.c_str());
  if (!saveScreenshot(window, screenshot)) std::fprintf(stderr, "watch_backup: no screenshot\n");
  if (seen.button == "Fermer") {
    clickButton(window, "Fermer");
  } else {
    std::fprintf(stderr, "watch_backup: the run did not end in time; cancelling\n");
    clickButton(window, "Annuler");
  }
  return static_cast<int>(run.waitForExit(60000));
}
