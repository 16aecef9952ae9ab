#include "settings/settings.h"

#include "app/backup_job.h"
#include "settings/placeholders.h"

void readSettings() {
  backupJob.nameMask = std::string(defaultNameMask);
  backupJob.destinationPath = expandFolderPlaceholders(defaultDestination);
}
