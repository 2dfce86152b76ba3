// The real program's browser repairs and cookie cutter under Wine: the real registry, the
// browser's reset file and WinINet's URL cache.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>
#include <wininet.h>

#include <chrono>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "program_driver.h"
#include "screenshot.h"
#include "test_windows.h"
#include "win32/wine_shell_windows.h"

namespace {

using namespace sg::e2e;
using sg::testing::WineShellWindowsAnswer;

constexpr const char* kIeMain = "Software\\Microsoft\\Internet Explorer\\Main";
constexpr const char* kIeStyles = "Software\\Microsoft\\Internet Explorer\\Styles";
constexpr const char* kPrefixes = "Software\\Microsoft\\Windows\\CurrentVersion\\URL\\Prefixes";
constexpr const char* kStartPageQuestion = "Confirm your Internet Explorer Start Page";
constexpr const char* kCookieCutterTitle = "Cookie Cutter";

std::optional<std::string> FileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteFileText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

class BrowserRepairUnderWine : public ::testing::Test {
 protected:
  void SetUp() override {
    SettingsOfALaterStart();
    SetSetting("bNetscape", "0");
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    reset_file_ = std::string(windows) + "\\inf\\iereset.inf";
    CreateDirectoryA((std::string(windows) + "\\inf").c_str(), nullptr);
    old_reset_file_ = FileText(reset_file_);
    old_start_page_ = RegistryString(HKEY_CURRENT_USER, kIeMain, "Start Page");
    old_www_ = RegistryString(HKEY_LOCAL_MACHINE, kPrefixes, "www");
    WineShellWindowsAnswer();
  }
  void TearDown() override {
    if (old_reset_file_) {
      WriteFileText(reset_file_, *old_reset_file_);
    } else {
      DeleteFileA(reset_file_.c_str());
    }
    if (old_start_page_ != "<absent>") {
      SetRegistryString(HKEY_CURRENT_USER, kIeMain, "Start Page", old_start_page_);
    }
    if (old_www_ != "<absent>") SetRegistryString(HKEY_LOCAL_MACHINE, kPrefixes, "www", old_www_);
    RegDeleteKeyValueA(HKEY_CURRENT_USER, kIeStyles, "Use My Stylesheet");
    RegDeleteKeyValueA(HKEY_CURRENT_USER, kIeStyles, "User Stylesheet");
    ForgetSettings();
  }

