// A backup start checked end to end: the real program, its message boxes,
// its exit code and what it leaves on disk.
#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>

#include <gtest/gtest.h>

#include "tests/e2e/driver.h"
#include "tests/support/readers.h"
#include "tests/support/temp_folder.h"

namespace {

std::string today() { return todayText(); }

std::string documentsFolder() {
  char path[MAX_PATH + 1] = {};
  SHGetFolderPathA(nullptr, CSIDL_PERSONAL, nullptr, 0, path);
  std::string folder = path;
  if (folder.back() != '\\') folder += '\\';
  return folder;
}

DialogSeen errorBox(const std::string& title, const std::string& text) {
  return {"Erreur " + title, text, {"OK"}, false};
}

// Each test runs the program with a temporary folder of its own and starts
// from a documents folder without the default destination.
class BackupStart : public ::testing::Test {
 protected:
  void SetUp() override {
    removeTree(dropBox);
    ASSERT_TRUE(makeFolders(tempOfProgram));
  }
  void TearDown() override { removeTree(dropBox); }

  RunResult run(const std::string& parameters, const std::string& folder = "",
                const std::string& program = programBesideTests("Sauvegarde.exe")) {
    std::string line = "\"" + program + "\"" + (parameters.empty() ? "" : " " + parameters);
    return runAnsweringDialogs(program, line, folder.empty() ? temp.path() : folder,
                               {"TMP=" + tempOfProgram, "TEMP=" + tempOfProgram});
  }
  // A file in the program's temporary folder with the name the archive of
  // that folder gets today: step 3 deletes it.
  std::string plantOldArchive(const std::string& folderName) {
    std::string path = tempOfProgram + folderName + "_" + today() + ".Zip";
    EXPECT_TRUE(writeFile(path, "old archive"));
    return path;
  }

  TempFolder temp;
  const std::string tempOfProgram = temp / "tmp\\";
  const std::string dropBox = documentsFolder() + "DropBox";
  const std::string destination = documentsFolder() + "DropBox\\Bak\\";
};

}  // namespace

TEST_F(BackupStart, validFolderEndsWithZeroAndPreparesTheJob) {
  ASSERT_TRUE(makeFolders(temp / "Photos\\"));
  for (const std::string& source : {temp / "Photos", temp / "Photos\\"}) {
    removeTree(dropBox);
    std::string old = plantOldArchive("Photos");
    RunResult result = run("\"" + source + "\"");
    EXPECT_EQ(result.exitCode, 0u) << source;
    EXPECT_TRUE(result.dialogs.empty()) << source;
    EXPECT_EQ(result.otherWindows, 1) << source;  // the progress window
    EXPECT_NE(readFile(old), "old archive") << source;
    EXPECT_TRUE(isFolderPath(destination)) << source;
  }
}

TEST_F(BackupStart, fileGivesItsFolderAndQuotedSpacesStayWhole) {
  ASSERT_TRUE(writeFile(temp / "My Photos\\report.doc", "x"));
  std::string old = plantOldArchive("My Photos");
  RunResult result = run("\"" + temp / "My Photos\\report.doc" + "\"");
  EXPECT_EQ(result.exitCode, 0u);
  EXPECT_TRUE(result.dialogs.empty());
  EXPECT_NE(readFile(old), "old archive");
}

TEST_F(BackupStart, nameWithoutFolderPartGivesTheCurrentFolder) {
  ASSERT_TRUE(makeFolders(temp / "Courant\\"));
  std::string old = plantOldArchive("Courant");
  RunResult result = run("nothing.txt", temp / "Courant\\");
  EXPECT_EQ(result.exitCode, 0u);
  EXPECT_TRUE(result.dialogs.empty());
  EXPECT_NE(readFile(old), "old archive");
}

// No parameter, or parameters that join to nothing: install mode, whose
// first window is the folder browser; cancelled, it ends with 0 and shows
// nothing more. No backup is prepared.
TEST_F(BackupStart, withoutParameterSelectsInstallMode) {
  const std::string program = programBesideTests("Sauvegarde.exe");
  for (const char* parameters : {"", "\"\"", "\"\"\"\""}) {
    std::string line = "\"" + program + "\"" + (*parameters ? " " : "") + parameters;
    ProgramRun run(program, line, temp.path(), {"TMP=" + tempOfProgram, "TEMP=" + tempOfProgram});
    HWND browser = run.waitForNewWindow(20000);
    ASSERT_NE(browser, nullptr) << parameters;
    std::vector<std::string> texts = staticTexts(browser);
    EXPECT_NE(std::find(texts.begin(), texts.end(), "S\xE9lectionnez le dossier de sauvegarde"),
              texts.end())
        << parameters;
    clickButtonWithId(browser, IDCANCEL);
    EXPECT_EQ(run.waitForNewWindow(3000), nullptr) << parameters;
    EXPECT_EQ(run.waitForExit(10000), 0u) << parameters;
  }
  EXPECT_FALSE(pathExists(dropBox));
}

