// What the progress window looks like at 96 and 144 DPI: its layout in real
// pixels, and a screenshot of each for a person to look at.
#include <windows.h>

#include <gtest/gtest.h>

#include "tests/e2e/driver.h"
#include "tests/support/readers.h"
#include "tests/support/temp_folder.h"

namespace {

constexpr const char* desktopKey = "Control Panel\\Desktop";

void setScreenDpi(DWORD dpi) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, desktopKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                            &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(key, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
  RegCloseKey(key);
}

std::string text(const RECT& r) {
  return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ")-(" +
         std::to_string(r.right) + ", " + std::to_string(r.bottom) + ")";
}

// A box of the 96-DPI design, in pixels at that DPI.
std::string scaled(LONG left, LONG top, LONG width, LONG height, int dpi) {
  auto s = [dpi](LONG v) { return MulDiv(v, dpi, 96); };
  return text({s(left), s(top), s(left) + s(width), s(top) + s(height)});
}

class WindowLook : public ::testing::TestWithParam<int> {
 protected:
  void TearDown() override { setScreenDpi(96); }
};

}  // namespace

TEST_P(WindowLook, layoutScalesFromItsDesignAt96Dpi) {
  const int dpi = GetParam();
  becomeDpiAware();
  setScreenDpi(static_cast<DWORD>(dpi));
  TempFolder temp;
  const std::string tmp = temp / "tmp\\";
  ASSERT_TRUE(makeFolders(tmp));
  ASSERT_TRUE(writeFile(temp / "Projet\\rapport.txt", "Source = un rapport"));
  const std::string program = temp / "Sauvegarde.exe";
  ASSERT_TRUE(CopyFileA(programBesideTests("Sauvegarde.exe").c_str(), program.c_str(), FALSE));
  ASSERT_TRUE(writeFile(program + ".ini", "DestPath = " + temp / "dest\\" + "\r\n"));

  ProgramRun run(program, "\"" + program + "\" \"" + temp / "Projet" + "\"", temp.path(),
                 {"TMP=" + tmp, "TEMP=" + tmp});
  HWND window = run.waitForNewWindow(20000);
  ASSERT_NE(window, nullptr);
  waitForTheEnd(window, run, 20000);

  EXPECT_EQ(text(clientRectOf(window)), scaled(0, 0, 406, 231, dpi));
  HWND box = nullptr, button = nullptr;
  for (HWND child : childWindows(window)) {
    (windowClass(child) == "Button" ? button : box) = child;
  }
  ASSERT_NE(box, nullptr);
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(text(childRectIn(window, box)), scaled(3, 3, 400, 200, dpi));
  EXPECT_EQ(text(childRectIn(window, button)), scaled(103, 206, 200, 22, dpi));
  // Centred on the screen.
  RECT frame{};
  GetWindowRect(window, &frame);
  EXPECT_NEAR((frame.left + frame.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
  EXPECT_NEAR((frame.top + frame.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);

  const std::string shot =
      programBesideTests("screenshots\\progress-" + std::to_string(dpi) + "dpi.png");
  EXPECT_TRUE(saveScreenshot(window, shot)) << shot;
  pressKey(window, VK_RETURN);
  EXPECT_EQ(run.waitForExit(10000), 0u);
}

INSTANTIATE_TEST_SUITE_P(Dpi, WindowLook, ::testing::Values(96, 144));
