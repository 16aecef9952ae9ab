// The progress window's event loop as states and steps, apart from the
// window system: what one pass of the loop does for one event. Portable; the
// window (progress_window_win.cpp) feeds it the events of its message loop,
// and tests feed it events of their own.
#pragma once

#include <string>
#include <vector>

#include "base/backup_job.h"

// One event of the main thread, as far as the loop tells them apart.
enum class LoopEvent {
  other,          // painting, mouse, keyboard and the like
  buttonPressed,  // control 1
  shortcut13,     // Return, once bound
  shortcut27,     // Escape, once bound
  timer1,
  closeRequest,  // close box, Close in the system menu, Alt+F4
  workerEnded,   // the wait woke because the worker thread ended
};

// What the loop does to the window and the worker. Main thread only.
class ProgressActions {
 public:
  virtual ~ProgressActions() = default;
  // addReportLine: position -1 appends (see reportInsertion).
  virtual void addReportLine(int position, const std::string& text) = 0;
  virtual void setTitle(const std::string& text) = 0;
  virtual void setButtonCaption(const std::string& caption) = 0;
  // Binds Return to shortcut 13 and Escape to shortcut 27.
  virtual void bindShortcuts() = 0;
  // Whether the started worker still runs; never blocks.
  virtual bool workerRunning() = 0;
  // Asks the archiver to stop and returns when the worker has ended.
  virtual void stopWorker() = 0;
  virtual void deleteTemporaryArchive() = 0;
  // Delivery of a finished archive (count line, copy, chime, final title).
  virtual void deliverArchive() = 0;
  // What the archive lacks: paths of files left out and of folders that
  // could not be listed (ending with "\"), in walk order.
  virtual std::vector<std::string> lackingPaths() = 0;
};

// The report lines that name what the archive lacks, one a path.
void addLackLines(ProgressActions& window);

// One pass of the loop for one event: acts on the event, then the
// completion step when the worker is seen ended, then the cancel step when a
// quit was asked for while the worker runs. Returns whether the loop ends
// (quitRequested). A pass that both asks to quit and first sees the worker
// ended completes (and delivers) first; the cancel step then deletes nothing.
bool runLoopPass(BackupJob& job, LoopEvent event, ProgressActions& window);