TEST_F(BackupStart, invalidSourceShowsItsBoxAndEndsWithOne) {
  ASSERT_TRUE(writeFile(temp / "a\\x.txt", "x"));
  ASSERT_TRUE(writeFile(temp / "a\\y.txt", "y"));
  struct Case {
    std::string parameters;
    std::string detail;
  } cases[] = {
      {"C:\\Missing\\file.txt", "C:\\Missing\\"},
      {"C:\\Missing\\Deeper\\", "C:\\Missing\\Deeper\\"},
      // Two paths join into one text that names nothing.
      {temp / "a\\x.txt" + " " + temp / "a\\y.txt", temp / "a\\x.txt" + temp / "a\\"},
  };
  for (const Case& c : cases) {
    RunResult result = run(c.parameters);
    EXPECT_EQ(result.exitCode, 1u) << c.parameters;
    ASSERT_EQ(result.dialogs.size(), 1u) << c.parameters;
    EXPECT_EQ(result.dialogs[0],
              errorBox("Sauvegarde", "Le dossier source est invalide !\r\n" + c.detail));
  }
  EXPECT_FALSE(pathExists(dropBox));
}

TEST_F(BackupStart, invalidArchiveNameEndsWithTwoAndTouchesNothingAfter) {
  // A drive root is named C:, and the colon is no file-name character.
  RunResult result = run("C:\\");
  EXPECT_EQ(result.exitCode, 2u);
  ASSERT_EQ(result.dialogs.size(), 1u);
  EXPECT_EQ(result.dialogs[0],
            errorBox("Sauvegarde", "Le nom de fichier est invalide !\r\nC:_" + today()));
  EXPECT_FALSE(pathExists(dropBox));
}

TEST_F(BackupStart, missingTemporaryFolderEndsWithThree) {
  ASSERT_TRUE(makeFolders(temp / "Photos\\"));
  std::string program = programBesideTests("Sauvegarde.exe");
  std::string missing = temp / "no-such-temp\\";
  RunResult result = runAnsweringDialogs(program, "\"" + program + "\" \"" + temp / "Photos" + "\"",
                                         temp.path(), {"TMP=" + missing, "TEMP=" + missing});
  EXPECT_EQ(result.exitCode, 3u);
  ASSERT_EQ(result.dialogs.size(), 1u);
  EXPECT_EQ(result.dialogs[0], errorBox("Sauvegarde", "Le dossier temporaire est invalide !\r\n"));
  EXPECT_FALSE(pathExists(dropBox));
}

TEST_F(BackupStart, impossibleDestinationEndsWithFourAfterTheTemporaryFileIsGone) {
  ASSERT_TRUE(makeFolders(temp / "Photos\\"));
  ASSERT_TRUE(writeFile(dropBox, "a file where the folder should be"));
  std::string old = plantOldArchive("Photos");
  RunResult result = run("\"" + temp / "Photos" + "\"");
  EXPECT_EQ(result.exitCode, 4u);
  ASSERT_EQ(result.dialogs.size(), 1u);
  EXPECT_EQ(result.dialogs[0],
            errorBox("Sauvegarde", "Le dossier destination est invalide !\r\n" + destination));
  EXPECT_FALSE(pathExists(old));
}

TEST_F(BackupStart, captionsUseTheTitleUpToTheLastDot) {
  std::string copy = temp / "Sauve.Docs.exe";
  ASSERT_TRUE(CopyFileA(programBesideTests("Sauvegarde.exe").c_str(), copy.c_str(), FALSE));
  RunResult result = run("C:\\Missing\\file.txt", "", copy);
  EXPECT_EQ(result.exitCode, 1u);
  ASSERT_EQ(result.dialogs.size(), 1u);
  EXPECT_EQ(result.dialogs[0],
            errorBox("Sauve.Docs", "Le dossier source est invalide !\r\nC:\\Missing\\"));
}

namespace {

// A copy of the program in a folder of its own, with a settings file beside it.
class ProgramWithSettings : public BackupStart {
 protected:
  std::string install(const std::string& settings) {
    std::string program = temp / "prog\\Sauvegarde.exe";
    EXPECT_TRUE(makeFolders(temp / "prog\\"));
    EXPECT_TRUE(CopyFileA(programBesideTests("Sauvegarde.exe").c_str(), program.c_str(), FALSE));
    EXPECT_TRUE(writeFile(program + ".ini", settings));
    return program;
  }
};

}  // namespace

