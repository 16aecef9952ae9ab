#include "ui/delivery.h"

#include "app/paths.h"
#include "ui/report_text.h"

void deliverArchive(const BackupJob& job, ProgressActions& window, DeliveryServices& files) {
  const std::int64_t size = files.fileSize(job.tempArchivePath);
  window.addReportLine(-1, countLine(job.archivedCount, size));
  addLackLines(window);
  if (files.copyReplacing(job.tempArchivePath, stagingPathOf(job.destinationPath),
                          job.destinationPath)) {
    files.playChime();
    window.addReportLine(-1, std::string(successLine));
    window.setTitle(job.programTitle + std::string(successTitleSuffix));
  } else {
    window.addReportLine(-1, std::string(copyFailedLine));
    window.setTitle(job.programTitle + std::string(errorTitleSuffix));
  }
  files.deleteFile(job.tempArchivePath);
}
