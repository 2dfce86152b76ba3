// "Upgrade" as a user meets it: the installed program asks a web server (the tests' own, on the
// loopback address) for a newer version, and installs it only when its setup program is whole
// and signed with the maker's key (here the build's test key) for the version offered.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "e2e/installation.h"
#include "e2e/linux_process.h"
#include "e2e/screenshot.h"
#include "win32/loopback_http_server.h"

namespace sg::e2e {
namespace {

constexpr int kUpgradeCommand = 1015;
constexpr const char* kNextSetup = "Snapgate-" SNAPGATE_NEXT_VERSION "-setup.exe";
constexpr const char* kDownloadFailure = "There was a problem while downloading the update";

// The server's folder, by its Linux path for the server and its Wine path for this test.
std::string ServedFolderInWine() {
  return std::string("Z:") + SNAPGATE_SERVED_FOLDER;
}

std::string Trimmed(std::string text) {
  while (!text.empty() && isspace(static_cast<unsigned char>(text.back()))) text.pop_back();
  return text;
}

void WriteUpgradePage(const std::string& version, const std::string& link,
                      const std::string& signature) {
  std::ofstream page(ServedFolderInWine() + "\\upgrade.html", std::ios::binary);
  page << "<html><body>\n<!-- UPGRADE Version -->\n"
       << version << "\n<!-- UPGRADE Description -->\nBlocks popups before they are painted.\n"
       << "<!-- END UPGRADE Description -->\n<!-- UPGRADE Download Link -->\n"
       << link << "\n";
  if (!signature.empty()) page << "<!-- UPGRADE Signature -->\n" << signature << "\n";
  page << "</body></html>\n";
}

// The processor time of the Linux processes whose name begins so, in seconds, read from Linux:
// what Wine reports of another process leaves out the time of its threads.
std::string ImageOf(DWORD process_id) {
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process_id);
  char path[MAX_PATH] = {};
  DWORD size = sizeof path;
  if (process) QueryFullProcessImageNameA(process, 0, path, &size);
  if (process) CloseHandle(process);
  return path;
}

// The download folders the program made in the temporary folder.
int DownloadsLeft() {
  char folder[MAX_PATH] = {};
  GetTempPathA(sizeof folder, folder);
  int count = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    count += entry.path().filename().string().rfind("sgu", 0) == 0;
  }
  return count;
}

class UpgradeUnderWine : public ::testing::Test {
 protected:
  void SetUp() override {
    SettingsOfALaterStart();
    ASSERT_TRUE(server_.Start(SNAPGATE_SERVED_FOLDER));
    ASSERT_TRUE(CopyFileA(SNAPGATE_NEXT_VERSION_SETUP,
                          (ServedFolderInWine() + "\\" + kNextSetup).c_str(), FALSE));
    signature_ = Trimmed(FileText(SNAPGATE_NEXT_VERSION_SETUP ".signature"));
    ASSERT_EQ(RunSetup(), 0u);
    SetSetting("UpgradeURL", server_.Url("/files/upgrade.html").c_str());
  }
  void TearDown() override {
    RemoveInstallation();
    server_.Stop();
  }