  std::string reset_file_;
  std::optional<std::string> old_reset_file_;
  std::string old_start_page_;
  std::string old_www_;
};

TEST_F(BrowserRepairUnderWine, AHijackedStartPageIsAskedAboutAndTheOtherHijacksAreSetBack) {
  SetSetting("m_MaxBrowserBlock", "1");
  SetRegistryString(HKEY_CURRENT_USER, kIeMain, "Start Page",
                    "http://start.evil.example/cgi-bin/go?id=7");
  SetRegistryString(HKEY_LOCAL_MACHINE, kPrefixes, "www", "http://search.evil.example/?q=");
  const DWORD on = 1;
  SetRegistryValue(HKEY_CURRENT_USER, kIeStyles, "Use My Stylesheet", REG_DWORD, &on, sizeof on);
  SetRegistryString(HKEY_CURRENT_USER, kIeStyles, "User Stylesheet", "C:\\evil\\ads.css");
  WriteFileText(
      reset_file_,
      "[Version]\r\nSignature=\"$Chicago$\"\r\n\r\n\r\n\r\n[Strings]\r\n"
      "; the browser's own page\r\n"
      "SEARCH_PAGE_URL=\"http://search.evil.example/\"\r\n"
      "START_PAGE_URL=\"http://www.microsoft.com/isapi/redir.dll?prd=ie&pver=6&ar=msnhome\"\r\n");

  Program program;
  HWND dialog = program.MainDialog();
  ASSERT_NE(dialog, nullptr);
  HWND question = nullptr;
  // A notice of this Wine's (a Shell Windows collection that does not answer) may come first.
  ASSERT_TRUE(PumpUntil(
      [&] {
        question = WindowOf(program.id(), kStartPageQuestion);
        if (!question) program.AnswerMessageBoxes(dialog);
        return question != nullptr;
      },
      90s))
      << program.Describe(dialog);
  PumpUntil([&] { return IsWindowVisible(question) != FALSE; }, 10s);
  SetForegroundWindow(question);
  sg::testing::PumpFor(1500ms);  // let Wine paint the dialog before the picture is taken
  EXPECT_TRUE(sg::testing::SaveWindowPicture(question, SNAPGATE_SCREENSHOT_DIR "/start-page.bmp"));
  PostMessageA(question, WM_COMMAND, IDOK, 0);  // "&Yes" with the text left as it was
  ASSERT_TRUE(PumpUntil([&] { return !IsWindow(question); }, 20s));
  ASSERT_TRUE(program.ShowsWithin(dialog, 60s)) << program.Describe(dialog);

  EXPECT_EQ(RegistryString(HKEY_CURRENT_USER, kIeMain, "Start Page"), "http://www.yahoo.com/");
  EXPECT_EQ(Setting("Start Page"), "http://www.yahoo.com/") << "the answer is remembered";
  EXPECT_EQ(RegistryString(HKEY_LOCAL_MACHINE, kPrefixes, "www"), "http://");
  DWORD style_sheet = 99, size = sizeof style_sheet;
  RegGetValueA(HKEY_CURRENT_USER, kIeStyles, "Use My Stylesheet", RRF_RT_REG_DWORD, nullptr,
               &style_sheet, &size);
  EXPECT_EQ(style_sheet, 0u);
  const auto lines = BlockedLines(dialog);
  EXPECT_TRUE(Lists(
      lines, L"Internet Explorer prefix hijacker (www) fixed: http://search.evil.example/?q="));
  EXPECT_TRUE(Lists(lines, L"Internet Explorer style sheet hijacker fixed: C:\\evil\\ads.css"));
  EXPECT_TRUE(Lists(
      lines, L"Internet Explorer hijacker fixed: SEARCH_PAGE_URL=\"http://search.evil.example/\""));
  const std::string repaired = FileText(reset_file_).value_or("");
  EXPECT_NE(repaired.find(
                "SEARCH_PAGE_URL=\"http://www.microsoft.com/isapi/redir.dll?prd=ie&ar=iesearch\""),
            std::string::npos)
      << repaired;
  EXPECT_NE(repaired.find("; the browser's own page"), std::string::npos) << "comments stay";
  EXPECT_EQ(repaired.find("\r\n\r\n\r\n"), std::string::npos) << "empty-line runs collapse";
  EXPECT_TRUE(program.EndsThroughTheExitQuestion(dialog)) << program.Describe(dialog);
}

// Cookies as the browser commits them: a text file in the cache's cookie folder, named after
// the user and the site, used as often as asked.
class Cookies {
 public:
  ~Cookies() {
    for (const std::string& url : urls_) DeleteUrlCacheEntryA(url.c_str());
  }
  void Commit(const std::string& site, int uses) {
    const std::string url = "Cookie:ann@" + site + "/";
    char path[MAX_PATH] = {};
    if (!CreateUrlCacheEntryA(url.c_str(), 0, "txt", path, 0)) return;
    std::string named = path;
    named = named.substr(0, named.rfind('\\') + 1) + "ann@" + site + "[1].txt";
    WriteFileText(named, "id\n1\n" + site + "/\n");
    FILETIME expires{};
    const SYSTEMTIME in_2039{2039, 6, 3, 15, 12, 0, 0, 0};
    SystemTimeToFileTime(&in_2039, &expires);
    const FILETIME never{};
    if (!CommitUrlCacheEntryA(url.c_str(), named.c_str(), expires, never, COOKIE_CACHE_ENTRY,
                              nullptr, 0, "txt", nullptr)) {
      return;
    }
    urls_.push_back(url);
    for (int i = 0; i < uses; ++i) {
      char buffer[4096];
      DWORD size = sizeof buffer;
      auto* info = reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA*>(buffer);
      if (RetrieveUrlCacheEntryFileA(url.c_str(), info, &size, 0)) {
        UnlockUrlCacheEntryFileA(url.c_str(), 0);
      }
    }
  }
  // How many of these cookies the cache still holds.
  int Left() const {
    int left = 0;
    for (const std::string& url : urls_) {
      DWORD size = 0;
      if (GetUrlCacheEntryInfoA(url.c_str(), nullptr, &size) ||
          GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
        ++left;
      }
    }
    return left;
  }

