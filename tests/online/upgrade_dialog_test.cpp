// "Check for Upgrade" on the fake platform: when the check is due, what the two answers of the
// upgrade page say, and an installation that goes through only for a whole installer signed
// for the version offered, which runs as it was checked.
#include "online/upgrade_dialog.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/fake/fake_platform.h"
#include "platform/fake/sha256.h"
#include "resources/resource_ids.h"
#include "settings/registry_store.h"
#include "support/signed_installer.h"

namespace sg::online {
namespace {

constexpr char kPage[] = "http://www.snapgate.example/snapgate_upgrade_check.html";
constexpr char kLink[] = "http://www.snapgate.example/Snapgate-3.300-setup.exe";
constexpr char kTemp[] = "C:\\Users\\ann\\AppData\\Local\\Temp";
// The first folder the download makes in the temporary folder, and the download in it.
constexpr char kDownloadFolder[] = "C:\\Users\\ann\\AppData\\Local\\Temp\\sgu1";
constexpr char kDownload[] = "C:\\Users\\ann\\AppData\\Local\\Temp\\sgu1\\NewUpdate.exe";
constexpr char kDownloadFailure[] =
    "There was a problem while downloading the update for your software. Your current version "
    "is still installed.\n\nYou can manually upgrade your software by visiting "
    "http://www.snapgate.example/ and clicking Download Evaluation to obtain the latest version.";

class RecordedSteps final : public UpgradeSteps {
 public:
  void BeforeRemoval() override { calls.push_back("before removal"); }
  void BeforeEnd() override { calls.push_back("before end"); }
  void EndProgram() override { calls.push_back("end program"); }
  std::vector<std::string> calls;
};

class UpgradeTest : public ::testing::Test {
 protected:
  UpgradeTest() {
    platform_.system.SetLocalTime({2026, 12, 9, 10, 0, 0});
    platform_.files.CreateDirectory(kTemp);
  }

  settings::RegistryStore Store() { return settings::RegistryStore(platform_.ports().registry); }
  std::string StoredDate() { return Store().ReadString("Snapgate!", "UpgradeDate"); }
  std::vector<platform::fake::FakeDialogs::MessageBoxShown> Boxes() {
    return platform_.dialogs.MessageBoxes();
  }

  void ServePage(const std::string& version, const std::string& signature = "") {
    platform_.internet.Serve(
        kPage, {.body = "<html>\n<!-- UPGRADE Version -->\n" + version +
                        "\n<!-- UPGRADE Description -->\nFaster.\n<!-- END UPGRADE "
                        "Description -->\n<!-- UPGRADE Download Link -->\n " +
                        std::string(kLink) + " \r\n<!-- UPGRADE Signature -->\n" + signature +
                        "\n</html>\n"});
  }
  // Runs the dialog with OK clicked, as the user checks.
  void CheckNow(UpgradeDialog& upgrade) {
    upgrade.ConfigureUpgrade("Snapgate!", 3.293f, kPage);
    platform_.dialogs.ScriptModal(IDD_UPGRADE, [](platform::fake::FakeDialogHost& dialog) {
      dialog.Click(platform::kIdOk);
      EXPECT_FALSE(dialog.control(platform::kIdOk).enabled);
      EXPECT_EQ(dialog.focused(), platform::kIdCancel);
    });
    upgrade.ShowUpgradeDialog(nullptr);
  }
  void InstallPrograms() {
    platform_.shell.InstallProgram("unins000", [this](const std::string& parameters) {
      steps_.calls.push_back("unins000" + parameters);
    });
    platform_.shell.InstallProgram("NewUpdate", [this](const std::string& parameters) {
      steps_.calls.push_back("setup '" + parameters + "'");
    });
  }
  // Offers the installer under that version with that signature line, and says Yes to it.
  void OfferAndAccept(const std::string& version, const std::string& installer,
                      const std::string& signature) {
    ServePage(version, signature);
    platform_.internet.Serve(kLink, {.body = installer});
    UpgradeDialog upgrade(platform_.ports(), steps_);
    platform_.dialogs.AnswerMessageBox(platform::kIdYes);
    CheckNow(upgrade);
  }

