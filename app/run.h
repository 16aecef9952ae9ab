// The run of the program: start-up, choice of mode, and every end.
#pragma once

#include <string>

// The whole run from start-up to the exit code (main thread).
int runProgram();

// Shows the error box (caption "Erreur " and the program title, the message
// followed directly by the detail, one OK button, no icon, no owner), then
// ends the process with the exit code. Used before any window of the
// process exists.
[[noreturn]] void showErrorAndExit(const std::string& message, const std::string& detail,
                                   int exitCode);

// Releases what the run holds and ends the process with the exit code.
[[noreturn]] void endProcess(int exitCode);
