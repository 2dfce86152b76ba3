// The setup program and its uninstaller as a user runs them, quietly as the upgrade does, in a
// Wine prefix that starts empty.
#include <windows.h>

#include <aclapi.h>
#include <gtest/gtest.h>
#include <sddl.h>

#include <string>

#include "e2e/installation.h"
#include "e2e/screenshot.h"

namespace sg::e2e {
namespace {

constexpr const char* kInstalledFiles[] = {
    "Snapgate! 3.293.exe", "SGDriver.dll",     "default.wav",
    "startsound.wav",      "snapgtactive.ico", "snapgtoff.ico",
    "popuptest.html",      "unins000.exe",     "uninstall-core.exe"};

std::string StartMenuFolder() {
  return KnownFolder(CSIDL_COMMON_PROGRAMS) + "\\Snapgate!";
}
std::string ProductVersionOf(const std::string& file) {
  DWORD ignored = 0;
  std::string data(GetFileVersionInfoSizeA(file.c_str(), &ignored), '\0');
  if (data.empty() || !GetFileVersionInfoA(file.c_str(), 0, data.size(), data.data())) return {};
  WORD* translation = nullptr;
  UINT size = 0;
  if (!VerQueryValueA(data.data(), "\\VarFileInfo\\Translation",
                      reinterpret_cast<void**>(&translation), &size) ||
      size < 4) {
    return {};
  }
  char query[64];
  snprintf(query, sizeof query, "\\StringFileInfo\\%04x%04x\\ProductVersion", translation[0],
           translation[1]);
  char* version = nullptr;
  if (!VerQueryValueA(data.data(), query, reinterpret_cast<void**>(&version), &size)) return {};
  return version;
}

// The account this test runs as: under Wine, the one account, which owns the whole prefix.
std::string CurrentUserSid() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return {};
  alignas(TOKEN_USER) char buffer[256];
  DWORD size = 0;
  std::string text;
  char* sid = nullptr;
  if (GetTokenInformation(token, TokenUser, buffer, sizeof buffer, &size) &&
      ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid, &sid)) {
    text = sid;
    LocalFree(sid);
  }
  CloseHandle(token);
  return text;
}

// The entries of a folder's access list that let anyone but administrators and the system
// change what lies in it, in the system's own notation; "no access list" when it has none at all.
std::string WritersBesidesAdministrators(const std::string& folder) {
  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  const DWORD read =
      GetNamedSecurityInfoA(folder.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                            nullptr, &dacl, nullptr, &descriptor);
  if (read != ERROR_SUCCESS) return "unreadable: error " + std::to_string(read);
  std::string writers = dacl ? "" : "no access list";
  constexpr ACCESS_MASK kChanges = FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_WRITE_EA |
                                   FILE_WRITE_ATTRIBUTES | FILE_DELETE_CHILD | DELETE | WRITE_DAC |
                                   WRITE_OWNER | GENERIC_WRITE | GENERIC_ALL;
  for (DWORD i = 0; dacl && i < dacl->AceCount; ++i) {
    ACCESS_ALLOWED_ACE* entry = nullptr;
    if (!GetAce(dacl, i, reinterpret_cast<void**>(&entry)) ||
        entry->Header.AceType != ACCESS_ALLOWED_ACE_TYPE || !(entry->Mask & kChanges)) {
      continue;
    }
    char* sid = nullptr;
    if (!ConvertSidToStringSidA(&entry->SidStart, &sid)) continue;
    const std::string who = sid;
    LocalFree(sid);
    // The system, administrators, and the administrator who installed.
    if (who == "S-1-5-18" || who == "S-1-5-32-544" || who == CurrentUserSid()) continue;
    writers += who + " ";
  }
  LocalFree(descriptor);
  return writers;
}

DWORD EstimatedSize() {
  DWORD size = 0;
  DWORD length = sizeof size;
  RegGetValueA(HKEY_LOCAL_MACHINE, kUninstallKey, "EstimatedSize", RRF_RT_REG_DWORD, nullptr, &size,
               &length);
  return size;
}

class InstallerUnderWine : public ::testing::Test {
 protected:
  void SetUp() override { SettingsOfALaterStart(); }
  void TearDown() override { RemoveInstallation(); }
};

