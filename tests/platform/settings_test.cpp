// The settings file on real files: opening attempts, the reader, the writer.
#include <windows.h>

#include <gtest/gtest.h>

#include "base/backup_job.h"
#include "platform/files.h"
#include "platform/shell.h"
#include "settings/settings.h"
#include "settings/settings_file.h"
#include "tests/support/temp_folder.h"

namespace {

// The settings file of this test program, removed before and after each
// test that uses it.
class OwnSettings : public ::testing::Test {
 protected:
  void SetUp() override { removeTree(path); }
  void TearDown() override {
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    removeTree(path);
  }
  const std::string path = settingsPathOf(programPath());
};

class SettingsFiles : public ::testing::Test {
 protected:
  TempFolder temp;
};

}  // namespace

TEST_F(OwnSettings, missingFileGivesTheDefaultsExpanded) {
  readSettings();
  EXPECT_EQ(backupJob.nameMask, "%P_%yyyy-%mm-%dd");
  EXPECT_EQ(backupJob.destinationPath, specialFolderPath(shellFolderDocuments) + "DropBox\\Bak\\");
  EXPECT_FALSE(pathExists(path));  // reading creates nothing
}

TEST_F(OwnSettings, valuesAreReadWithPlaceholdersExpanded) {
  ASSERT_TRUE(writeFile(path, "maskfilename=%P_%yy\r\nDestPath = %ProgFiles%Sauvegardes\\ \t\r\n"));
  readSettings();
  EXPECT_EQ(backupJob.nameMask, "%P_%yy");
  EXPECT_EQ(backupJob.destinationPath,
            specialFolderPath(shellFolderProgramFiles) + "Sauvegardes\\");
}

TEST_F(OwnSettings, readOnlyFileIsRead) {
  ASSERT_TRUE(writeFile(path, "MaskFileName = lecture-seule\r\n"));
  ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
  readSettings();
  EXPECT_EQ(backupJob.nameMask, "lecture-seule");
}

TEST_F(OwnSettings, fileHeldOpenForWritingIsReadAndReleased) {
  ASSERT_TRUE(writeFile(path, "MaskFileName = ouvert\r\n"));
  // Another writer that lets others read: only the third opening attempt
  // (read access, sharing reads and writes) gets through.
  HANDLE writer = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  readSettings();
  CloseHandle(writer);
  EXPECT_EQ(backupJob.nameMask, "ouvert");
  // Closed again before start-up goes on: the file can be opened without
  // any sharing at once.
  HANDLE exclusive = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  EXPECT_NE(exclusive, INVALID_HANDLE_VALUE);
  CloseHandle(exclusive);
}

TEST_F(OwnSettings, fileLockedWithoutSharingGivesTheDefaults) {
  ASSERT_TRUE(writeFile(path, "MaskFileName = verrou\r\n"));
  HANDLE locker = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(locker, INVALID_HANDLE_VALUE);
  readSettings();
  CloseHandle(locker);
  EXPECT_EQ(backupJob.nameMask, "%P_%yyyy-%mm-%dd");
}

TEST_F(SettingsFiles, writerProducesExactlyTheFourLines) {
  const std::string documents = specialFolderPath(shellFolderDocuments);
  const std::string program = temp / "Sauvegarde.exe";
  ASSERT_TRUE(writeFile(program + ".ini", "[Old]\r\nDestPath = X:\\\r\n; other lines\r\n" +
                                              std::string(5000, 'z') + "\r\n"));
  backupJob.nameMask = "%P_%yyyy-%mm-%dd";
  backupJob.destinationPath = documents + "DropBox\\Bak\\";
  writeSettings(program);
  EXPECT_EQ(readFile(program + ".ini"),
            "; %P = nom du fichier/dossier source\r\n"
            "; %yyyy-%mm-%dd %hh:%ii:%ss\r\n"
            "MaskFileName = %P_%yyyy-%mm-%dd\r\n"
            "DestPath = %MyDoc%DropBox\\Bak\\\r\n");

  backupJob.nameMask = "Sauve %P";
  backupJob.destinationPath =
      "D:\\Donn\xE9"
      "es\\";
  writeSettings(program);
  EXPECT_EQ(readFile(program + ".ini"),
            "; %P = nom du fichier/dossier source\r\n"
            "; %yyyy-%mm-%dd %hh:%ii:%ss\r\n"
            "MaskFileName = Sauve %P\r\n"
            "DestPath = D:\\Donn\xE9"
            "es\\\r\n");
}

TEST_F(SettingsFiles, writerPassesOverAFileItCannotCreate) {
  // The folder of the copy does not exist: nothing happens, nothing is said.
  writeSettings(temp / "missing\\Sauvegarde.exe");
  EXPECT_FALSE(pathExists(temp / "missing"));
  // A settings file held open without sharing cannot be created anew.
  const std::string program = temp / "Sauvegarde.exe";
  ASSERT_TRUE(writeFile(program + ".ini", "keep"));
  HANDLE locker = CreateFileA((program + ".ini").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(locker, INVALID_HANDLE_VALUE);
  writeSettings(program);
  CloseHandle(locker);
  EXPECT_EQ(readFile(program + ".ini"), "keep");
}

TEST_F(SettingsFiles, settingsFileWritesOnlyAfterAChange) {
  const std::string path = temp / "x.ini";
  ASSERT_TRUE(writeFile(path, "a=1\n"));
  {
    SettingsFile file;
    ASSERT_TRUE(file.openForReading(path));
    EXPECT_EQ(file.value("A", "d"), "1");
  }
  EXPECT_EQ(readFile(path), "a=1\n");
  {
    SettingsFile file;
    ASSERT_TRUE(file.openForReading(path));
    file.setValue("a", "2");
  }
  EXPECT_EQ(readFile(path), "a = 2\r\n");
  SettingsFile missing;
  EXPECT_FALSE(missing.openForReading(temp / "none.ini"));
  EXPECT_EQ(missing.value("a", "default"), "default");
}
