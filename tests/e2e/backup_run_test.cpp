// Whole backup runs of the real program: the progress window read and
// pressed as a user would, the archive delivered and checked by independent
// readers, the files left on disk and the exit code.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>

#include <gtest/gtest.h>

#include "tests/e2e/driver.h"
#include "tests/support/readers.h"
#include "tests/support/temp_folder.h"

namespace {

constexpr DWORD runTimeoutMs = 60000;

std::string kiloText(std::int64_t bytes) {
  char text[64];
  if (bytes > 1048576) {
    std::snprintf(text, sizeof text, "%.2f MO", double(float(double(bytes) / 1048576.0)));
  } else {
    std::snprintf(text, sizeof text, "%.2f KO", double(float(double(bytes) / 1024.0)));
  }
  return text;
}

std::int64_t sizeOfFile(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return -1;
  return (std::int64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
}

std::vector<std::string> filesIn(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE find = FindFirstFileA((folder + "*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    if (std::string(found.cFileName) != "." && std::string(found.cFileName) != "..") {
      names.push_back(found.cFileName);
    }
  } while (FindNextFileA(find, &found));
  FindClose(find);
  return names;
}

// Text that deflate squeezes a little, so that large files take real time.
std::string filler(std::size_t size, std::uint32_t seed) {
  std::string data(size, '\0');
  for (char& c : data) {
    seed = seed * 1103515245u + 12345u;
    c = static_cast<char>('a' + (seed >> 16) % 23);
  }
  return data;
}

// A copy of the program with settings that send the archive into the test's
// own destination, and a temporary folder of its own.
class BackupRun : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(makeFolders(tempOfProgram));
    ASSERT_TRUE(makeFolders(temp / "prog\\"));
    ASSERT_TRUE(CopyFileA(programBesideTests("Sauvegarde.exe").c_str(), program.c_str(), FALSE));
    ASSERT_TRUE(writeFile(program + ".ini", "DestPath = " + destination + "\r\n"));
    ASSERT_TRUE(makeFolders(source));
  }

  // Starts a backup of the source folder and waits for its window.
  void start(const std::vector<std::string>& environment = {}) {
    std::vector<std::string> variables{"TMP=" + tempOfProgram, "TEMP=" + tempOfProgram};
    variables.insert(variables.end(), environment.begin(), environment.end());
    run = std::make_unique<ProgramRun>(program, "\"" + program + "\" \"" + source + "\"",
                                       temp.path(), variables);
    ASSERT_TRUE(run->started());
    window = run->waitForNewWindow(20000);
    ASSERT_NE(window, nullptr);
  }

  // Reads the window until `done` holds; every title seen on the way is kept.
  ProgressSeen waitUntil(const std::function<bool(const ProgressSeen&)>& done,
                         DWORD timeoutMs = runTimeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    ProgressSeen seen;
    do {
      seen = readProgress(window);
      if (titles.empty() || titles.back() != seen.title) titles.push_back(seen.title);
      if (done(seen)) return seen;
      Sleep(50);
    } while (GetTickCount64() < deadline && run->running());
    return seen;
  }
  // The window once it offers "Fermer"; the titles seen on the way are kept.
  ProgressSeen waitForTheEnd() {
    return ::waitForTheEnd(window, *run, runTimeoutMs, [this](const ProgressSeen& seen) {
      if (titles.empty() || titles.back() != seen.title) titles.push_back(seen.title);
    });
  }

  std::string archiveName() const { return "Projet_" + todayText() + ".Zip"; }
  std::string delivered() const { return destination + archiveName(); }
  std::string temporaryArchive() const { return tempOfProgram + archiveName(); }

  TempFolder temp;
  const std::string tempOfProgram = temp / "tmp\\";
  const std::string destination = temp / "dest\\";
  const std::string source = temp / "Projet\\";
  const std::string program = temp / "prog\\Sauvegarde.exe";
  std::unique_ptr<ProgramRun> run;
  HWND window = nullptr;
  std::vector<std::string> titles;
};

}  // namespace

