// Delivery of a finished archive: the count line, the copy to the
// destination, the chime and the final title. Main thread, inside the pass
// of the loop that saw the worker end with a count other than 0.
#pragma once

#include <cstdint>
#include <string>

#include "base/backup_job.h"
#include "ui/progress_loop.h"

// The file services delivery uses; the program's are in delivery_win.cpp.
class DeliveryServices {
 public:
  virtual ~DeliveryServices() = default;
  // fileSizeOf: a size, -1 for nothing there, -2 for a folder.
  virtual std::int64_t fileSize(const std::string& path) = 0;
  // Copies `from` into `staging` (replaced when it exists), written
  // through, then moves it over `target` in one step. False when either
  // fails; the staging copy is then removed, and `target` is as it was.
  virtual bool copyReplacing(const std::string& from, const std::string& staging,
                             const std::string& target) = 0;
  // Plays the chime once and waits 1000 ms; returns at once without a
  // sound device.
  virtual void playChime() = 0;
  virtual void deleteFile(const std::string& path) = 0;
};

// In this order: the count line and the lines of what the archive lacks;
// the copy; on success the chime, "Terminé avec succés !" and the title
// " - Terminé"; on failure the copy failure line and " - Erreur"; in both
// cases the temporary archive is deleted.
void deliverArchive(const BackupJob& job, ProgressActions& window, DeliveryServices& files);
