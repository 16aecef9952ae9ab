#include "app/run.h"

#include <cstdlib>

#include "app/backup_job.h"
#include "app/command_line.h"
#include "app/preparation.h"
#include "archive/zip_writer.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "settings/settings.h"

BackupJob backupJob;

void endProcess(int exitCode) {
  releaseArchiver();
  std::exit(exitCode);
}

void showErrorAndExit(const std::string& message, const std::string& detail, int exitCode) {
  showMessageBox("Erreur " + backupJob.programTitle, message + detail);
  endProcess(exitCode);
}

int runProgram() {
  initArchiver();
  backupJob.programTitle = programTitleOf(programPath());
  backupJob.sourceFolder = joinedParameters(processCommandLine());
  readSettings();
  if (backupJob.sourceFolder.empty()) return 0;

  prepareSource();
  prepareArchiveName();
  prepareTemporaryPath();
  prepareDestination();
  return 0;
}
