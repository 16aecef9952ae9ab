// Install mode end to end: the real program started without a parameter,
// its folder browser answered, its boxes read, and the Send To folder
// checked byte for byte.
#include <windows.h>
#include <shlobj.h>

#include <cstdio>

#include <gtest/gtest.h>

#include "tests/e2e/driver.h"
#include "tests/support/temp_folder.h"

namespace {

const std::string prompt = "S\xE9lectionnez le dossier de sauvegarde";

std::string shellFolder(int id) {
  char path[MAX_PATH + 1] = {};
  SHGetFolderPathA(nullptr, id, nullptr, 0, path);
  std::string folder = path;
  if (!folder.empty() && folder.back() != '\\') folder += '\\';
  return folder;
}

std::string settingsLines(const std::string& mask, const std::string& destination) {
  return "; %P = nom du fichier/dossier source\r\n"
         "; %yyyy-%mm-%dd %hh:%ii:%ss\r\n"
         "MaskFileName = " +
         mask +
         "\r\n"
         "DestPath = " +
         destination + "\r\n";
}

DialogSeen infoBox() {
  return {"Info",
          "Copie correctement effectu\xE9"
          "e !\r\nLe programme se trouve dans le menu "
          "\"Envoyer vers\"",
          {"OK"},
          false};
}

// Each test starts from a Send To folder without the program, and runs a
// copy of the program whose own settings name the browser's start folder.
class Install : public ::testing::Test {
 protected:
  void SetUp() override {
    clearSendTo();
    ASSERT_TRUE(makeFolders(temp / "prog\\"));
    ASSERT_TRUE(CopyFileA(programBesideTests("Sauvegarde.exe").c_str(), program.c_str(), FALSE));
  }
  void TearDown() override {
    clearSendTo();
    removeTree(documents + "Archives");
    removeTree(roots);
  }
  void clearSendTo() {
    for (const char* name : {"Sauvegarde.exe", "Sauvegarde.exe.ini", "~Sauvegarde.exe.tmp"}) {
      SetFileAttributesA((sendTo + name).c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileA((sendTo + name).c_str());
    }
  }

  // Runs `path` without a parameter; the folder browser gets `answer`
  // (IDOK or IDCANCEL), then every box is read and closed.
  // `startFolder`: where the browser should start; its name is waited for
  // in the browser's edit box before the answer.
  RunResult install(const std::string& path, int answer, const std::string& startFolder = "",
                    std::vector<std::string>* browserTexts = nullptr,
                    const std::string& screenshot = "") {
    // Wine's folder browser now and then loses the start folder it was
    // asked to select (the edit box then names another folder): such a
    // browser is cancelled, which writes nothing, and the run starts again.
    for (int attempt = 1;; ++attempt) {
      bool lost = false;
      RunResult result = installOnce(path, answer, startFolder, browserTexts, screenshot,
                                     attempt < 4 ? &lost : nullptr);
      if (!lost) return result;
      std::printf("folder browser lost its start folder (showed \"%s\"); again\n",
                  selected.c_str());
    }
  }

  RunResult installOnce(const std::string& path, int answer, const std::string& startFolder,
                        std::vector<std::string>* browserTexts, const std::string& screenshot,
                        bool* lost) {
    RunResult result;
    ProgramRun run(path, "\"" + path + "\"", temp.path());
    HWND browser = run.waitForNewWindow(20000);
    if (!browser) {
      result.exitCode = run.waitForExit(10000);
      return result;
    }
    DialogSeen seen = readDialog(browser);
    if (std::find(seen.buttons.begin(), seen.buttons.end(), "OK") == seen.buttons.end() ||
        seen.caption.rfind("Erreur", 0) == 0) {
      // Not the browser: the box of a failure before it.
      result.dialogs.push_back(seen);
      clickButton(browser, "OK");
      result.exitCode = run.waitForExit(10000);
      return result;
    }
    // The browser selects its start folder once it is shown: the edit box
    // then holds that folder's name.
    if (!startFolder.empty()) {
      const std::string bare = startFolder.substr(0, startFolder.size() - 1);
      const std::string name = bare.substr(bare.rfind('\\') + 1);
      const ULONGLONG deadline = GetTickCount64() + 4000;
      while (editText(browser) != name && GetTickCount64() < deadline) Sleep(50);
      selected = editText(browser);
      if (selected != name && lost) {
        *lost = true;
        clickButtonWithId(browser, IDCANCEL);
        run.waitForExit(10000);
        return result;
      }
    }
    if (browserTexts) *browserTexts = staticTexts(browser);
    if (!screenshot.empty()) saveScreenshot(browser, screenshot);
    clickButtonWithId(browser, answer);
    while (HWND box = run.waitForNewWindow(10000)) {
      result.dialogs.push_back(readDialog(box));
      if (!screenshot.empty() && result.dialogs.size() == 1) {
        saveScreenshot(box, screenshot.substr(0, screenshot.size() - 4) + "-info.png");
      }
      clickButton(box, "OK");
    }
    result.exitCode = run.waitForExit(10000);
    return result;
  }

  TempFolder temp;
  const std::string program = temp / "prog\\Sauvegarde.exe";
  // Destinations at the root of C:, which Wine's folder browser reaches at
  // once (its tree of the temporary folder fills too slowly to select in).
  const std::string roots =
      "C:\\sauvegarde-install-" + std::to_string(GetCurrentProcessId()) + "\\";
  const std::string sendTo = shellFolder(CSIDL_SENDTO);
  const std::string documents = shellFolder(CSIDL_PERSONAL);
  const std::string installed = sendTo + "Sauvegarde.exe";
  std::string selected;  // what the browser showed as selected
};

}  // namespace

TEST_F(Install, confirmedChoiceWritesTheSettingsThenTheCopy) {
  struct Case {
    std::string ownSettings;  // beside the running program
    std::string chosen;       // the folder the browser starts at
    std::string written;      // the copy's settings
  } cases[] = {
      {"DestPath = " + roots + "Sauvegardes\\\r\n", roots + "Sauvegardes\\",
       settingsLines("%P_%yyyy-%mm-%dd", roots + "Sauvegardes\\")},
      // The documents folder goes back to its placeholder; the mask of the
      // running program's own settings is carried over.
      {"MaskFileName = Sauve-%P_%yyyy\r\nDestPath = %MyDoc%Archives\\\r\n",
       documents + "Archives\\", settingsLines("Sauve-%P_%yyyy", "%MyDoc%Archives\\")},
  };
  for (const Case& c : cases) {
    clearSendTo();
    ASSERT_TRUE(makeFolders(c.chosen));
    ASSERT_TRUE(writeFile(program + ".ini", c.ownSettings));
    std::vector<std::string> texts;
    RunResult result = install(program, IDOK, c.chosen, &texts,
                               programBesideTests("screenshots\\install-browser.png"));
    EXPECT_EQ(result.exitCode, 0u) << c.chosen;
    EXPECT_NE(std::find(texts.begin(), texts.end(), prompt), texts.end()) << c.chosen;
    const std::string chosenName = c.chosen.substr(0, c.chosen.size() - 1);
    EXPECT_EQ(selected, chosenName.substr(chosenName.rfind('\\') + 1));
    ASSERT_EQ(result.dialogs.size(), 1u) << c.chosen;
    EXPECT_EQ(result.dialogs[0], infoBox());
    EXPECT_EQ(readFile(installed + ".ini"), c.written);
    EXPECT_EQ(readFile(installed), readFile(program));
    EXPECT_FALSE(pathExists(sendTo + "~Sauvegarde.exe.tmp"));
  }
}

TEST_F(Install, cancelWritesNothingAndShowsNothing) {
  ASSERT_TRUE(writeFile(program + ".ini", "DestPath = " + temp.path() + "\r\n"));
  RunResult result = install(program, IDCANCEL);
  EXPECT_EQ(result.exitCode, 0u);
  EXPECT_TRUE(result.dialogs.empty());
  EXPECT_FALSE(pathExists(installed));
  EXPECT_FALSE(pathExists(installed + ".ini"));
}

TEST_F(Install, missingSendToFolderShowsItsBox) {
  const std::string sendToBare = sendTo.substr(0, sendTo.size() - 1);
  const std::string away = sendToBare + "-away";
  ASSERT_TRUE(MoveFileA(sendToBare.c_str(), away.c_str()));
  RunResult result = install(program, IDOK);
  MoveFileA(away.c_str(), sendToBare.c_str());
  EXPECT_EQ(result.exitCode, 0u);
  ASSERT_EQ(result.dialogs.size(), 1u);
  EXPECT_EQ(
      result.dialogs[0],
      (DialogSeen{
          "Erreur Sauvegarde", "Le dossier SendTo n'est pas acc\xE9ssible !", {"OK"}, false}));
  EXPECT_FALSE(pathExists(installed));
}

TEST_F(Install, secondInstallationReplacesTheCopyAndItsSettings) {
  ASSERT_TRUE(makeFolders(roots + "premier\\"));
  ASSERT_TRUE(makeFolders(roots + "second\\"));
  ASSERT_TRUE(writeFile(program + ".ini", "DestPath = " + roots + "premier\\" + "\r\n"));
  ASSERT_EQ(install(program, IDOK, roots + "premier\\").dialogs.size(), 1u);
  ASSERT_TRUE(writeFile(installed, "an older copy"));
  ASSERT_TRUE(writeFile(program + ".ini", "DestPath = " + roots + "second\\" + "\r\n"));
  RunResult again = install(program, IDOK, roots + "second\\");
  ASSERT_EQ(again.dialogs.size(), 1u);
  EXPECT_EQ(again.dialogs[0], infoBox());
  EXPECT_EQ(readFile(installed + ".ini"), settingsLines("%P_%yyyy-%mm-%dd", roots + "second\\"));
  EXPECT_EQ(readFile(installed), readFile(program));
}

TEST_F(Install, startedFromSendToRewritesItsSettingsButCannotCopyItself) {
  ASSERT_TRUE(makeFolders(roots + "premier\\"));
  ASSERT_TRUE(makeFolders(roots + "second\\"));
  ASSERT_TRUE(writeFile(program + ".ini", "DestPath = " + roots + "premier\\" + "\r\n"));
  ASSERT_EQ(install(program, IDOK, roots + "premier\\").dialogs.size(), 1u);
  // The installed copy's own settings lead its browser to the new folder.
  ASSERT_TRUE(writeFile(installed + ".ini", "DestPath = " + roots + "second\\" + "\r\n"));
  const std::string before = readFile(installed);
  RunResult result = install(installed, IDOK, roots + "second\\");
  EXPECT_EQ(result.exitCode, 0u);
  ASSERT_EQ(result.dialogs.size(), 1u);
  EXPECT_EQ(result.dialogs[0], (DialogSeen{"Erreur Sauvegarde",
                                           "La copie a \xE9"
                                           "chou\xE9"
                                           "e !\r\n" +
                                               installed,
                                           {"OK"},
                                           false}));
  EXPECT_EQ(readFile(installed + ".ini"), settingsLines("%P_%yyyy-%mm-%dd", roots + "second\\"));
  EXPECT_EQ(readFile(installed), before);
  EXPECT_FALSE(pathExists(sendTo + "~Sauvegarde.exe.tmp"));
}

TEST_F(Install, installedCopyBacksUpIntoTheChosenFolder) {
  const std::string chosen = roots + "choisi\\";
  ASSERT_TRUE(makeFolders(chosen));
  ASSERT_TRUE(writeFile(program + ".ini", "DestPath = " + chosen + "\r\n"));
  ASSERT_EQ(install(program, IDOK, chosen).dialogs.size(), 1u);
  EXPECT_EQ(selected, "choisi");
  EXPECT_EQ(readFile(installed + ".ini"), settingsLines("%P_%yyyy-%mm-%dd", chosen));
  ASSERT_TRUE(writeFile(temp / "Projet\\note.txt", "une note"));
  const std::string tmp = temp / "tmp\\";
  ASSERT_TRUE(makeFolders(tmp));
  ProgramRun run(installed, "\"" + installed + "\" \"" + temp / "Projet" + "\"", temp.path(),
                 {"TMP=" + tmp, "TEMP=" + tmp});
  HWND window = run.waitForNewWindow(20000);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(waitForTheEnd(window, run, 30000).title, "Sauvegarde - Termin\xE9");
  clickButton(window, "Fermer");
  EXPECT_EQ(run.waitForExit(10000), 0u);
  EXPECT_TRUE(pathExists(chosen + "Projet_" + todayText() + ".Zip"));
}