TEST_F(ProgramWithSettings, maskAndDestinationComeFromTheSettingsFile) {
  ASSERT_TRUE(makeFolders(temp / "Photos\\"));
  std::string program =
      install("MaskFileName = Sauve-%P\r\nDestPath = " + temp / "dest\\sub\\" + "\r\n");
  std::string old = tempOfProgram + "Sauve-Photos.Zip";
  ASSERT_TRUE(writeFile(old, "old archive"));
  RunResult result = run("\"" + temp / "Photos" + "\"", "", program);
  EXPECT_EQ(result.exitCode, 0u);
  EXPECT_TRUE(result.dialogs.empty());
  EXPECT_NE(readFile(old), "old archive");
  EXPECT_TRUE(isFolderPath(temp / "dest\\sub"));
  EXPECT_FALSE(pathExists(dropBox));
}

TEST_F(ProgramWithSettings, errorDetailsShowTheSettings) {
  ASSERT_TRUE(makeFolders(temp / "Photos\\"));
  struct Case {
    std::string settings;
    DWORD exitCode;
    std::string text;
  } cases[] = {
      {"MaskFileName = bad|%P\r\n", 2, "Le nom de fichier est invalide !\r\nbad|Photos"},
      {"maskfilename=\r\n", 2, "Le nom de fichier est invalide !\r\n"},
      {"MaskFileName = x\r\nDestPath = Q:\\Bak\\\r\n", 4,
       "Le dossier destination est invalide !\r\nQ:\\Bak\\"},
      {"\xEF\xBB\xBF"
       "DestPath = Q:\\Donn\xC3\xA9"
       "es\\\r\n",
       4,
       "Le dossier destination est invalide !\r\nQ:\\Donn\xE9"
       "es\\"},
      {"DestPath =\r\n", 4, "Le dossier destination est invalide !\r\n"},
  };
  for (const Case& c : cases) {
    std::string program = install(c.settings);
    RunResult result = run("\"" + temp / "Photos" + "\"", "", program);
    EXPECT_EQ(result.exitCode, c.exitCode) << c.settings;
    ASSERT_EQ(result.dialogs.size(), 1u) << c.settings;
    EXPECT_EQ(result.dialogs[0], errorBox("Sauvegarde", c.text)) << c.settings;
  }
}

TEST_F(ProgramWithSettings, destinationWithoutBackslashNamesTheArchiveAfterIt) {
  ASSERT_TRUE(makeFolders(temp / "Photos\\"));
  std::string program = install("DestPath = %MyDoc%DropBox\\Bak\r\n");
  RunResult result = run("\"" + temp / "Photos" + "\"", "", program);
  EXPECT_EQ(result.exitCode, 0u);
  // The folder tested and created is the one that holds "Bak".
  EXPECT_TRUE(isFolderPath(dropBox));
  EXPECT_FALSE(pathExists(destination));
}

namespace {

std::wstring longForm(const std::string& path) {
  return L"\\\\?\\" + std::wstring(path.begin(), path.end());
}

}  // namespace

// A path the 260-character buffer cannot hold: the title and the settings
// file still come from the whole path.
TEST_F(ProgramWithSettings, programDeeperThan260CharactersFindsItsTitleAndSettings) {
  ASSERT_TRUE(makeFolders(temp / "Photos\\"));
  std::string folder = temp.path();
  while (folder.size() < 270) {
    folder += std::string(50, 'p') + "\\";
    ASSERT_TRUE(CreateDirectoryW(longForm(folder).c_str(), nullptr));
  }
  const std::string program = folder + "Sauve.Long.exe";
  ASSERT_TRUE(CopyFileW(longForm(programBesideTests("Sauvegarde.exe")).c_str(),
                        longForm(program).c_str(), FALSE));
  HANDLE settings = CreateFileW(longForm(program + ".ini").c_str(), GENERIC_WRITE, 0, nullptr,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(settings, INVALID_HANDLE_VALUE);
  const std::string text = "MaskFileName = bad|%P\r\n";
  DWORD written = 0;
  WriteFile(settings, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(settings);

  // Wine's process functions stop at 260 characters: the program starts
  // from the host side, as a file manager with long paths would start it.
  std::string hostFolder = unixPathOf(temp.path()) + folder.substr(temp.path().size());
  std::replace(hostFolder.begin(), hostFolder.end(), '\\', '/');
  ASSERT_EQ(runOnHost("(wine '" + hostFolder + "Sauve.Long.exe' '" + temp / "Photos" +
                      "' >/dev/null 2>&1 &) && echo started"),
            "started");
  DWORD process = processOfWindowClass("#32770", 20000);
  ASSERT_NE(process, 0u);
  ProgramRun run(process);
  HWND box = run.waitForNewWindow(10000);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(readDialog(box),
            errorBox("Sauve.Long", "Le nom de fichier est invalide !\r\nbad|Photos"));
  clickButton(box, "OK");
  EXPECT_EQ(run.waitForExit(10000), 2u);
  DeleteFileW(longForm(program + ".ini").c_str());
  DeleteFileW(longForm(program).c_str());
  for (std::string f = folder; f.size() > temp.path().size();
       f.resize(f.rfind('\\', f.size() - 2) + 1)) {
    RemoveDirectoryW(longForm(f).c_str());
  }
}
