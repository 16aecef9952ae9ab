// Every end of the process, whatever its exit code.
//
// Who calls endProcess: the entry point once the run mode has finished,
// showErrorAndExit before any window exists, and the progress window when
// the session ends under it. All on the main thread. An end may come while
// the archiving worker runs: the progress window then has set a release
// step that asks the archiver to stop and waits for the worker, and that
// step runs before anything the worker uses is released.
#pragma once

#include <string>

// What the progress window holds (its worker, the sound device): run by
// endProcess first. nullptr clears it. Main thread only.
void setProcessEndStep(void (*releaseStep)());

// Runs the release step, releases the archiver, then ends the process with
// the exit code. Main thread only.
[[noreturn]] void endProcess(int exitCode);

// Shows the error box (caption "Erreur " and the program title, the message
// followed directly by the detail, one OK button, no icon, no owner), then
// ends the process with the exit code. Used before any window of the
// process exists.
[[noreturn]] void showErrorAndExit(const std::string& message, const std::string& detail,
                                   int exitCode);
