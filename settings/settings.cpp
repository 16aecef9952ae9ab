#include "settings/settings.h"

#include "base/backup_job.h"
#include "platform/files.h"
#include "settings/placeholders.h"
#include "settings/settings_file.h"

std::string settingsPathOf(const std::string& programPath) { return programPath + ".ini"; }

void readSettings() {
  SettingsFile file;
  file.openForReading(settingsPathOf(programPath()));
  backupJob.nameMask = file.value(nameMaskKey, defaultNameMask);
  backupJob.destinationPath = file.value(destinationKey, defaultDestination);
  file.close();
  backupJob.destinationPath = expandFolderPlaceholders(backupJob.destinationPath);
}

void writeSettings(const std::string& installedProgramPath) {
  SettingsFile file;
  if (!file.create(settingsPathOf(installedProgramPath))) return;
  file.addComment("%P = nom du fichier/dossier source");
  file.addComment("%yyyy-%mm-%dd %hh:%ii:%ss");
  file.setValue(nameMaskKey, backupJob.nameMask);
  file.setValue(destinationKey, collapseFolderPlaceholders(backupJob.destinationPath));
  file.close();
}