 private:
  std::vector<std::string> urls_;
};

TEST_F(BrowserRepairUnderWine, TheCookieCutterListsCookiesMostUsedFirstAndRemovesThemAll) {
  SetSetting("m_MaxBrowserBlock", "0");
  Cookies cookies;
  cookies.Commit("rarely.snapgate-e2e.example", 1);
  cookies.Commit("often.snapgate-e2e.example", 5);
  cookies.Commit("sometimes.snapgate-e2e.example", 3);
  ASSERT_EQ(cookies.Left(), 3);

  Program program;
  HWND dialog = program.MainDialog();
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(program.ShowsWithin(dialog, 60s)) << program.Describe(dialog);
  PostMessageA(dialog, WM_COMMAND, 1019, 0);
  HWND cutter = nullptr;
  ASSERT_TRUE(PumpUntil(
      [&] { return (cutter = WindowOf(program.id(), kCookieCutterTitle)) != nullptr; }, 20s));
  ASSERT_TRUE(PumpUntil(
      [&] { return SendMessageA(GetDlgItem(cutter, 1000), LVM_GETITEMCOUNT, 0, 0) >= 3; }, 10s));
  HWND list = GetDlgItem(cutter, 1000);
  std::vector<std::string> ours;
  const int rows = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
  for (int row = 0; row < rows; ++row) {
    const std::string name = ListViewCellOf(list, row, 0);
    if (name.find("snapgate-e2e") != std::string::npos) ours.push_back(name);
  }
  EXPECT_EQ(ours, (std::vector<std::string>{"often.snapgate-e2e.example[1].txt",
                                            "sometimes.snapgate-e2e.example[1].txt",
                                            "rarely.snapgate-e2e.example[1].txt"}))
      << "most used first";
  SetForegroundWindow(cutter);
  sg::testing::PumpFor(1500ms);
  EXPECT_TRUE(sg::testing::SaveWindowPicture(cutter, SNAPGATE_SCREENSHOT_DIR "/cookie-cutter.bmp"));

  PostMessageA(cutter, WM_COMMAND, 1004, 0);  // "Remove &All"
  HWND question = program.MessageBoxSaying("Remove all ", cutter, 20s);
  ASSERT_NE(question, nullptr) << program.Describe(dialog);
  PostMessageA(question, WM_COMMAND, IDYES, 0);
  HWND done = program.MessageBoxSaying("All cookies were removed.", cutter, 20s);
  ASSERT_NE(done, nullptr) << program.Describe(dialog);
  PostMessageA(done, WM_COMMAND, IDOK, 0);
  EXPECT_EQ(cookies.Left(), 0);
  EXPECT_TRUE(PumpUntil(
      [&] { return SendMessageA(GetDlgItem(cutter, 1000), LVM_GETITEMCOUNT, 0, 0) == 0; }, 10s));
  PostMessageA(cutter, WM_COMMAND, IDCANCEL, 0);  // "&OK" is button 2
  ASSERT_TRUE(PumpUntil([&] { return !IsWindow(cutter); }, 20s));
  EXPECT_TRUE(program.EndsThroughTheExitQuestion(dialog)) << program.Describe(dialog);
}

constexpr const char* kKillBitKey =
    "Software\\Microsoft\\Internet Explorer\\ActiveX "
    "Compatibility\\{D27CDB6E-AE6D-11cf-96B8-444553540000}";

DWORD KillBit() {
  DWORD flags = 0xFFFFFFFF, size = sizeof flags;
  RegGetValueA(HKEY_LOCAL_MACHINE, kKillBitKey, "Compatibility Flags", RRF_RT_REG_DWORD, nullptr,
               &flags, &size);
  return flags;
}

// The walk looks below "\Program Files\Netscape" on the program's own drive: the program runs
// from a copy on drive C: as an installed one would.
class FlashBlockerUnderWine : public ::testing::Test {
 protected:
  void SetUp() override {
    SettingsOfALaterStart();
    SetSetting("m_MaxBrowserBlock", "0");
    SetSetting("bNetscape", "0");
    std::string folder;
    for (const char* part :
         {"C:\\Program Files\\Netscape", "\\Communicator", "\\Program", "\\Plugins"}) {
      folder += part;
      CreateDirectoryA(folder.c_str(), nullptr);
    }
    plugins_ = folder + "\\";
    WriteFileText(plugins_ + "NPSWF32.dll", "MZ flash");
    CreateDirectoryA(kInstalled, nullptr);
    const std::string built = ProgramPath();
    const std::string built_folder = ProgramFolder(built);
    CopyFileA(built.c_str(), (std::string(kInstalled) + "\\Snapgate! 3.293.exe").c_str(), FALSE);
    CopyFileA((built_folder + "SGDriver.dll").c_str(),
              (std::string(kInstalled) + "\\SGDriver.dll").c_str(), FALSE);
    WineShellWindowsAnswer();
  }
  void TearDown() override {
    DeleteFileA((plugins_ + "NPSWF32.dll").c_str());
    DeleteFileA((plugins_ + "flash_disabled\\NPSWF32.dll").c_str());
    RemoveDirectoryA((plugins_ + "flash_disabled").c_str());
    RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kKillBitKey, "Compatibility Flags");
    for (const char* file : {"Snapgate! 3.293.exe", "SGDriver.dll"}) {
      DeleteFileA((std::string(kInstalled) + "\\" + file).c_str());
    }
    RemoveDirectoryA(kInstalled);
    ForgetSettings();
  }

