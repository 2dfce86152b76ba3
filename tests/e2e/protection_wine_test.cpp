// The real program's adware protection under Wine: real processes, files and registry.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>
#include <shlobj.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "program_driver.h"
#include "test_windows.h"
#include "screenshot.h"
#include "win32/wine_shell_windows.h"

namespace {

using namespace sg::e2e;
using sg::testing::WineShellWindowsAnswer;

constexpr const char* kHelperObjects =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Browser Helper Objects\\";
constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kRunValue = "Snapgate e2e loader";
constexpr const char* kHarmfulClass = "{5A0E2E00-0000-4000-8000-0000000000A1}";
constexpr const char* kSafeClass = "{5A0E2E00-0000-4000-8000-0000000000A2}";
constexpr const char* kCleanerTitle = "Installed Internet Explorer Plug-ins";
constexpr const char* kHistoryTitle = "Protection History";
constexpr WPARAM kHistoryCommand = 32777;  // the tray menu's "Protection History"
constexpr int kHistoryList = 1000;
constexpr WPARAM kHistoryAllow = 1003;

std::string DataFile(const char* name) {
  char folder[MAX_PATH] = {};
  SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, 0, folder);
  return std::string(folder) + "\\Snapgate!\\" + name;
}
std::string HistoryFile() {
  return DataFile("history.txt");
}
std::string AllowedProgramsFile() {
  return DataFile("allowed.txt");
}


// A program of the tests' own, started under another name.
class Started {
 public:
  explicit Started(const std::string& command) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::string line = command;
    started_ = CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                              &startup, &info_);
  }
  ~Started() {
    if (!started_) return;
    if (Running()) TerminateProcess(info_.hProcess, 1);
    WaitForSingleObject(info_.hProcess, 10000);
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
  }
  bool started() const { return started_; }
  bool Running() const { return WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT; }
  bool EndsWithin(std::chrono::milliseconds limit) {
    return PumpUntil([this] { return !Running(); }, limit);
  }

 private:
  PROCESS_INFORMATION info_{};
  bool started_ = false;
};

