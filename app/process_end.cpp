#include "app/process_end.h"

#include <cstdlib>

#include "base/backup_job.h"
#include "archive/zip_writer.h"
#include "platform/dialogs.h"

namespace {

void (*processEndStep)() = nullptr;

}  // namespace

void setProcessEndStep(void (*releaseStep)()) { processEndStep = releaseStep; }

void endProcess(int exitCode) {
  // The worker must be gone before the file list and the archiver's other
  // state are released under it.
  if (processEndStep) {
    auto step = processEndStep;
    processEndStep = nullptr;
    step();
  }
  releaseArchiver();
  std::exit(exitCode);
}

void showErrorAndExit(const std::string& message, const std::string& detail, int exitCode) {
  showMessageBox("Erreur " + backupJob.programTitle, message + detail);
  endProcess(exitCode);
}
