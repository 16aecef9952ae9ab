#include "base/backup_job.h"

BackupJob backupJob;
