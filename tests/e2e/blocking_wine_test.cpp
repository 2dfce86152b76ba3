// The real program closing real windows of another process under Wine.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

#include "program_driver.h"
#include "test_windows.h"
#include "win32/wine_shell_windows.h"

namespace {

using namespace sg::e2e;
using sg::testing::WineShellWindowsAnswer;

constexpr const char* kBlockedTitle = "Snapgate Test Popup 42";

class BlockingUnderWine : public ::testing::Test {
 protected:
  void SetUp() override {
    SettingsOfALaterStart();
    SetSetting("m_MaxBrowserBlock", "0");
    SetSetting("bNetscape", "0");
    SetSetting("iResponseRate", "2");
    std::ofstream(filters_, std::ios::binary) << "Snapgate Test Popup*\r\n";
    WineShellWindowsAnswer();
  }
  void TearDown() override {
    DeleteFileA(filters_.c_str());
    ForgetSettings();
  }

  // Starts the program and waits until its initialisation is over (the dialog is shown).
  HWND StartAndWait(Program& program) {
    HWND dialog = program.MainDialog();
    EXPECT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog && program.ShowsWithin(dialog, 30s)) << program.Describe(dialog);
    return dialog;
  }
  static bool ClosedWithin(HWND window, std::chrono::milliseconds limit) {
    return PumpUntil([&] { return !IsWindow(window); }, limit);
  }

  std::string filters_ = ProgramFolder(ProgramPath()) + "filters.txt";
};

TEST_F(BlockingUnderWine, AWindowWithABlockedTitleIsClosedCountedListedAndStored) {
  Program program;
  HWND dialog = StartAndWait(program);
  HWND popup = OpenTestWindow("SnapgateTestPopup", kBlockedTitle);
  // One scan period is 350 ms; Wine on a loaded machine is given a generous margin.
  EXPECT_TRUE(ClosedWithin(popup, 5s));
  EXPECT_TRUE(PumpUntil([] { return Setting("m_TotalBlocks") == "1"; }, 10s));
  // Read across processes in the wide form: Wine hands list-box text between processes so.
  wchar_t line[256] = {};
  SendMessageW(GetDlgItem(dialog, 1000), LB_GETTEXT, 0, reinterpret_cast<LPARAM>(line));
  EXPECT_EQ(std::wstring(line), L"Snapgate Test Popup 42");

  HWND other = OpenTestWindow("SnapgateTestPopup", "Snapgate Test Window");
  sg::testing::PumpFor(1500ms);  // several scan periods
  EXPECT_TRUE(IsWindow(other)) << "a title that is not on the list stays";
  DestroyWindow(other);
}

TEST_F(BlockingUnderWine, NewBrowserFramesAreClosedUnlessTheUserJustClicked) {
  SetSetting("m_MaxBrowserBlock", "1");
  // Open before the program: the hook library reports only windows that appear later.
  HWND browser = OpenTestWindow("IEFrame", "Home - Browser");
  Program program;
  StartAndWait(program);

  HWND popup = OpenTestWindow("IEFrame", "");
  EXPECT_TRUE(ClosedWithin(popup, 10s));
  EXPECT_TRUE(PumpUntil([] { return Setting("m_TotalBlocks") == "1"; }, 10s));

  // A click in the browser opens the grace for one new frame.
  PumpUntil(
      [&] {
        SetForegroundWindow(browser);
        return GetForegroundWindow() == browser;
      },
      5s);
  RECT area;
  GetWindowRect(browser, &area);
  SetCursorPos((area.left + area.right) / 2, (area.top + area.bottom) / 2);
  INPUT click[2] = {};
  click[0].type = click[1].type = INPUT_MOUSE;
  click[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  click[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, click, sizeof(INPUT));
  sg::testing::PumpFor(500ms);
  HWND wanted = OpenTestWindow("IEFrame", "Wanted - Browser");
  sg::testing::PumpFor(2000ms);  // an absence can only be waited for
  EXPECT_TRUE(IsWindow(wanted));
  EXPECT_EQ(Setting("m_TotalBlocks"), "1");
  DestroyWindow(wanted);
  DestroyWindow(browser);
}

TEST_F(BlockingUnderWine, ALateNetscapeWindowIsClosedAndTheFirstStays) {
  SetSetting("bNetscape", "1");
  HWND first = OpenTestWindow("MozillaWindowClass", "Home - Netscape");
  Program program;
  StartAndWait(program);
  sg::testing::PumpFor(1000ms);  // the scanner's first pass remembers what is open
  HWND late = OpenTestWindow("MozillaWindowClass", "Casino - Netscape");
  EXPECT_TRUE(ClosedWithin(late, 10s));
  EXPECT_TRUE(IsWindow(first));
  EXPECT_TRUE(PumpUntil([] { return Setting("m_TotalBlocks") == "1"; }, 10s));
  DestroyWindow(first);
}

}  // namespace