TEST_F(BackupRun, deliversTheArchiveAndReportsEveryStep) {
  // 300 small files take at least 3 s (one 10 ms pause each).
  for (int i = 0; i < 300; ++i) {
    ASSERT_TRUE(writeFile(source + (i % 3 ? "" : "Sous\\") + "f" + std::to_string(i) + ".txt",
                          filler(1000 + i, static_cast<std::uint32_t>(i))));
  }
  start();
  ProgressSeen first = readProgress(window);
  EXPECT_EQ(first.button, "Annuler");
  ProgressSeen end = waitForTheEnd();
  ASSERT_EQ(end.button, "Fermer");

  // Titles: the program's, then the seconds counted one by one, then done.
  ASSERT_GE(titles.size(), 4u);
  EXPECT_EQ(titles.front(), "Sauvegarde");
  EXPECT_EQ(titles.back(), "Sauvegarde - Termin\xE9");
  int seconds = 0;
  for (std::size_t i = 1; i + 1 < titles.size(); ++i) {
    char expected[64];
    std::snprintf(expected, sizeof expected, "Sauvegarde - 00 minutes %02d secondes", ++seconds);
    EXPECT_EQ(titles[i], expected);
  }
  EXPECT_GE(seconds, 3);

  const std::int64_t size = sizeOfFile(delivered());
  ASSERT_GT(size, 0);
  char timeLine[80];
  std::snprintf(timeLine, sizeof timeLine, "Temps de compr\xE9ssion 00 minutes %02d secondes",
                seconds);
  std::vector<std::string> expected{"Source = " + source,
                                    "Cible = " + delivered(),
                                    "",
                                    timeLine,
                                    "300 fichiers compr\xE9ss\xE9s en " + kiloText(size),
                                    "Termin\xE9 avec succ\xE9s !"};
  EXPECT_EQ(reportLines(end), expected);

  ArchiveExpectations expect;
  expect.count = 300;
  EXPECT_EQ(checkWithReaders(delivered(), expect), "OK");
  EXPECT_FALSE(pathExists(temporaryArchive()));
  EXPECT_EQ(filesIn(destination), std::vector<std::string>{archiveName()});

  ASSERT_TRUE(clickButton(window, "Fermer"));
  EXPECT_EQ(run->waitForExit(10000), 0u);
}

TEST_F(BackupRun, everyWayOfClosingAfterTheEndEndsWithZero) {
  ASSERT_TRUE(writeFile(source + "seul.txt", "un seul fichier"));
  const std::vector<std::function<void(HWND)>> closings{
      [](HWND w) { pressKey(w, VK_RETURN); },
      [](HWND w) { pressKey(w, VK_ESCAPE); },
      [](HWND w) { pressCloseBox(w); },
      [](HWND w) { clickButton(w, "Fermer"); },
  };
  for (std::size_t i = 0; i < closings.size(); ++i) {
    start();
    ProgressSeen end = waitForTheEnd();
    std::vector<std::string> lines = reportLines(end);
    ASSERT_EQ(lines.size(), 6u) << end.report;
    EXPECT_EQ(lines[4], "1 fichiers compr\xE9ss\xE9s en " + kiloText(sizeOfFile(delivered())));
    closings[i](window);
    EXPECT_EQ(run->waitForExit(10000), 0u) << "closing " << i;
  }
}

TEST_F(BackupRun, onlyEmptyFilesFailAndKeepTheTemporaryArchive) {
  ASSERT_TRUE(writeFile(source + "vide1.txt", ""));
  ASSERT_TRUE(writeFile(source + "Sous\\vide2.txt", ""));
  start();
  ProgressSeen end = waitForTheEnd();
  std::vector<std::string> lines = reportLines(end);
  ASSERT_EQ(lines.size(), 5u) << end.report;
  EXPECT_EQ(lines[3], "Temps de compr\xE9ssion 00 minutes 00 secondes");
  EXPECT_EQ(lines[4],
            "Erreur, la compr\xE9ssion a \xE9"
            "chou\xE9"
            "e !");
  EXPECT_EQ(end.title, "Sauvegarde - Erreur");
  // The title stays after further ticks.
  Sleep(1500);
  EXPECT_EQ(readProgress(window).title, "Sauvegarde - Erreur");
  EXPECT_TRUE(pathExists(temporaryArchive()));
  EXPECT_FALSE(pathExists(delivered()));
  pressKey(window, VK_ESCAPE);
  EXPECT_EQ(run->waitForExit(10000), 0u);
}