  platform::fake::FakePlatform platform_;
  RecordedSteps steps_;
};

TEST_F(UpgradeTest, TheCheckComesSixteenDaysAfterTheLastAndAnOddDateCountsAsNone) {
  UpgradeDialog upgrade(platform_.ports(), steps_);
  upgrade.ConfigureUpgrade("Snapgate!", 3.293f, kPage);
  EXPECT_FALSE(upgrade.IsUpgradeCheckDue()) << "the first run";
  EXPECT_EQ(StoredDate(), "12 9 2026");

  Store().WriteString("Snapgate!", "UpgradeDate", "11 24 2026");
  EXPECT_FALSE(upgrade.IsUpgradeCheckDue()) << "15 days and 9 hours";
  EXPECT_EQ(StoredDate(), "11 24 2026") << "kept as it was";
  Store().WriteString("Snapgate!", "UpgradeDate", "11 23 2026");
  EXPECT_TRUE(upgrade.IsUpgradeCheckDue());
  EXPECT_EQ(StoredDate(), "12 9 2026");

  for (const char* odd : {"0 0 0", "12", "garbage", "2 30 2026"}) {
    Store().WriteString("Snapgate!", "UpgradeDate", odd);
    EXPECT_FALSE(upgrade.IsUpgradeCheckDue()) << odd;
    EXPECT_EQ(StoredDate(), "12 9 2026") << odd;
  }
  Store().WriteString("Snapgate!", "UpgradeDate", "1 1 2031");
  EXPECT_FALSE(upgrade.IsUpgradeCheckDue()) << "a date in the future";
}

TEST_F(UpgradeTest, TheCurrentVersionIsMostRecentAndDecliningANewerOneStillRecordsTheCheck) {
  Store().WriteString("Snapgate!", "UpgradeDate", "1 1 2020");
  UpgradeDialog upgrade(platform_.ports(), steps_);
  ServePage("3.293");
  CheckNow(upgrade);
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].text, "You have the most recent version v3.29.\nNo upgrade is available.");
  EXPECT_EQ(Boxes()[0].caption, "Snapgate!");
  EXPECT_EQ(StoredDate(), "12 9 2026");

  ServePage("3.30");
  Store().WriteString("Snapgate!", "UpgradeDate", "1 1 2020");
  CheckNow(upgrade);  // the user answers No
  ASSERT_EQ(Boxes().size(), 2u);
  EXPECT_EQ(Boxes()[1].text,
            "A new upgrade of Snapgate! is available for download.\n\nDescription:\n\nFaster.\n"
            "\n\nWould you like to download the upgrade now?");
  EXPECT_EQ(Boxes()[1].caption, "A new upgrade is available.");
  EXPECT_EQ(StoredDate(), "12 9 2026");
  EXPECT_TRUE(platform_.shell.Executions().empty());

  // Neither a page larger than any of ours nor one that cannot be fetched is an offer.
  platform_.internet.Serve(kPage,
                           {.body = "<!-- UPGRADE Version\n3.30\n" + std::string(1 << 20, ' ')});
  UpgradeDialog oversized(platform_.ports(), steps_);
  CheckNow(oversized);
  EXPECT_EQ(Boxes()[2].text.rfind("You have the most recent version", 0), 0u);
  platform_.internet.RefuseSessions();
  UpgradeDialog offline(platform_.ports(), steps_);
  CheckNow(offline);
  EXPECT_EQ(Boxes()[3].text, "Cannot open internet connection.");
  EXPECT_EQ(Boxes().back().text.rfind("You have the most recent version", 0), 0u);
}

TEST_F(UpgradeTest, AUserMayNameAnotherUpgradePage) {
  Store().WriteString("Snapgate!", "UpgradeURL", " http://127.0.0.1:8123/page.html\n");
  UpgradeDialog upgrade(platform_.ports(), steps_);
  CheckNow(upgrade);
  ASSERT_FALSE(platform_.internet.Requests().empty());
  EXPECT_EQ(platform_.internet.Requests()[0].url, "http://127.0.0.1:8123/page.html");
}

TEST_F(UpgradeTest, AWholeSignedInstallerReplacesTheOldVersionAndEndsTheProgram) {
  const std::string installer = sg::testing::Executable();
  InstallPrograms();
  OfferAndAccept("3.30", installer, sg::testing::Sign(platform_, "3.30", installer));

  EXPECT_EQ(steps_.calls, (std::vector<std::string>{"before removal", "unins000 /SILENT",
                                                    "setup ''", "before end"}));
  const auto runs = platform_.shell.Executions();
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[0].request.file, "C:\\Program Files\\Snapgate!\\unins000.exe")
      << "from the program's own folder, not the working folder";
  EXPECT_EQ(runs[1].request.file, kDownload);
  EXPECT_TRUE(runs[0].waited && runs[1].waited);
  EXPECT_EQ(platform_.shell.OpenProcessHandleCount(), 0u);
  EXPECT_FALSE(platform_.files.Exists(kDownloadFolder)) << "the download and its folder";
  EXPECT_EQ(platform_.system.ExitCode(), 0);
}

