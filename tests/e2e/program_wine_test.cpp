// The real program under Wine, driven from outside as a user and a second start would.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "program_driver.h"
#include "screenshot.h"
#include "win32/wine_shell_windows.h"

namespace {

using namespace sg::e2e;
using sg::testing::WineShellWindowsAnswer;

constexpr const char* kExitQuestion = "Are you sure you want to exit the program?";

class ProgramUnderWine : public ::testing::Test {
 protected:
  void SetUp() override {
    // The welcome dialog and the splash belong to the first run; most tests start later ones.
    SettingsOfALaterStart();
    // Keep the machine-wide presets out of these runs: other tests cover them.
    SetSetting("m_MaxBrowserBlock", "0");
    // Asked before the program starts, so that a desktop still starting has time to offer it.
    WineShellWindowsAnswer();
  }
  void TearDown() override { ForgetSettings(); }
};

TEST_F(ProgramUnderWine, AFirstStartShowsTheMainDialogAndTheTrayIcon) {
  Program program;
  ASSERT_TRUE(program.started());
  HWND dialog = program.MainDialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(program.ShowsWithin(dialog, 30s)) << program.Describe(dialog);
  EXPECT_TRUE(PumpUntil(TrayShowsAnIcon, 20s));
  SetForegroundWindow(dialog);
  sg::testing::PumpFor(1500ms);  // let Wine paint the dialog before the picture is taken
  EXPECT_TRUE(sg::testing::SaveWindowPicture(dialog, SNAPGATE_SCREENSHOT_DIR "/main-dialog.bmp"));
}

TEST_F(ProgramUnderWine, ASecondStartEndsAtOnceAndBringsTheHiddenFirstToTheFront) {
  SetSetting("bMinimized", "1");
  Program first;
  HWND dialog = first.MainDialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_FALSE(IsWindowVisible(dialog)) << "a stored 1 starts hidden";
  ASSERT_TRUE(PumpUntil(TrayShowsAnIcon, 20s));
  if (!WineShellWindowsAnswer()) {
    // The start-up's message box about it would take the second start's call instead.
    HWND box = first.MessageBoxSaying("Shell Windows", dialog, 60s);
    ASSERT_NE(box, nullptr);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(box); }, 20s));
  }

  Program second;
  ASSERT_TRUE(second.started());
  EXPECT_TRUE(second.EndsWithin(20s));
  EXPECT_EQ(second.ExitCode(), 0u);
  EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(dialog) != FALSE; }, 20s))
      << first.Describe(dialog);
  EXPECT_TRUE(PumpUntil([] { return Setting("bMinimized") == "0"; }, 10s));
}

TEST_F(ProgramUnderWine, ExitAsksFirstAndYesEndsTheProgramAndRemovesTheIcon) {
  Program program;
  HWND dialog = program.MainDialog();
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(program.ShowsWithin(dialog, 30s)) << program.Describe(dialog);
  ASSERT_TRUE(PumpUntil(TrayShowsAnIcon, 20s));

  PostMessageA(dialog, WM_COMMAND, 57665, 0);
  HWND question = program.MessageBoxSaying(kExitQuestion, dialog, 20s);
  ASSERT_NE(question, nullptr) << program.Describe(dialog);
  EXPECT_FALSE(program.EndsWithin(1s)) << "nothing ends before the answer";

  PostMessageA(question, WM_COMMAND, IDYES, 0);
  ASSERT_TRUE(program.EndsWithin(30s)) << program.Describe(dialog);
  EXPECT_EQ(program.ExitCode(), 0u);
  EXPECT_TRUE(PumpUntil([] { return !TrayShowsAnIcon(); }, 20s));
}

TEST_F(ProgramUnderWine, NoToTheExitQuestionKeepsTheProgramRunning) {
  Program program;
  HWND dialog = program.MainDialog();
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(program.ShowsWithin(dialog, 30s)) << program.Describe(dialog);
  PostMessageA(dialog, WM_COMMAND, 57665, 0);
  HWND question = program.MessageBoxSaying(kExitQuestion, dialog, 20s);
  ASSERT_NE(question, nullptr) << program.Describe(dialog);
  PostMessageA(question, WM_COMMAND, IDNO, 0);
  EXPECT_FALSE(program.EndsWithin(3s));
  EXPECT_TRUE(TrayShowsAnIcon());
}

}  // namespace