TEST_F(BackupRun, keysWhileRunningDoNothing) {
  ASSERT_TRUE(writeFile(source + "gros.bin", filler(45 << 20, 3)));  // 450 chunks: 4.5 s
  start();
  waitUntil(
      [](const ProgressSeen& seen) { return seen.title.find("01 secondes") != std::string::npos; });
  pressKey(window, VK_RETURN);
  pressKey(window, VK_ESCAPE);
  Sleep(1200);
  EXPECT_TRUE(run->running());
  ProgressSeen seen = readProgress(window);
  EXPECT_EQ(seen.button, "Annuler");
  EXPECT_EQ(reportLines(seen).size(), 3u) << seen.report;
  ProgressSeen end = waitForTheEnd();
  EXPECT_EQ(end.title, "Sauvegarde - Termin\xE9");
  pressKey(window, VK_RETURN);
  EXPECT_EQ(run->waitForExit(10000), 0u);
}

TEST_F(BackupRun, cancelPartWayStopsAtOnceAndLeavesNothing) {
  ASSERT_TRUE(writeFile(source + "a.txt", "avant"));
  ASSERT_TRUE(writeFile(source + "gros.bin", filler(60 << 20, 5)));  // 600 chunks
  const std::vector<std::function<void(HWND)>> cancels{
      [](HWND w) { clickButton(w, "Annuler"); },
      [](HWND w) { pressCloseBox(w); },
  };
  for (std::size_t i = 0; i < cancels.size(); ++i) {
    start();
    waitUntil([](const ProgressSeen& seen) {
      return seen.title.find("01 secondes") != std::string::npos;
    });
    ASSERT_TRUE(pathExists(temporaryArchive()));
    const ULONGLONG pressed = GetTickCount64();
    cancels[i](window);
    EXPECT_EQ(run->waitForExit(20000), 0u) << "cancel " << i;
    // Stopped between two chunks: far sooner than the rest of the pass.
    EXPECT_LT(GetTickCount64() - pressed, 4000u) << "cancel " << i;
    EXPECT_FALSE(pathExists(temporaryArchive())) << "cancel " << i;
    EXPECT_TRUE(filesIn(destination).empty()) << "cancel " << i;
  }
}

TEST_F(BackupRun, endOfTheSessionStopsTheWorkerFirst) {
  ASSERT_TRUE(writeFile(source + "gros.bin", filler(60 << 20, 7)));
  start();
  waitUntil(
      [](const ProgressSeen& seen) { return seen.title.find("01 secondes") != std::string::npos; });
  DWORD_PTR answer = 0;
  SendMessageTimeoutA(window, WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer);
  const ULONGLONG asked = GetTickCount64();
  SendMessageTimeoutA(window, WM_ENDSESSION, TRUE, 0, SMTO_ABORTIFHUNG, 5000, &answer);
  EXPECT_EQ(run->waitForExit(20000), 0u);
  EXPECT_LT(GetTickCount64() - asked, 4000u);
  EXPECT_FALSE(pathExists(temporaryArchive()));
  EXPECT_TRUE(filesIn(destination).empty());
}

TEST_F(BackupRun, olderArchiveAtTheDestinationIsReplaced) {
  ASSERT_TRUE(writeFile(source + "nouveau.txt", "nouveau contenu"));
  ASSERT_TRUE(writeFile(delivered(), "an older archive of the same day"));
  start();
  ProgressSeen end = waitForTheEnd();
  EXPECT_EQ(end.title, "Sauvegarde - Termin\xE9");
  ArchiveExpectations expect;
  expect.count = 1;
  EXPECT_EQ(checkWithReaders(delivered(), expect), "OK");
  EXPECT_EQ(filesIn(destination), std::vector<std::string>{archiveName()});
  clickButton(window, "Fermer");
  EXPECT_EQ(run->waitForExit(10000), 0u);
}

