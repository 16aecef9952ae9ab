// The progress window of a backup run: names the source and the target,
// counts the seconds in its title while the worker builds the archive, then
// reports and delivers. Windows build only.
#pragma once

// Opens the window, starts the worker and runs the event loop until the
// user closes the window or cancels. Returns the exit code: 1 when the text
// box or the button cannot be created, 0 otherwise (also when the window
// itself cannot be opened). Main thread, once, after the preparation steps.
// The worker has ended when it returns; what the window holds is released
// by endProcess.
int runProgressWindow();

// Body of the worker thread (parameter 0, unread): archives sourceFolder
// into tempArchivePath and stores the count in archivedCount as its last
// action. Reads nothing else of the job.
unsigned long __stdcall runArchiveWorker(void* parameter);
