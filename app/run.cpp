#include "app/run.h"

#include "base/backup_job.h"
#include "app/command_line.h"
#include "app/preparation.h"
#include "archive/zip_writer.h"
#include "platform/files.h"
#include "settings/settings.h"

RunMode startProgram() {
  initArchiver();
  backupJob.programTitle = programTitleOf(programPath());
  backupJob.sourceFolder = joinedParameters(processCommandLine());
  readSettings();
  if (backupJob.sourceFolder.empty()) return RunMode::install;

  prepareSource();
  prepareArchiveName();
  prepareTemporaryPath();
  prepareDestination();
  return RunMode::backup;
}