TEST_F(BackupRun, failedCopyLeavesTheOlderArchiveAndNoPartialCopy) {
  ASSERT_TRUE(writeFile(source + "nouveau.txt", "nouveau contenu"));
  struct Case {
    const char* what;
    std::string inTheWay;  // a folder made at the destination
    bool olderArchive;
  } cases[] = {
      {"staging name taken", "~" + archiveName() + ".tmp\\", true},
      {"target is a folder", archiveName() + "\\", false},
  };
  for (const Case& c : cases) {
    removeTree(destination);
    ASSERT_TRUE(makeFolders(destination + c.inTheWay));
    const std::string older = "an older archive of the same day";
    if (c.olderArchive) {
      ASSERT_TRUE(writeFile(delivered(), older));
    }
    start();
    ProgressSeen end = waitForTheEnd();
    std::vector<std::string> lines = reportLines(end);
    ASSERT_EQ(lines.size(), 6u) << end.report;
    EXPECT_EQ(lines[4].rfind("1 fichiers compr\xE9ss\xE9s en ", 0), 0u) << c.what;
    EXPECT_EQ(lines[5],
              "Erreur, la copie du fichier temporaire a \xE9"
              "chou\xE9"
              "e !")
        << c.what;
    EXPECT_EQ(end.title, "Sauvegarde - Erreur") << c.what;
    EXPECT_FALSE(pathExists(temporaryArchive())) << c.what;
    if (c.olderArchive) {
      EXPECT_EQ(readFile(delivered()), older) << c.what;
    }
    // Only what the test put there: no staging copy stays.
    std::vector<std::string> left = filesIn(destination);
    std::vector<std::string> expected{c.inTheWay.substr(0, c.inTheWay.size() - 1)};
    if (c.olderArchive) expected.push_back(archiveName());
    std::sort(left.begin(), left.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(left, expected) << c.what;
    clickButton(window, "Fermer");
    EXPECT_EQ(run->waitForExit(10000), 0u) << c.what;
  }
}

TEST_F(BackupRun, whatTheArchiveLacksIsNamed) {
  ASSERT_TRUE(writeFile(source + "libre.txt", "archived"));
  const std::string locked = source + "ouvert.txt";
  ASSERT_TRUE(writeFile(locked, "held open by another program"));
  // A folder whose search text ("*.*" after it) passes the 260 characters
  // of the ANSI functions cannot be listed; it is made with the long form.
  std::string deep = source + "long\\";
  ASSERT_TRUE(makeFolders(deep));
  std::string unlisted;
  while (deep.size() < 320) {
    deep += std::string(40, 'd') + "\\";
    std::wstring wide(deep.begin(), deep.end());
    ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + wide).c_str(), nullptr)) << deep;
    if (unlisted.empty() && deep.size() + 3 >= MAX_PATH) unlisted = deep;
  }

  HANDLE holder = CreateFileA(locked.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  start();
  ProgressSeen end = waitForTheEnd();
  CloseHandle(holder);
  std::vector<std::string> lines = reportLines(end);
  ASSERT_EQ(lines.size(), 8u) << end.report;
  EXPECT_EQ(lines[4].rfind("1 fichiers compr\xE9ss\xE9s en ", 0), 0u);
  std::vector<std::string> lacking{lines[5], lines[6]};
  // In walk order: the root folder's listing tells which comes first.
  std::vector<std::string> root = filesIn(source);
  const bool fileFirst = std::find(root.begin(), root.end(), "ouvert.txt") <
                         std::find(root.begin(), root.end(), "long");
  std::vector<std::string> expected{"Non sauvegard\xE9 : " + locked,
                                    "Non sauvegard\xE9 : " + unlisted};
  if (!fileFirst) std::swap(expected[0], expected[1]);
  EXPECT_EQ(lacking, expected);
  EXPECT_EQ(lines[7], "Termin\xE9 avec succ\xE9s !");
  clickButton(window, "Fermer");
  EXPECT_EQ(run->waitForExit(10000), 0u);
  removeTree("\\\\?\\" + source + "long");
}

