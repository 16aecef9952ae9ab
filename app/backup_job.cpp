#include "app/backup_job.h"

BackupJob backupJob;