  static constexpr const char* kInstalled = "C:\\snapgate-e2e";
  std::string plugins_;
};

TEST_F(FlashBlockerUnderWine, TheOptionSetsTheKillBitAndMovesTheNetscapePluginAndBack) {
  Program program(std::string(kInstalled) + "\\Snapgate! 3.293.exe");
  HWND dialog = program.MainDialog();
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(program.ShowsWithin(dialog, 60s)) << program.Describe(dialog);

  PostMessageA(GetDlgItem(dialog, 1029), BM_CLICK, 0, 0);
  HWND told = program.MessageBoxSaying(
      "All Macromedia Flash Animations and advertisements have "
      "been disabled.",
      dialog, 20s);
  ASSERT_NE(told, nullptr) << program.Describe(dialog);
  PostMessageA(told, WM_COMMAND, IDOK, 0);
  EXPECT_EQ(KillBit(), 1024u);
  EXPECT_FALSE(FileIsThere(plugins_ + "NPSWF32.dll"));
  EXPECT_TRUE(FileIsThere(plugins_ + "flash_disabled\\NPSWF32.dll"));
  EXPECT_EQ(Setting("m_bBlockFlash"), "1");

  PostMessageA(GetDlgItem(dialog, 1029), BM_CLICK, 0, 0);
  EXPECT_TRUE(PumpUntil([] { return KillBit() == 0; }, 20s));
  EXPECT_TRUE(PumpUntil([&] { return FileIsThere(plugins_ + "NPSWF32.dll"); }, 10s));
  EXPECT_EQ(Setting("m_bBlockFlash"), "0");
  EXPECT_TRUE(program.EndsThroughTheExitQuestion(dialog)) << program.Describe(dialog);
}

}  // namespace