TEST_F(UpgradeTest, AnInstallerThatIsNotWholeOrNotOursOrNotOfThatVersionChangesNothing) {
  const std::string installer = sg::testing::Executable();
  const std::string signature = sg::testing::Sign(platform_, "3.30", installer);
  // A release before it, as the maker signed it then, replayed by someone on the network.
  const std::string older = sg::testing::Executable(0x90);
  const std::string older_signature = sg::testing::Sign(platform_, "3.30", older);
  InstallPrograms();
  // Signed, and still too large to be believed.
  std::string oversized;
  while (oversized.size() <= (64 << 20)) oversized += installer;
  oversized.resize((64 << 20) + 1);
  struct Case {
    const char* what;
    platform::fake::FakeInternet::Answer download;
    std::string signature;
    const char* version = "3.30";
  };
  const Case cases[] = {
      {"cut short by the network", {.body = installer, .breaks_after = 3000}, signature},
      {"unsigned", {.body = installer}, ""},
      {"someone else's file", {.body = installer + "x"}, signature},
      {"a web page", {.body = "<HTML>gone</HTML>"}, signature},
      {"left waiting by a silent server", {.body = installer, .stalls_after = 3000}, signature},
      {"larger than any setup program",
       {.body = installer, .size = oversized.size()},
       sg::testing::Sign(platform_, "3.30", oversized)},
      {"announced as larger",
       {.headers = {"Content-Length: 67108865"}, .body = installer},
       signature},
      {"an older release under a higher version", {.body = older}, older_signature, "99"},
      {"the setup program signed, its version not",
       {.body = installer},
       sg::testing::SignDigest(platform_, platform::fake::Sha256Of(installer))},
      {"signed as 3.30, offered as 3.3", {.body = installer}, signature, "3.3"},
  };
  for (const Case& test : cases) {
    ServePage(test.version, test.signature);
    platform_.internet.Serve(kLink, test.download);
    UpgradeDialog upgrade(platform_.ports(), steps_);
    platform_.dialogs.AnswerMessageBox(platform::kIdYes);
    CheckNow(upgrade);
    EXPECT_EQ(Boxes().back().text, kDownloadFailure) << test.what;
    EXPECT_EQ(Boxes().back().style, platform::kMbIconInformation);
    EXPECT_FALSE(platform_.files.Exists(kDownloadFolder)) << test.what;
  }
  for (const auto& request : platform_.internet.Requests()) {
    EXPECT_EQ(request.timeouts, (platform::InternetTimeouts{30'000, 30'000, 30'000}))
        << request.url;
    EXPECT_FALSE(request.hung) << request.url;
  }
  EXPECT_TRUE(steps_.calls.empty()) << "nothing stepped aside, nothing uninstalled";
  EXPECT_TRUE(platform_.shell.Executions().empty());
  EXPECT_FALSE(platform_.system.ExitCode());
  EXPECT_TRUE(platform_.hooks.Calls().empty()) << "the hook library goes on";
}

TEST_F(UpgradeTest, CancelInTheStatusWindowStopsTheCheckOrTheDownloadAndChangesNothing) {
  const std::string installer = sg::testing::Executable();
  ServePage("3.30", sg::testing::Sign(platform_, "3.30", installer));
  platform_.internet.Serve(kLink, {.body = installer, .size = 1 << 20});
  // Escape or the close box, once so much of the address's body has come.
  std::pair<std::string, std::size_t> cancel_at{kPage, 1};
  platform_.internet.OnRead([this, &cancel_at](const std::string& url, std::size_t read) {
    if (url == cancel_at.first && read >= cancel_at.second) {
      platform_.dialogs.Modeless(IDD_UPGRADE_STATUS)->Click(platform::kIdCancel);
    }
  });
  UpgradeDialog upgrade(platform_.ports(), steps_);
  upgrade.ConfigureUpgrade("Snapgate!", 3.293f, kPage);
  platform_.dialogs.ScriptModal(IDD_UPGRADE, [](platform::fake::FakeDialogHost& dialog) {
    dialog.Click(platform::kIdOk);
    EXPECT_TRUE(dialog.control(platform::kIdOk).enabled) << "to check again";
  });
  upgrade.ShowUpgradeDialog(nullptr);
  EXPECT_TRUE(Boxes().empty());

  cancel_at = {kLink, 8 * 1024};
  platform_.dialogs.AnswerMessageBox(platform::kIdYes);
  CheckNow(upgrade);
  EXPECT_EQ(platform_.internet.Requests().back().reads.size(), 8u) << "stopped at once";
  EXPECT_EQ(Boxes().size(), 1u) << "the offer only: the user knows that the download stopped";
  EXPECT_FALSE(platform_.files.Exists(kDownloadFolder)) << "nor the part of a file";
  EXPECT_EQ(platform_.internet.OpenHandles(), 0u);
  EXPECT_TRUE(steps_.calls.empty());
  EXPECT_TRUE(platform_.hooks.Calls().empty()) << "the installed version goes on";
}

TEST_F(UpgradeTest, TheCheckedSetupProgramIsHeldUnchangedUntilItHasRun) {
  const std::string installer = sg::testing::Executable();
  std::vector<std::string> attempts;
  std::string ran;
  platform_.shell.InstallProgram("unins000", [&](const std::string&) {
    // Meanwhile another program of the user's tries to put something else in its place.
    platform::FilePort& files = platform_.ports().files;
    platform_.files.PutFile(std::string(kTemp) + "\\other.exe", "MZ other");
    if (files.Open(kDownload, platform::FileOpenMode::kCreateWriteOnly))
      attempts.push_back("write");
    if (files.Delete(kDownload)) attempts.push_back("delete");
    if (files.Move(kDownload, std::string(kTemp) + "\\moved.exe")) attempts.push_back("move");
    if (files.ReplaceFile(std::string(kTemp) + "\\other.exe", kDownload)) {
      attempts.push_back("replace");
    }
  });
  platform_.shell.InstallProgram("NewUpdate", [&](const std::string&) {
    ran = platform_.files.FileContent(kDownload).value_or("<nothing>");
  });
  OfferAndAccept("3.30", installer, sg::testing::Sign(platform_, "3.30", installer));
  EXPECT_EQ(attempts, std::vector<std::string>{}) << "all of them failed";
  EXPECT_TRUE(ran == installer) << "the checked bytes ran";
  EXPECT_FALSE(platform_.files.Exists(kDownloadFolder));
  EXPECT_EQ(platform_.system.ExitCode(), 0);
}

TEST_F(UpgradeTest, TheDownloadGoesToAFolderMadeAfreshAndGoesWithIt) {
  // Names taken before: a folder holding a setup program of someone else's, and a file.
  const std::string planted = std::string(kDownloadFolder) + "\\NewUpdate.exe";
  platform_.files.PutFile(planted, "MZ planted");
  platform_.files.PutFile(std::string(kTemp) + "\\sgu2", "a file");
  const std::string fresh = std::string(kTemp) + "\\sgu3";
  const std::string installer = sg::testing::Executable();
  const std::string signature = sg::testing::Sign(platform_, "3.30", installer);
  InstallPrograms();

  // Without a temporary folder there is nowhere to download to.
  platform_.system.SetTemporaryFolder("");
  OfferAndAccept("3.30", installer, signature);
  EXPECT_EQ(Boxes().back().text, kDownloadFailure);
  EXPECT_EQ(platform_.internet.Requests().size(), 1u) << "the page only";
  platform_.system.SetTemporaryFolder(kTemp);

  OfferAndAccept("3.30", installer + "x", signature);
  EXPECT_EQ(Boxes().back().text, kDownloadFailure);
  EXPECT_FALSE(platform_.files.Exists(fresh)) << "a refused download takes its folder along";

  OfferAndAccept("3.30", installer, signature);
  ASSERT_EQ(platform_.shell.Executions().size(), 2u);
  EXPECT_EQ(platform_.shell.Executions()[1].request.file, fresh + "\\NewUpdate.exe");
  EXPECT_FALSE(platform_.files.Exists(fresh));
  EXPECT_EQ(platform_.files.FileContent(planted), "MZ planted");
  EXPECT_EQ(platform_.files.FileContent(std::string(kTemp) + "\\sgu2"), "a file");
}

}  // namespace
}  // namespace sg::online
