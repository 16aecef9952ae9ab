// The process-wide values of one run. Everything starts empty or zero; the
// comments say which step sets each field.
#pragma once

#include <cstdint>
#include <string>

struct BackupJob {
  std::string programTitle;  // start-up: the executable's name less its extension
  std::string sourceFolder;  // start-up: joined parameters; prepareSource: a folder ending in "\"
  std::string nameMask;      // readSettings
  std::string destinationPath;  // readSettings (expanded); prepareDestination appends archiveName
  std::string archiveName;      // prepareArchiveName: a valid name followed by ".Zip"
  std::string tempArchivePath;  // prepareTemporaryPath: temporary folder followed by archiveName
  std::int32_t archivedCount = 0;
  std::int32_t elapsedSeconds = 0;
  std::uint32_t archiveWorker = 0;
  bool quitRequested = false;
};

// The one job of this process. Main thread only, except where the progress
// window's worker is documented to read it.
extern BackupJob backupJob;
