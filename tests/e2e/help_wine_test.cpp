// The real program's help window under Wine: it opens, remembers a new size and carries its
// help page.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>
#include <shlobj.h>

#include <string>

#include "program_driver.h"
#include "screenshot.h"
#include "win32/wine_shell_windows.h"

namespace {

using namespace sg::e2e;
using sg::testing::WineShellWindowsAnswer;

constexpr const char* kHelpCaption = "Snapgate! Online Help at ";
constexpr const char* kHelpSizeSection = "67";  // template 103 in hexadecimal

std::string SizeMemoryFile() {
  char folder[MAX_PATH] = {};
  SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, 0, folder);
  return std::string(folder) + "\\Snapgate!\\Snapgate!.ini";
}

std::string ControlText(HWND dialog, int control) {
  char text[512] = {};
  GetWindowTextA(GetDlgItem(dialog, control), text, sizeof text);
  return text;
}

// What the screen shows of a window, as one string of colours.
std::string Pixels(HWND window) {
  RECT area;
  GetWindowRect(window, &area);
  HDC screen = GetDC(nullptr);
  std::string pixels;
  for (int y = area.top; y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x) pixels += std::to_string(GetPixel(screen, x, y));
  }
  ReleaseDC(nullptr, screen);
  return pixels;
}

// Wine's animation control does not answer ACM_ISPLAYING: a running clip shows another picture
// a moment later.
bool Animates(HWND animation) {
  const std::string first = Pixels(animation);
  return PumpUntil([&] { return Pixels(animation) != first; }, 5s);
}

class HelpUnderWine : public ::testing::Test {
 protected:
  void SetUp() override {
    SettingsOfALaterStart();
    SetSetting("m_MaxBrowserBlock", "0");
    SetSetting("bNetscape", "0");
    WritePrivateProfileStringA(kHelpSizeSection, nullptr, nullptr, SizeMemoryFile().c_str());
    WineShellWindowsAnswer();
  }
  void TearDown() override { ForgetSettings(); }

  HWND OpenHelp(Program& program, HWND dialog) {
    PostMessageA(dialog, WM_COMMAND, 1010, 0);
    HWND help = nullptr;
    PumpUntil(
        [&] {
          return (help = WindowWhere(program.id(), [](const std::string& title) {
                    return title.starts_with(kHelpCaption);
                  })) != nullptr;
        },
        20s);
    if (help) PumpUntil([&] { return IsWindowVisible(help) != FALSE; }, 10s);
    return help;
  }
  static bool ClosedWithin(HWND window) {
    PostMessageA(window, WM_COMMAND, IDOK, 0);
    return PumpUntil([&] { return !IsWindow(window); }, 20s);
  }
};

TEST_F(HelpUnderWine, HelpOpensTheManualAndTheNextOpeningHasTheSizeTheUserGaveIt) {
  Program program;
  HWND dialog = program.MainDialog();
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(program.ShowsWithin(dialog, 60s)) << program.Describe(dialog);

  HWND help = OpenHelp(program, dialog);
  ASSERT_NE(help, nullptr) << program.Describe(dialog);
  EXPECT_EQ(ControlText(help, 1085), "res://Snapgate! 3.293.exe/23/186");
  EXPECT_TRUE(IsWindowVisible(GetDlgItem(help, 1033)));
  EXPECT_TRUE(Animates(GetDlgItem(help, 1033)));
  SetForegroundWindow(help);
  sg::testing::PumpFor(1500ms);  // let Wine paint the window before the picture is taken
  EXPECT_TRUE(sg::testing::SaveWindowPicture(help, SNAPGATE_SCREENSHOT_DIR "/help-window.bmp"));

  RECT first;
  GetWindowRect(help, &first);
  const int width = first.right - first.left + 100;
  const int height = first.bottom - first.top + 50;
  SetWindowPos(help, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
  ASSERT_TRUE(ClosedWithin(help));

  help = OpenHelp(program, dialog);
  ASSERT_NE(help, nullptr) << program.Describe(dialog);
  RECT second;
  GetWindowRect(help, &second);
  EXPECT_EQ(second.right - second.left, width);
  EXPECT_EQ(second.bottom - second.top, height);
  ASSERT_TRUE(ClosedWithin(help));
  EXPECT_TRUE(program.EndsThroughTheExitQuestion(dialog)) << program.Describe(dialog);
}

TEST(HelpPageUnderWine, TheProgramCarriesItsManualWithTheToolsSections) {
  HMODULE program = LoadLibraryExA(ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(program, nullptr) << GetLastError();
  HRSRC found = FindResourceA(program, MAKEINTRESOURCEA(186), MAKEINTRESOURCEA(23));
  ASSERT_NE(found, nullptr);
  const char* bytes = static_cast<const char*>(LockResource(LoadResource(program, found)));
  const std::string page(bytes, SizeofResource(program, found));
  FreeLibrary(program);
  EXPECT_NE(page.find("<html"), std::string::npos);
  EXPECT_NE(page.find("</html>"), std::string::npos);
  EXPECT_NE(page.find("id=\"plugins\""), std::string::npos);
  EXPECT_NE(page.find("id=\"cookies\""), std::string::npos);
  EXPECT_EQ(page.find("<script"), std::string::npos);
}

}  // namespace
