#include "ui/progress_loop.h"

#include "ui/report_text.h"

void addLackLines(ProgressActions& window) {
  for (const std::string& path : window.lackingPaths()) {
    window.addReportLine(-1, std::string(notSavedPrefix) + path);
  }
}

bool runLoopPass(BackupJob& job, LoopEvent event, ProgressActions& window) {
  switch (event) {
    case LoopEvent::buttonPressed:
    case LoopEvent::shortcut13:
    case LoopEvent::shortcut27:
    case LoopEvent::closeRequest: job.quitRequested = true; break;
    case LoopEvent::timer1:
      if (job.archiveWorker != 0) {
        ++job.elapsedSeconds;
        window.setTitle(runningTitle(job.programTitle, job.elapsedSeconds));
      }
      break;
    case LoopEvent::workerEnded:
    case LoopEvent::other: break;
  }

  if (job.archiveWorker != 0 && !window.workerRunning()) {
    window.addReportLine(-1, compressionTimeLine(job.elapsedSeconds));
    window.setButtonCaption(std::string(closeCaption));
    if (job.archivedCount != 0) {
      window.deliverArchive();
    } else {
      window.addReportLine(-1, std::string(compressionFailedLine));
      addLackLines(window);
      window.setTitle(job.programTitle + std::string(errorTitleSuffix));
    }
    job.archiveWorker = 0;
    job.archivedCount = 0;
    window.bindShortcuts();
  }

  if (job.quitRequested && job.archiveWorker != 0) {
    // The worker has let go of the archive once it has ended.
    window.stopWorker();
    window.deleteTemporaryArchive();
    job.archiveWorker = 0;
  }
  return job.quitRequested;
}
