// The real program under Wine, driven from outside as a user and a second start would.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "screenshot.h"
#include "win32/message_pump.h"

namespace {

using sg::testing::PumpUntil;
using namespace std::chrono_literals;

// Wine shows its own notification area as this window while it holds at least one icon.
constexpr const char* kWineTrayTitle = "Wine System Tray";

std::string ProgramPath() { return SNAPGATE_PROGRAM_PATH; }

void SetSetting(const char* name, const char* value) {
  HKEY key;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Snapgate!", 0, nullptr, 0, KEY_SET_VALUE,
                            nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                 static_cast<DWORD>(strlen(value) + 1));
  RegCloseKey(key);
}

std::string Setting(const char* name) {
  char value[256] = {};
  DWORD size = sizeof value - 1;
  if (RegGetValueA(HKEY_CURRENT_USER, "Software\\Snapgate!", name, RRF_RT_REG_SZ, nullptr, value,
                   &size) != ERROR_SUCCESS) {
    return "<absent>";
  }
  return value;
}

struct Found {
  DWORD process_id;
  const char* title;
  HWND window = nullptr;
};

// The top-level window of a process with exactly this title.
HWND WindowOf(DWORD process_id, const char* title) {
  Found found{process_id, title};
  EnumWindows(
      [](HWND window, LPARAM parameter) -> BOOL {
        auto* search = reinterpret_cast<Found*>(parameter);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        char text[256];
        GetWindowTextA(window, text, sizeof text);
        if (owner == search->process_id && strcmp(text, search->title) == 0) {
          search->window = window;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found.window;
}

// The program's message boxes are dialogs titled like its main dialog.
HWND QuestionBesides(HWND main_dialog) {
  HWND candidate = FindWindowExA(nullptr, nullptr, "#32770", "Snapgate!");
  while (candidate && (candidate == main_dialog || !IsWindowVisible(candidate))) {
    candidate = FindWindowExA(nullptr, candidate, "#32770", "Snapgate!");
  }
  return candidate;
}

bool TrayShowsAnIcon() {
  HWND tray = FindWindowA(nullptr, kWineTrayTitle);
  return tray && IsWindowVisible(tray);
}

class Program {
 public:
  Program() {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::string command = "\"" + ProgramPath() + "\"";
    started_ = CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                              nullptr, &startup, &info_);
  }
  ~Program() {
    if (!started_) return;
    if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
      TerminateProcess(info_.hProcess, 1);
      WaitForSingleObject(info_.hProcess, 10000);
    }
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
  }

  bool started() const { return started_; }
  DWORD id() const { return info_.dwProcessId; }
  bool EndsWithin(std::chrono::milliseconds limit) {
    return PumpUntil([this] { return WaitForSingleObject(info_.hProcess, 0) == WAIT_OBJECT_0; },
                     limit);
  }
  DWORD ExitCode() {
    DWORD code = 0;
    GetExitCodeProcess(info_.hProcess, &code);
    return code;
  }
  HWND MainDialog(std::chrono::milliseconds limit = 30s) {
    HWND window = nullptr;
    PumpUntil([&] { return (window = WindowOf(id(), "Snapgate!")) != nullptr; }, limit);
    return window;
  }

 private:
  PROCESS_INFORMATION info_{};
  bool started_ = false;
};

class ProgramUnderWine : public ::testing::Test {
 protected:
  void SetUp() override {
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Snapgate!");
    // The welcome dialog and the splash belong to the first run; most tests start later ones.
    SetSetting("bFirstTimeMsg", "1");
    SetSetting("bDisableSplash", "1");
    // Keep the machine-wide presets out of these runs: other tests cover them.
    SetSetting("m_MaxBrowserBlock", "0");
  }
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
