#include "app/preparation.h"

#include "base/backup_job.h"
#include "app/paths.h"
#include "app/process_end.h"
#include "platform/files.h"
#include "settings/date_clock.h"

namespace {

constexpr std::size_t maxPathChars = 260;

bool isFolder(const std::string& path) { return fileSizeOf(path) == pathIsFolder; }

// The text handed to the system to create one folder level.
std::string folderToCreate(const std::string& prefix) {
  std::string path = prefix.substr(0, maxPathChars);
  while (!path.empty() && (path.back() == '\\' || path.back() == '/' || path.back() == ' ')) {
    path.pop_back();
  }
  return path;
}

}  // namespace

bool ensureFolder(const std::string& folderPath) {
  const std::string folder = pathPartOf(folderPath);
  std::string prefix;
  std::size_t start = 0;
  for (;;) {
    std::size_t separator = folder.find('\\', start);
    if (separator == std::string::npos) break;
    std::string piece = folder.substr(start, separator - start);
    if (piece.empty()) break;
    prefix += piece;
    prefix += '\\';
    if (!isFolder(prefix) && !createFolder(folderToCreate(prefix))) break;
    start = separator + 1;
  }
  return isFolder(folder);
}

void prepareSource() {
  std::string& source = backupJob.sourceFolder;
  if (!isFolder(source)) source = pathPartOf(source);
  if (source.empty()) source = currentFolder();
  if (source.back() != '\\') source += '\\';
  if (!isFolder(source)) showErrorAndExit("Le dossier source est invalide !\r\n", source, 1);
}

void prepareArchiveName() {
  std::string name = archiveNameFromMask(backupJob.nameMask, lastFolderName(backupJob.sourceFolder),
                                         currentDateValue());
  if (!isValidFileName(name)) showErrorAndExit("Le nom de fichier est invalide !\r\n", name, 2);
  backupJob.archiveName = name + std::string(archiveExtension);
}

void prepareTemporaryPath() {
  std::string folder = temporaryFolder();
  if (!isFolder(folder)) showErrorAndExit("Le dossier temporaire est invalide !\r\n", folder, 3);
  backupJob.tempArchivePath = folder + backupJob.archiveName;
  // A folder of that name stays; the archiver will then fail to create the file.
  if (fileSizeOf(backupJob.tempArchivePath) >= 0) deleteFile(backupJob.tempArchivePath);
}

void prepareDestination() {
  if (!ensureFolder(backupJob.destinationPath)) {
    showErrorAndExit("Le dossier destination est invalide !\r\n", backupJob.destinationPath, 4);
  }
  backupJob.destinationPath += backupJob.archiveName;
}
