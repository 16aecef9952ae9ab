// The progress window's loop and delivery, driven by events and recorded.
#include "ui/progress_loop.h"

#include <gtest/gtest.h>

#include "app/paths.h"
#include "ui/delivery.h"

namespace {

// Records what the loop does, in order, as short lines.
class RecordedWindow final : public ProgressActions, public DeliveryServices {
 public:
  std::vector<std::string> log;
  bool running = true;
  bool copySucceeds = true;
  std::vector<std::string> lacking;
  BackupJob* job = nullptr;

  void addReportLine(int position, const std::string& text) override {
    log.push_back("line " + std::to_string(position) + " " + text);
  }
  void setTitle(const std::string& text) override { log.push_back("title " + text); }
  void setButtonCaption(const std::string& caption) override { log.push_back("button " + caption); }
  void bindShortcuts() override { log.push_back("shortcuts"); }
  bool workerRunning() override { return running; }
  void stopWorker() override {
    log.push_back("stop");
    running = false;
  }
  void deleteTemporaryArchive() override { log.push_back("delete temporary"); }
  void deliverArchive() override { ::deliverArchive(*job, *this, *this); }
  std::vector<std::string> lackingPaths() override { return lacking; }

  std::int64_t fileSize(const std::string& path) override {
    log.push_back("size " + path);
    return 1536;
  }
  bool copyReplacing(const std::string& from, const std::string& staging,
                     const std::string& target) override {
    log.push_back("copy " + from + " " + staging + " " + target);
    return copySucceeds;
  }
  void playChime() override { log.push_back("chime"); }
  void deleteFile(const std::string& path) override { log.push_back("delete " + path); }
};

class ProgressLoop : public ::testing::Test {
 protected:
  void SetUp() override {
    job.programTitle = "Sauvegarde";
    job.tempArchivePath = "T:\\Photos.Zip";
    job.destinationPath = "D:\\Bak\\Photos.Zip";
    job.archiveWorker = 42;
    window.job = &job;
  }
  bool pass(LoopEvent event) { return runLoopPass(job, event, window); }
  void workerEnds(std::int32_t count) {
    job.archivedCount = count;
    window.running = false;
  }
  BackupJob job;
  RecordedWindow window;
};

}  // namespace

TEST_F(ProgressLoop, ticksCountOnlyWhileTheWorkerRuns) {
  EXPECT_FALSE(pass(LoopEvent::timer1));
  EXPECT_FALSE(pass(LoopEvent::other));
  EXPECT_FALSE(pass(LoopEvent::timer1));
  EXPECT_EQ(job.elapsedSeconds, 2);
  workerEnds(0);
  EXPECT_FALSE(pass(LoopEvent::workerEnded));
  window.log.clear();
  EXPECT_FALSE(pass(LoopEvent::timer1));  // after the end: the title stays
  EXPECT_EQ(job.elapsedSeconds, 2);
  EXPECT_TRUE(window.log.empty());
}

TEST_F(ProgressLoop, returnAndEscapeDoNothingUntilTheEnd) {
  // Unbound keys reach the loop as other events; the window binds them only
  // at the end.
  EXPECT_FALSE(pass(LoopEvent::other));
  EXPECT_EQ(window.log, std::vector<std::string>{});
  for (LoopEvent quit : {LoopEvent::shortcut13, LoopEvent::shortcut27, LoopEvent::buttonPressed,
                         LoopEvent::closeRequest}) {
    BackupJob ended = job;
    ended.archiveWorker = 0;  // completed
    RecordedWindow idle;
    idle.running = false;
    EXPECT_TRUE(runLoopPass(ended, quit, idle));
    EXPECT_EQ(idle.log, std::vector<std::string>{});  // nothing more is shown or deleted
  }
}

TEST_F(ProgressLoop, failedCompressionReportsAndKeepsTheTemporaryArchive) {
  window.lacking = {"C:\\Data\\locked.txt", "C:\\Data\\Deny\\"};
  pass(LoopEvent::timer1);
  workerEnds(0);
  window.log.clear();
  EXPECT_FALSE(pass(LoopEvent::workerEnded));
  EXPECT_EQ(window.log, (std::vector<std::string>{
                            "line -1 Temps de compr\xE9ssion 00 minutes 01 secondes",
                            "button Fermer",
                            "line -1 Erreur, la compr\xE9ssion a \xE9"
                            "chou\xE9"
                            "e !",
                            "line -1 Non sauvegard\xE9 : C:\\Data\\locked.txt",
                            "line -1 Non sauvegard\xE9 : C:\\Data\\Deny\\",
                            "title Sauvegarde - Erreur",
                            "shortcuts",
                        }));
  EXPECT_EQ(job.archiveWorker, 0u);
  EXPECT_TRUE(pass(LoopEvent::shortcut27));
}

