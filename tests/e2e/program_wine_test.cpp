// The real program under Wine, driven from outside as a user and a second start would.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "program_driver.h"
#include "screenshot.h"

namespace {

using namespace sg::e2e;

class ProgramUnderWine : public ::testing::Test {
 protected:
  void SetUp() override {
    // The welcome dialog and the splash belong to the first run; most tests start later ones.
    SettingsOfALaterStart();
    // Keep the machine-wide presets out of these runs: other tests cover them.
    SetSetting("m_MaxBrowserBlock", "0");
  }
  void TearDown() override { ForgetSettings(); }
};

TEST_F(ProgramUnderWine, AFirstStartShowsTheMainDialogAndTheTrayIcon) {
  Program program;
  ASSERT_TRUE(program.started());
  HWND dialog = program.MainDialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(dialog) != FALSE; }, 20s));
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

  Program second;
  ASSERT_TRUE(second.started());
  EXPECT_TRUE(second.EndsWithin(20s));
  EXPECT_EQ(second.ExitCode(), 0u);
  EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(dialog) != FALSE; }, 20s));
  EXPECT_TRUE(PumpUntil([] { return Setting("bMinimized") == "0"; }, 10s));
}

TEST_F(ProgramUnderWine, ExitAsksFirstAndYesEndsTheProgramAndRemovesTheIcon) {
  Program program;
  HWND dialog = program.MainDialog();
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(PumpUntil(TrayShowsAnIcon, 20s));

  PostMessageA(dialog, WM_COMMAND, 57665, 0);
  HWND question = nullptr;
  ASSERT_TRUE(PumpUntil([&] { return (question = QuestionBesides(dialog)) != nullptr; }, 20s));
  EXPECT_FALSE(program.EndsWithin(1s)) << "nothing ends before the answer";

  PostMessageA(question, WM_COMMAND, IDYES, 0);
  ASSERT_TRUE(program.EndsWithin(30s));
  EXPECT_EQ(program.ExitCode(), 0u);
  EXPECT_TRUE(PumpUntil([] { return !TrayShowsAnIcon(); }, 20s));
}

TEST_F(ProgramUnderWine, NoToTheExitQuestionKeepsTheProgramRunning) {
  Program program;
  HWND dialog = program.MainDialog();
  ASSERT_NE(dialog, nullptr);
  PostMessageA(dialog, WM_COMMAND, 57665, 0);
  HWND question = nullptr;
  ASSERT_TRUE(PumpUntil([&] { return (question = QuestionBesides(dialog)) != nullptr; }, 20s));
  PostMessageA(question, WM_COMMAND, IDNO, 0);
  EXPECT_FALSE(program.EndsWithin(3s));
  EXPECT_TRUE(TrayShowsAnIcon());
}

}  // namespace
