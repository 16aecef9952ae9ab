// Measures whole backup runs of the real program, driven as a user would:
// the time from its start to the moment its window offers "Fermer", and the
// CPU time its main thread spends while the worker runs. Two runs, since
// every reading of the window costs the main thread a message: the first
// reads the button every 20 ms for the time, the second reads it once a
// second for the CPU time.
// Usage: run_bench.exe PROGRAM FOLDER
#include <windows.h>

#include <cstdio>

#include "bench/timing.h"
#include "tests/e2e/driver.h"

namespace {

double cpuSeconds(HANDLE thread) {
  FILETIME created, ended, kernel, user;
  if (!GetThreadTimes(thread, &created, &ended, &kernel, &user)) return -1;
  auto value = [](const FILETIME& t) {
    return double((std::uint64_t{t.dwHighDateTime} << 32) | t.dwLowDateTime) / 1e7;
  };
  return value(kernel) + value(user);
}

std::string buttonOf(HWND window) {
  for (HWND child : childWindows(window)) {
    if (windowClass(child) == "Button") return windowText(child);
  }
  return {};
}

struct Measured {
  double seconds = 0;         // start to "Fermer" seen
  double runningSeconds = 0;  // window seen to the last reading of "Annuler"
  double mainCpu = 0;         // main thread CPU over runningSeconds
  std::string title;
};

bool measure(const std::string& program, const std::string& folder, DWORD pollMs, Measured& m) {
  LARGE_INTEGER start;
  QueryPerformanceCounter(&start);
  ProgramRun run(program, "\"" + program + "\" \"" + folder + "\"", "");
  HWND window = run.waitForNewWindow(60000);
  if (!window) return false;
  const double windowSeen = secondsSince(start);
  const double cpuAtWindow = cpuSeconds(run.mainThread());
  double cpuRunning = cpuAtWindow;
  double lastRunning = windowSeen;
  for (;;) {
    const double cpu = cpuSeconds(run.mainThread());
    const double now = secondsSince(start);
    if (buttonOf(window) == "Fermer" || !run.running()) break;
    cpuRunning = cpu;
    lastRunning = now;
    Sleep(pollMs);
  }
  m.seconds = secondsSince(start);
  m.runningSeconds = lastRunning - windowSeen;
  m.mainCpu = cpuRunning - cpuAtWindow;
  m.title = readProgress(window).title;
  clickButton(window, "Fermer");
  return run.waitForExit(30000) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: run_bench PROGRAM FOLDER\n");
    return 2;
  }
  Measured timed, quiet;
  if (!measure(argv[1], argv[2], 20, timed) || !measure(argv[1], argv[2], 1000, quiet)) return 1;
  std::printf("run_seconds %.3f\nfinal_title %s\n", timed.seconds, timed.title.c_str());
  std::printf("running_seconds %.3f\nmain_thread_cpu_while_running_seconds %.4f\n",
              quiet.runningSeconds, quiet.mainCpu);
  return 0;
}
