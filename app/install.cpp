#include "app/install.h"

#include "base/backup_job.h"
#include "app/command_line.h"
#include "app/paths.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/folder_chooser.h"
#include "platform/shell.h"
#include "settings/settings.h"

namespace {

void showError(const std::string& text) {
  showMessageBox("Erreur " + backupJob.programTitle, text);
}

// The copy is written beside the installed one under a name the menu does
// not offer, then moved over it in one step: the menu never offers half an
// executable, and a failed copy leaves the older one working. A program
// started from the Send To folder itself is not copied onto itself.
bool installCopy(const std::string& program, const std::string& installed) {
  if (sameFile(program, installed)) return false;
  const std::string staging = pathPartOf(installed) + "~" + filePartOf(installed) + ".tmp";
  if (copyFileWrittenThrough(program, staging) && moveFileReplacing(staging, installed))
    return true;
  deleteFile(staging);
  return false;
}

}  // namespace

std::string installedProgramPathOf(const std::string& sendToFolder,
                                   const std::string& programPath) {
  return sendToFolder + filePartOf(programPath);
}

void installIntoSendTo() {
  const std::string sendToFolder = specialFolderPath(shellFolderSendTo);
  if (fileSizeOf(sendToFolder) != pathIsFolder) {
    showError("Le dossier SendTo n'est pas accéssible !");
    return;
  }
  backupJob.destinationPath =
      chooseFolder("Sélectionnez le dossier de sauvegarde", backupJob.destinationPath);
  if (backupJob.destinationPath.empty()) return;

  const std::string program = programPath();
  const std::string installed = installedProgramPathOf(sendToFolder, program);
  writeSettings(installed);
  if (installCopy(program, installed)) {
    showMessageBox("Info",
                   "Copie correctement effectuée !\r\n"
                   "Le programme se trouve dans le menu \"Envoyer vers\"");
  } else {
    showError("La copie a échouée !\r\n" + installed);
  }
}