TEST_F(ProgressLoop, deliveryInOrderThenTheWindowWaits) {
  window.lacking = {"C:\\Data\\open.txt"};
  workerEnds(3);
  EXPECT_FALSE(pass(LoopEvent::workerEnded));
  EXPECT_EQ(window.log, (std::vector<std::string>{
                            "line -1 Temps de compr\xE9ssion 00 minutes 00 secondes",
                            "button Fermer",
                            "size T:\\Photos.Zip",
                            "line -1 3 fichiers compr\xE9ss\xE9s en 1.50 KO",
                            "line -1 Non sauvegard\xE9 : C:\\Data\\open.txt",
                            "copy T:\\Photos.Zip D:\\Bak\\~Photos.Zip.tmp D:\\Bak\\Photos.Zip",
                            "chime",
                            "line -1 Termin\xE9 avec succ\xE9s !",
                            "title Sauvegarde - Termin\xE9",
                            "delete T:\\Photos.Zip",
                            "shortcuts",
                        }));
  EXPECT_EQ(job.archivedCount, 0);
  EXPECT_TRUE(pass(LoopEvent::shortcut13));
}

TEST_F(ProgressLoop, failedCopyPlaysNoChimeAndStillDeletes) {
  window.copySucceeds = false;
  workerEnds(1);
  pass(LoopEvent::other);
  std::vector<std::string> tail(window.log.end() - 4, window.log.end());
  EXPECT_EQ(tail, (std::vector<std::string>{"line -1 Erreur, la copie du fichier temporaire a \xE9"
                                            "chou\xE9"
                                            "e !",
                                            "title Sauvegarde - Erreur", "delete T:\\Photos.Zip",
                                            "shortcuts"}));
  for (const std::string& line : window.log) EXPECT_NE(line, "chime");
}

TEST_F(ProgressLoop, cancelStopsTheWorkerBeforeDeleting) {
  for (LoopEvent quit : {LoopEvent::buttonPressed, LoopEvent::closeRequest}) {
    BackupJob running = job;
    RecordedWindow w;
    w.job = &running;
    EXPECT_TRUE(runLoopPass(running, quit, w));
    EXPECT_EQ(w.log, (std::vector<std::string>{"stop", "delete temporary"}));
    EXPECT_EQ(running.archiveWorker, 0u);
  }
}

TEST_F(ProgressLoop, quitInThePassThatSeesTheEndCompletesFirst) {
  workerEnds(2);
  EXPECT_TRUE(pass(LoopEvent::buttonPressed));
  EXPECT_EQ(window.log.front(), "line -1 Temps de compr\xE9ssion 00 minutes 00 secondes");
  for (const std::string& line : window.log) {
    EXPECT_NE(line, "stop");
    EXPECT_NE(line, "delete temporary");
  }
  EXPECT_EQ(window.log.back(), "shortcuts");
}

TEST_F(ProgressLoop, idleWindowWithoutWorkerOnlyEnds) {
  job.archiveWorker = 0;
  EXPECT_FALSE(pass(LoopEvent::timer1));
  EXPECT_FALSE(pass(LoopEvent::workerEnded));
  EXPECT_TRUE(window.log.empty());
  EXPECT_TRUE(pass(LoopEvent::closeRequest));
  EXPECT_TRUE(window.log.empty());
}

TEST(delivery, stagingCopyStandsBesideTheArchive) {
  EXPECT_EQ(stagingPathOf("D:\\Bak\\Photos_2026-12-11.Zip"), "D:\\Bak\\~Photos_2026-12-11.Zip.tmp");
  // A destination without its backslash names the archive after it.
  EXPECT_EQ(stagingPathOf("D:\\Data\\BackupsPhotos.Zip"), "D:\\Data\\~BackupsPhotos.Zip.tmp");
  EXPECT_EQ(stagingPathOf("Photos.Zip"), "~Photos.Zip.tmp");
}