TEST_F(InstallerUnderWine, SetupInstallsForTheLogonAndTheUninstallerKeepsTheUsersLists) {
  ASSERT_EQ(RunSetup(), 0u);
  for (const char* file : kInstalledFiles) {
    EXPECT_TRUE(FileIsThere(InstallFolder() + "\\" + file)) << file;
  }
  EXPECT_EQ(ProductVersionOf(SNAPGATE_SETUP_PROGRAM), "3.293");
  EXPECT_EQ(ProductVersionOf(InstalledProgram()), "3.293");
  const std::string logon = RegistryString(HKEY_LOCAL_MACHINE, kRunKey, "Snapgate!");
  EXPECT_EQ(logon, "\"" + InstalledProgram() + "\"");
  EXPECT_TRUE(FileIsThere(StartMenuFolder() + "\\Snapgate!.lnk"));
  EXPECT_TRUE(FileIsThere(StartMenuFolder() + "\\Uninstall Snapgate!.lnk"));
  const std::string uninstaller = "\"" + InstallFolder() + "\\unins000.exe\"";
  EXPECT_EQ(RegistryString(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName"), "Snapgate!");
  EXPECT_EQ(RegistryString(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayVersion"), "3.293");
  EXPECT_EQ(RegistryString(HKEY_LOCAL_MACHINE, kUninstallKey, "Publisher"), "Snapgate Developers");
  EXPECT_EQ(RegistryString(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayIcon"),
            "\"" + InstalledProgram() + "\",0");
  EXPECT_EQ(RegistryString(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString"), uninstaller);
  EXPECT_EQ(RegistryString(HKEY_LOCAL_MACHINE, kUninstallKey, "QuietUninstallString"),
            uninstaller + " /SILENT");
  EXPECT_GT(EstimatedSize(), 1000u) << "in KB: the program alone is over a megabyte";
  EXPECT_EQ(WritersBesidesAdministrators(InstallFolder()), "")
      << "users may read and run the installed program, never change it";

  // Started as Windows starts it at logon: the value's command line, from another folder.
  Program program(Program::CommandLine{logon});
  HWND dialog = program.MainDialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(program.ShowsWithin(dialog, 90s)) << program.Describe(dialog);
  // The lists and the presets' work files go to the user's own folder, never beside the program.
  for (const char* file : {"filters.txt", "whitelist.txt", "safebho.txt", "allowed.txt",
                           "SnapgateSettings.dat", "SnapgateSettings.reg"}) {
    EXPECT_FALSE(FileIsThere(InstallFolder() + "\\" + file)) << file;
  }
  WriteUsersBlockList();

  ASSERT_EQ(RunUninstaller(), 0u);
  EXPECT_TRUE(program.EndsWithin(1s)) << "the uninstaller returns once the program has ended";
  EXPECT_EQ(program.ExitCode(), 0u) << "through its own exit sequence";
  for (const char* file : kInstalledFiles) {
    EXPECT_FALSE(FileIsThere(InstallFolder() + "\\" + file)) << file;
  }
  EXPECT_EQ(FileText(UsersFilesFolder() + "\\filters.txt"), "Casino\r\n");
  EXPECT_FALSE(FileIsThere(InstallFolder())) << "nothing of the user's is left in it";
  EXPECT_EQ(Setting("bFirstTimeMsg"), "1") << "the settings under HKEY_CURRENT_USER stay";
  EXPECT_EQ(RegistryString(HKEY_LOCAL_MACHINE, kRunKey, "Snapgate!"), "<absent>");
  EXPECT_EQ(RegistryString(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName"), "<absent>");
  EXPECT_FALSE(FileIsThere(StartMenuFolder()));
}

TEST_F(InstallerUnderWine, InstallingAgainOverARunningCopyEndsWithOneWorkingInstallation) {
  ASSERT_EQ(RunSetup(), 0u);
  ASSERT_EQ(RunSetup(), 0u);
  Program first(Program::CommandLine{"\"" + InstalledProgram() + "\""});
  HWND dialog = first.MainDialog();
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(first.ShowsWithin(dialog, 90s)) << first.Describe(dialog);
  WriteUsersBlockList();

  // A copy that cannot answer holds its files, as the upgrade's own does while it waits.
  Program frozen(Program::CommandLine{"\"" + InstalledProgram() + "\"", CREATE_SUSPENDED});
  ASSERT_TRUE(frozen.started());

  ASSERT_EQ(RunSetup(), 0u);
  EXPECT_TRUE(first.EndsWithin(1s)) << "Setup ended the running copy first";
  EXPECT_EQ(first.ExitCode(), 0u);
  const DWORD second = RunningCopy(30s);
  EXPECT_NE(second, 0u) << "Setup starts again the copy it ended";
  EXPECT_NE(second, first.id());
  for (const char* file : kInstalledFiles) {
    EXPECT_TRUE(FileIsThere(InstallFolder() + "\\" + file)) << file;
  }
  EXPECT_EQ(FileText(UsersFilesFolder() + "\\filters.txt"), "Casino\r\n");
  EXPECT_EQ(RegistryString(HKEY_LOCAL_MACHINE, kRunKey, "Snapgate!"),
            "\"" + InstalledProgram() + "\"");
  EXPECT_EQ(WritersBesidesAdministrators(InstallFolder()), "");

  ASSERT_EQ(RunUninstaller(), 0u);
  EXPECT_EQ(RunningCopy(0ms), 0u) << "the uninstaller ended the copy Setup started";
}

TEST_F(InstallerUnderWine, TheInteractiveSetupOpensOnItsWelcomeAndCanBeLeft) {
  Program setup(Program::CommandLine{"\"" SNAPGATE_SETUP_PROGRAM "\""});
  HWND wizard = nullptr;
  ASSERT_TRUE(PumpUntil(
      [&] { return (wizard = WindowOf(setup.id(), "Snapgate! 3.293 Setup")) != nullptr; }, 30s));
  sg::testing::PumpFor(1500ms);  // let Wine paint the page before the picture is taken
  EXPECT_TRUE(sg::testing::SaveWindowPicture(wizard, SNAPGATE_SCREENSHOT_DIR "/setup-welcome.bmp"));

  PostMessageA(wizard, WM_COMMAND, IDCANCEL, 0);
  HWND question = setup.MessageBoxSaying("Are you sure you want to quit", wizard, 20s);
  ASSERT_NE(question, nullptr);
  PostMessageA(question, WM_COMMAND, IDYES, 0);
  EXPECT_TRUE(setup.EndsWithin(20s));
  EXPECT_FALSE(FileIsThere(InstalledProgram())) << "nothing is installed before the last page";
}

}  // namespace
}  // namespace sg::e2e
