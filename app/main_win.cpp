// The process entry: the run mode chosen at start-up, then its window, then
// the end with the exit code.
#include <windows.h>

#include "app/install.h"
#include "app/process_end.h"
#include "app/run.h"
#include "ui/progress_window.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  if (startProgram() == RunMode::install) {
    installIntoSendTo();
    endProcess(0);  // whatever the installation's outcome
  }
  endProcess(runProgressWindow());
}