namespace {

// How long the window stayed busy between the last reading that showed the
// worker running and the first that showed the end: the delivery's time.
DWORD deliveryPause(HWND window, ProgramRun& run) {
  ULONGLONG lastRunning = GetTickCount64();
  while (run.running()) {
    const ULONGLONG asked = GetTickCount64();
    const ProgressSeen seen = readProgress(window);
    if (seen.button == "Fermer") return static_cast<DWORD>(GetTickCount64() - lastRunning);
    lastRunning = asked;
    Sleep(20);
  }
  return 0;
}

}  // namespace

// The host path of a file of C: without the colon of "dosdevices/c:", which
// ALSA would take for a separator of its list of configuration files.
std::string hostPathOf(const std::string& windowsPath) {
  std::string path = unixPathOf(windowsPath);
  const std::string drive = "/dosdevices/c:/";
  std::size_t at = path.find(drive);
  if (at != std::string::npos) path.replace(at, drive.size(), "/drive_c/");
  return path;
}

TEST_F(BackupRun, chimeIsHeardAndWithoutADeviceTheEndComesAtOnce) {
  // Files enough for the window to be read before the end (10 ms each).
  for (int i = 0; i < 100; ++i) ASSERT_TRUE(writeFile(source + std::to_string(i) + ".txt", "x"));
  // An ALSA default device that writes what it plays into a WAV file.
  const std::string capture = hostPathOf(temp / "chime-heard.wav");
  const std::string config = temp / "asound.conf";
  ASSERT_TRUE(writeFile(config, "pcm.!default {\n  type file\n  slave.pcm \"null\"\n  file \"" +
                                    capture +
                                    "\"\n  format \"wav\"\n}\n"
                                    "pcm.null {\n  type null\n}\n"));

  // Wine hands a program its host environment from the host side only: this
  // run starts from there.
  ASSERT_EQ(runOnHost("cd '" + hostPathOf(temp.path()) + "' && (ALSA_CONFIG_PATH='" +
                      hostPathOf(config) + "' wine '" + hostPathOf(program) + "' '" + source +
                      "' >/dev/null 2>&1 &) && echo started"),
            "started");
  DWORD process = processOfWindowClass("SauvegardeProgression", 20000);
  ASSERT_NE(process, 0u);
  run = std::make_unique<ProgramRun>(process);
  window = run->waitForNewWindow(20000);
  ASSERT_NE(window, nullptr);
  const DWORD withChime = deliveryPause(window, *run);
  EXPECT_EQ(reportLines(readProgress(window)).back(), "Termin\xE9 avec succ\xE9s !");
  pressKey(window, VK_RETURN);
  EXPECT_EQ(run->waitForExit(10000), 0u);
  EXPECT_GE(withChime, 950u);

  // What was heard, from its first to its last sound: about 0.92 s, not
  // silence. The device stays open until the process ends, so the file is
  // read without the length its header may lack.
  const std::string stats = runOnHost("sox --ignore-length '" + capture +
                                      "' -n silence 1 0.002 0.1% reverse silence 1 0.002 0.1% "
                                      "reverse stat 2>&1");
  auto value = [&](const std::string& name) {
    std::size_t at = stats.find(name);
    return at == std::string::npos ? -1.0 : std::atof(stats.c_str() + stats.find(':', at) + 1);
  };
  EXPECT_GT(value("Length (seconds)"), 0.85) << stats;
  EXPECT_LT(value("Length (seconds)"), 1.10) << stats;
  EXPECT_GT(value("RMS     amplitude"), 0.05) << stats;
  EXPECT_GT(value("Maximum amplitude"), 0.4) << stats;

  // The test machine itself has no sound device.
  start();
  const DWORD withoutChime = deliveryPause(window, *run);
  EXPECT_EQ(reportLines(readProgress(window)).back(), "Termin\xE9 avec succ\xE9s !");
  EXPECT_EQ(readProgress(window).title, "Sauvegarde - Termin\xE9");
  pressKey(window, VK_RETURN);
  EXPECT_EQ(run->waitForExit(10000), 0u);
  EXPECT_LT(withoutChime, 700u);
  std::printf(
      "chime heard for %.3f s (RMS %.3f); delivery held the window %lu ms with the "
      "chime, %lu ms without a device\n",
      value("Length (seconds)"), value("RMS     amplitude"), withChime, withoutChime);
}