class ProtectionUnderWine : public ::testing::Test {
 protected:
  void SetUp() override {
    SettingsOfALaterStart();
    SetSetting("m_MaxBrowserBlock", "1");
    SetSetting("bNetscape", "0");
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    folder_ = std::string(temp) + "snapgate-e2e-ads\\";
    CreateDirectoryA(folder_.c_str(), nullptr);
    char system_folder[MAX_PATH];
    GetSystemDirectoryA(system_folder, MAX_PATH);
    random_named_ = std::string(system_folder) + "\\xqzvkj.exe";
    WineShellWindowsAnswer();
  }
  void TearDown() override {
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, (std::string(kHelperObjects) + kHarmfulClass).c_str());
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, (std::string(kHelperObjects) + kSafeClass).c_str());
    RegDeleteTreeA(HKEY_CLASSES_ROOT, (std::string("CLSID\\") + kHarmfulClass).c_str());
    RegDeleteTreeA(HKEY_CLASSES_ROOT, (std::string("CLSID\\") + kSafeClass).c_str());
    HKEY run;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kRunKey, 0, KEY_SET_VALUE, &run) == ERROR_SUCCESS) {
      RegDeleteValueA(run, kRunValue);
      RegCloseKey(run);
    }
    for (const char* file : {"msbb.exe", "adbar.dll", "disabled_adbar.dll", "gtb.dll"}) {
      DeleteFileA((folder_ + file).c_str());
    }
    DeleteFileA(random_named_.c_str());
    DeleteFileA(HistoryFile().c_str());
    DeleteFileA(AllowedProgramsFile().c_str());
    RemoveDirectoryA(folder_.c_str());
    ForgetSettings();
  }

  std::string Copy(const std::string& target) {
    EXPECT_TRUE(CopyFileA(SNAPGATE_SLEEPING_CHILD, target.c_str(), FALSE)) << target;
    return target;
  }
  void RegisterPlugin(const char* class_id, const std::string& name, const std::string& dll) {
    SetRegistryString(HKEY_LOCAL_MACHINE, std::string(kHelperObjects) + class_id, nullptr, "");
    SetRegistryString(HKEY_CLASSES_ROOT, std::string("CLSID\\") + class_id, nullptr, name);
    SetRegistryString(HKEY_CLASSES_ROOT, std::string("CLSID\\") + class_id + "\\InprocServer32",
                      nullptr, dll);
    CloseHandle(CreateFileA(dll.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
  }
  std::string folder_;
  std::string random_named_;
};

TEST_F(ProtectionUnderWine, SpywareEndsAtStartHarmfulPluginsAreRenamedAndComeBackAtExit) {
  Started spyware("\"" + Copy(folder_ + "msbb.exe") + "\"");
  SetRegistryString(HKEY_CURRENT_USER, kRunKey, kRunValue, random_named_ + " /quiet");
  auto random = std::make_unique<Started>("\"" + Copy(random_named_) + "\"");
  Started notepad("notepad.exe");
  ASSERT_TRUE(spyware.started() && random->started() && notepad.started());
  RegisterPlugin(kHarmfulClass, "Ad Bar Helper", folder_ + "adbar.dll");
  RegisterPlugin(kSafeClass, "Google Toolbar Helper", folder_ + "gtb.dll");
  sg::testing::PumpFor(1000ms);  // the three have started when the program looks

  Program program;
  HWND dialog = program.MainDialog();
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(program.ShowsWithin(dialog, 60s)) << program.Describe(dialog);
  EXPECT_TRUE(spyware.EndsWithin(10s));
  EXPECT_TRUE(random->EndsWithin(10s));
  EXPECT_TRUE(notepad.Running());
  const auto lines = BlockedLines(dialog);
  EXPECT_TRUE(Lists(lines, L"Spyware detected and killed: msbb.exe"));
  EXPECT_TRUE(Lists(lines, L"Spyware detected and killed: xqzvkj.exe"));
  EXPECT_TRUE(Lists(lines, L"Harmful web browser plug-in was disabled: Ad Bar Helper"));
  EXPECT_FALSE(Lists(lines, L"Harmful web browser plug-in was disabled: Google Toolbar Helper"));
  EXPECT_FALSE(FileIsThere(folder_ + "adbar.dll"));
  EXPECT_TRUE(FileIsThere(folder_ + "disabled_adbar.dll"));
  EXPECT_TRUE(FileIsThere(folder_ + "gtb.dll"));
  random.reset();
  DeleteFileA(random_named_.c_str());

  PostMessageA(dialog, WM_COMMAND, 1030, 0);
  HWND cleaner = nullptr;
  ASSERT_TRUE(
      PumpUntil([&] { return (cleaner = WindowOf(program.id(), kCleanerTitle)) != nullptr; }, 20s));
  // The window is found before its controls exist and its initialisation has listed the rows.
  EXPECT_TRUE(PumpUntil(
      [&] { return SendMessageA(GetDlgItem(cleaner, 1000), LVM_GETITEMCOUNT, 0, 0) == 2; }, 10s));
  SetForegroundWindow(cleaner);
  sg::testing::PumpFor(1500ms);  // let Wine paint the dialog before the picture is taken
  EXPECT_TRUE(
      sg::testing::SaveWindowPicture(cleaner, SNAPGATE_SCREENSHOT_DIR "/plugin-cleaner.bmp"));
  PostMessageA(cleaner, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(PumpUntil([&] { return !IsWindow(cleaner); }, 20s));

  ASSERT_TRUE(program.EndsThroughTheExitQuestion(dialog)) << program.Describe(dialog);
  EXPECT_TRUE(FileIsThere(folder_ + "adbar.dll")) << "the exit gives the plug-in back";
  EXPECT_FALSE(FileIsThere(folder_ + "disabled_adbar.dll"));
  EXPECT_TRUE(notepad.Running());
}

TEST_F(ProtectionUnderWine, AProgramAllowedFromTheHistoryKeepsRunningAtTheNextStart) {
  DeleteFileA(HistoryFile().c_str());
  SetRegistryString(HKEY_CURRENT_USER, kRunKey, kRunValue, random_named_ + " /quiet");
  auto random = std::make_unique<Started>("\"" + Copy(random_named_) + "\"");
  ASSERT_TRUE(random->started());
  sg::testing::PumpFor(1000ms);
  {
    Program program;
    HWND dialog = program.MainDialog();
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(program.ShowsWithin(dialog, 60s)) << program.Describe(dialog);
    ASSERT_TRUE(random->EndsWithin(10s));

    PostMessageA(dialog, WM_COMMAND, kHistoryCommand, 0);
    HWND history = nullptr;
    ASSERT_TRUE(PumpUntil(
        [&] { return (history = WindowOf(program.id(), kHistoryTitle)) != nullptr; }, 20s));
    HWND list = nullptr;
    int row = -1;
    ASSERT_TRUE(PumpUntil(
        [&] {
          list = GetDlgItem(history, kHistoryList);
          const int rows = list ? static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)) : 0;
          for (int i = 0; i < rows && row < 0; ++i) {
            if (ListViewCellOf(list, i, 2).find("xqzvkj.exe") != std::string::npos) row = i;
          }
          return row >= 0;
        },
        10s))
        << "the termination is listed";
    EXPECT_EQ(ListViewCellOf(list, row, 1), "Spyware killer");
    const std::string reason = ListViewCellOf(list, row, 3);
    EXPECT_NE(reason.find(kRunValue), std::string::npos) << reason;
    SetForegroundWindow(history);
    sg::testing::PumpFor(1500ms);  // let Wine paint the dialog before the picture is taken
    EXPECT_TRUE(sg::testing::SaveWindowPicture(
        history, SNAPGATE_SCREENSHOT_DIR "/protection-history.bmp"));

    ASSERT_TRUE(SelectListViewRow(list, row));
    PostMessageA(history, WM_COMMAND, kHistoryAllow, 0);
    // The outcome is told in a box of the program's own.
    HWND box = nullptr;
    ASSERT_TRUE(PumpUntil(
        [&] {
          for (HWND shown : MessageBoxesOf(program.id(), history)) {
            if (shown != dialog) box = shown;
          }
          return box != nullptr;
        },
        10s));
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(box); }, 10s));
    EXPECT_NE(FileText(AllowedProgramsFile()).find("xqzvkj.exe"), std::string::npos);
    PostMessageA(history, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(history); }, 20s));
    ASSERT_TRUE(program.EndsThroughTheExitQuestion(dialog)) << program.Describe(dialog);
  }

  random = std::make_unique<Started>("\"" + random_named_ + "\"");
  ASSERT_TRUE(random->started());
  sg::testing::PumpFor(1000ms);
  Program program;
  HWND dialog = program.MainDialog();
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(program.ShowsWithin(dialog, 60s)) << program.Describe(dialog);
  EXPECT_FALSE(random->EndsWithin(5s)) << "the allowed program keeps running";
  EXPECT_FALSE(Lists(BlockedLines(dialog), L"Spyware detected and killed: xqzvkj.exe"));
  ASSERT_TRUE(program.EndsThroughTheExitQuestion(dialog)) << program.Describe(dialog);
  random.reset();
}

}  // namespace