  // "Upgrade" in the main dialog, then OK in "Check for Upgrade"; the dialog.
  HWND CheckForUpgrade() {
    PostMessageA(dialog_, WM_COMMAND, kUpgradeCommand, 0);
    HWND check = nullptr;
    PumpUntil([&] { return (check = WindowOf(program_->id(), "Check for Upgrade")) != nullptr; },
              20s);
    if (check) PostMessageA(check, WM_COMMAND, IDOK, 0);
    return check;
  }
  // "Close" in "Check for Upgrade"; true once it is gone.
  static bool Close(HWND check) {
    PostMessageA(check, WM_COMMAND, IDCANCEL, 0);
    return PumpUntil([check] { return !IsWindow(check); }, 20s);
  }
  // Answers the message box that says these words; false when none came.
  bool Answer(const char* words, int answer) {
    HWND box = program_->MessageBoxSaying(words, dialog_, 60s);
    if (box) PostMessageA(box, WM_COMMAND, answer, 0);
    return box != nullptr;
  }
  void ExpectTheOldVersionStillInstalledAndRunning() {
    EXPECT_TRUE(FileIsThere(InstalledProgram()));
    EXPECT_EQ(RegistryString(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayVersion"), "3.293");
    EXPECT_FALSE(program_->EndsWithin(0ms));
    EXPECT_EQ(DownloadsLeft(), downloads_before_) << "the refused download was deleted";
  }

  testing::LoopbackHttpServer server_;
  std::string signature_;
  std::unique_ptr<Program> program_;
  HWND dialog_ = nullptr;
  int downloads_before_ = 0;
};

// Clicks through the interactive setup program the upgrade starts: Next, Install, Finish.
bool ClickThroughSetup(HWND wizard) {
  std::string clicked;
  return PumpUntil(
      [&] {
        if (!IsWindow(wizard)) return true;
        HWND next = GetDlgItem(wizard, IDOK);
        char text[64] = {};
        GetWindowTextA(next, text, sizeof text);
        if (IsWindowEnabled(next) && IsWindowVisible(next) && clicked != text) {
          clicked = text;
          PostMessageA(wizard, WM_COMMAND, IDOK, 0);
        } else if (!IsWindowEnabled(next)) {
          clicked.clear();
        }
        return false;
      },
      120s);
}

TEST_F(UpgradeUnderWine, OnlyAWholeSignedSetupProgramReplacesTheRunningVersion) {
  program_ = std::make_unique<Program>(Program::CommandLine{"\"" + InstalledProgram() + "\""});
  dialog_ = program_->MainDialog();
  ASSERT_NE(dialog_, nullptr);
  ASSERT_TRUE(program_->ShowsWithin(dialog_, 90s)) << program_->Describe(dialog_);
  WriteUsersBlockList();
  downloads_before_ = DownloadsLeft();
  const std::string whole = server_.Url(std::string("/files/") + kNextSetup);

  // The page offers what is installed.
  WriteUpgradePage("3.293", whole, signature_);
  HWND check = CheckForUpgrade();
  ASSERT_NE(check, nullptr);
  HWND newest = program_->MessageBoxSaying("You have the most recent version", dialog_, 30s);
  ASSERT_NE(newest, nullptr);
  EXPECT_EQ(MessageBoxText(newest),
            "You have the most recent version v3.29.\nNo upgrade is available.");
  PostMessageA(newest, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(Close(check));

  // A setup program broken off half-way, a whole one that nobody signed, and the signed one
  // replayed as a later version than it was signed for.
  const struct {
    const char* what;
    const char* version;
    std::string link;
    std::string signature;
  } refused[] = {
      {"broken off", SNAPGATE_NEXT_VERSION,
       server_.Url(std::string("/dropped-files/") + kNextSetup), signature_},
      {"unsigned", SNAPGATE_NEXT_VERSION, whole, ""},
      {"replayed as 99", "99", whole, signature_},
  };
  for (const auto& offer : refused) {
    SCOPED_TRACE(offer.what);
    WriteUpgradePage(offer.version, offer.link, offer.signature);
    check = CheckForUpgrade();
    ASSERT_NE(check, nullptr);
    ASSERT_TRUE(Answer("Would you like to download the upgrade now?", IDYES));
    HWND failure = program_->MessageBoxSaying(kDownloadFailure, dialog_, 60s);
    ASSERT_NE(failure, nullptr) << program_->Describe(dialog_);
    sg::testing::PumpFor(500ms);  // let Wine paint the box before the picture is taken
    EXPECT_TRUE(
        sg::testing::SaveWindowPicture(failure, SNAPGATE_SCREENSHOT_DIR "/upgrade-refused.bmp"));
    PostMessageA(failure, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(Close(check));
    ExpectTheOldVersionStillInstalledAndRunning();
  }

  // The signed one, slowly: the program waits without spinning.
  WriteUpgradePage(SNAPGATE_NEXT_VERSION, server_.Url(std::string("/slow-files/") + kNextSetup),
                   signature_);
  ASSERT_NE(CheckForUpgrade(), nullptr);
  HWND question =
      program_->MessageBoxSaying("A new upgrade of Snapgate! is available", dialog_, 30s);
  ASSERT_NE(question, nullptr);
  sg::testing::PumpFor(500ms);
  EXPECT_TRUE(
      sg::testing::SaveWindowPicture(question, SNAPGATE_SCREENSHOT_DIR "/upgrade-question.bmp"));
  PostMessageA(question, WM_COMMAND, IDYES, 0);
  HWND progress = program_->MessageBoxSaying("Read ", dialog_, 20s);
  ASSERT_NE(progress, nullptr) << "the download started";
  EXPECT_TRUE(
      sg::testing::SaveWindowPicture(progress, SNAPGATE_SCREENSHOT_DIR "/upgrade-download.bmp"));
  const sg::e2e::ThreadTimes busy_before = sg::e2e::ProcessorTimes("Snapgate! 3.293");
  const auto wall_before = std::chrono::steady_clock::now();
  sg::testing::PumpFor(1500ms);
  const double busy =
      sg::e2e::ProcessorSecondsBetween(busy_before, sg::e2e::ProcessorTimes("Snapgate! 3.293"));
  const double wall =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - wall_before).count();
  EXPECT_FALSE(busy_before.empty()) << "processor times are readable";
  EXPECT_LT(busy / wall, 0.2) << busy << " s of processor time in " << wall << " s";

  HWND wizard = nullptr;
  ASSERT_TRUE(PumpUntil(
      [&] {
        return (wizard = FindWindowA(nullptr, "Snapgate! " SNAPGATE_NEXT_VERSION " Setup")) !=
               nullptr;
      },
      60s));
  EXPECT_FALSE(FileIsThere(InstalledProgram())) << "the old version was uninstalled first";
  EXPECT_TRUE(FileIsThere(UsersFilesFolder() + "\\filters.txt"));
  ASSERT_TRUE(ClickThroughSetup(wizard));

  EXPECT_TRUE(program_->EndsWithin(30s)) << "the old version ends once its successor is set up";
  EXPECT_EQ(program_->ExitCode(), 0u);
  const DWORD successor = RunningCopy(30s, program_->id());
  ASSERT_NE(successor, 0u) << "the setup program's last page started the new version";
  EXPECT_EQ(ImageOf(successor), InstalledProgram(SNAPGATE_NEXT_VERSION));
  EXPECT_EQ(RegistryString(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayVersion"),
            SNAPGATE_NEXT_VERSION);
  EXPECT_FALSE(FileIsThere(InstalledProgram()));
  EXPECT_EQ(FileText(UsersFilesFolder() + "\\filters.txt"), "Casino\r\n");
  EXPECT_EQ(DownloadsLeft(), downloads_before_) << "the download was deleted after its run";
}

}  // namespace
}  // namespace sg::e2e
