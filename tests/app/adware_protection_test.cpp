// The adware protection pass and the plug-in cleaner as the main dialog runs them.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/app_fixture.h"
#include "tools/flash_blocker.h"
#include "tools/plugin_cleaner.h"

namespace sg::app {
namespace {

using platform::RegistryRoot;

constexpr std::uint32_t kSeventeenMinutes = 1020000;
const std::string kPluginDll = "C:\\Ads\\bar.dll";
const std::string kDisabledDll = "C:\\Ads\\disabled_bar.dll";

class AdwareProtectionTest : public AppTest {
 protected:
  std::uint32_t StartSpyware() { return system_.processes.Start({.path = "C:\\Ads\\msbb.exe"}); }
  void InstallHarmfulPlugin() {
    system_.registry.PutString(RegistryRoot::kLocalMachine,
                               std::string(tools::kBrowserHelperObjectsKey) + "\\{AD}", "", "");
    system_.registry.PutString(RegistryRoot::kClassesRoot, "CLSID\\{AD}", "", "Ad Bar");
    system_.registry.PutString(RegistryRoot::kClassesRoot, "CLSID\\{AD}\\InprocServer32", "",
                               kPluginDll);
    system_.files.PutFile(kPluginDll, "MZ");
  }
  bool PluginEnabled() { return system_.files.FileContent(kPluginDll).has_value(); }
  std::vector<std::string> Blocked() { return MainWindow().control(IDC_BLOCKED_LIST).items; }
  bool Running(std::uint32_t id) { return system_.processes.IsRunning(id); }
};

TEST_F(AdwareProtectionTest, ThePassRunsAtStartAndEverySeventeenMinutesWhileBlocking) {
  const std::uint32_t early = StartSpyware();
  InstallHarmfulPlugin();
  Start();
  EXPECT_FALSE(Running(early));
  EXPECT_EQ(Blocked(),
            (std::vector<std::string>{"Spyware detected and killed: msbb.exe",
                                      "Harmful web browser plug-in was disabled: Ad Bar"}));
  EXPECT_FALSE(PluginEnabled());
  EXPECT_EQ(Stored("bEnablePluginCleaner"), "1");

  const std::uint32_t later = StartSpyware();
  system_.desktop.PressKey(17);
  system_.dialogs.AdvanceTime(kSeventeenMinutes);
  EXPECT_TRUE(Running(later)) << "the hold-down key skips the pass";
  system_.desktop.ReleaseKey(17);
  system_.dialogs.AdvanceTime(kSeventeenMinutes);
  EXPECT_FALSE(Running(later));

  // Blocking off gives the plug-ins back; on again takes the harmful ones away.
  MainWindow().events().OnCommand(IDM_ENABLED, 0);
  EXPECT_TRUE(PluginEnabled());
  const std::uint32_t while_off = StartSpyware();
  system_.dialogs.AdvanceTime(kSeventeenMinutes);
  EXPECT_TRUE(Running(while_off)) << "no pass while blocking is off";
  MainWindow().events().OnCommand(IDM_ENABLED, 0);
  EXPECT_FALSE(PluginEnabled());

  // Leaving the program restores what the cleaner changed.
  system_.dialogs.AnswerMessageBox(platform::kIdYes);
  MainWindow().events().OnCommand(IDM_EXIT, 0);
  EXPECT_EQ(system_.system.ExitCode(), 0);
  EXPECT_TRUE(PluginEnabled());
  EXPECT_FALSE(system_.files.FileContent(kDisabledDll).has_value());
}

TEST_F(AdwareProtectionTest, SwitchingProtectionOnRunsAPassAndTheCleanerSettingIsHonoured) {
  Store("m_MaxBrowserBlock", "0");
  Store("bEnablePluginCleaner", "0");
  const std::uint32_t spyware = StartSpyware();
  InstallHarmfulPlugin();
  Start();
  EXPECT_TRUE(Running(spyware)) << "protection off: no pass at start";
  system_.dialogs.AdvanceTime(kSeventeenMinutes);
  EXPECT_TRUE(Running(spyware)) << "nor every seventeen minutes";

  MainWindow().Click(IDC_ADWARE_PROTECTION);
  EXPECT_FALSE(Running(spyware));
  EXPECT_TRUE(PluginEnabled()) << "the cleaner is switched off";
  EXPECT_EQ(Stored("bEnablePluginCleaner"), "0");

  // The exit gives back what another run disabled, whatever the setting says.
  system_.files.Delete(kPluginDll);
  system_.files.PutFile(kDisabledDll, "MZ");
  system_.dialogs.AnswerMessageBox(platform::kIdYes);
  MainWindow().events().OnCommand(IDM_EXIT, 0);
  EXPECT_TRUE(PluginEnabled());
}

TEST_F(AdwareProtectionTest, ThePlugInsButtonShowsTheCleanerModally) {
  InstallHarmfulPlugin();
  Store("m_MaxBrowserBlock", "0");
  Start();
  int rows = -1;
  system_.dialogs.ScriptModal(IDD_PLUGIN_CLEANER, [&](platform::fake::FakeDialogHost& cleaner) {
    rows = cleaner.ListViewCount(IDC_PLUGIN_LIST);
    cleaner.Click(IDC_DIALOG_OK);
  });
  MainWindow().Click(IDC_PLUGINS);
  EXPECT_EQ(system_.dialogs.ModalRuns().back(), IDD_PLUGIN_CLEANER);
  EXPECT_EQ(rows, 1);
}

// The Flash block follows the option, the "Enabled" switch and the program's end; the browser
// repair runs at start; the cookie cutter opens from its button.
TEST_F(AdwareProtectionTest, TheOtherToolsAreWiredWhereTheUserExpectsThem) {
  const std::string kill_bit_key = "Software\\" + std::string(tools::kFlashCompatibilitySection);
  auto kill_bit = [&] {
    const auto value = system_.registry.Get(RegistryRoot::kLocalMachine, kill_bit_key,
                                            std::string(tools::kCompatibilityFlagsValue));
    return value && value->data.size() == 4 ? value->data[1] << 8 | value->data[0] : -1;
  };
  const std::string prefixes = "Software\\Microsoft\\Windows\\CurrentVersion\\URL\\Prefixes";
  system_.registry.PutString(RegistryRoot::kLocalMachine, prefixes, "www", "http://evil.example/");
  Store("m_bBlockFlash", "1");
  Start();
  EXPECT_EQ(kill_bit(), 1024) << "blocked at start";
  EXPECT_EQ(system_.registry.GetString(RegistryRoot::kLocalMachine, prefixes, "www"), "http://");

  MainWindow().events().OnCommand(IDM_ENABLED, 0);
  EXPECT_EQ(kill_bit(), 0) << "blocking off lets Flash play";
  MainWindow().events().OnCommand(IDM_ENABLED, 0);
  EXPECT_EQ(kill_bit(), 1024);

  system_.SetLimitedUser(true);
  MainWindow().Click(IDC_BLOCK_FLASH);  // off, refused
  EXPECT_FALSE(MainWindow().IsChecked(IDC_BLOCK_FLASH));
  EXPECT_EQ(Stored("m_bBlockFlash"), "0");
  system_.SetLimitedUser(false);
  MainWindow().Click(IDC_BLOCK_FLASH);
  EXPECT_TRUE(MainWindow().IsChecked(IDC_BLOCK_FLASH));
  EXPECT_EQ(system_.dialogs.MessageBoxes().back().text, tools::kFlashDisabledMessage);

  MainWindow().Click(IDC_COOKIES);
  EXPECT_EQ(system_.dialogs.ModalRuns().back(), IDD_COOKIE_CUTTER);

  system_.dialogs.AnswerMessageBox(platform::kIdYes);
  MainWindow().events().OnCommand(IDM_EXIT, 0);
  EXPECT_EQ(kill_bit(), 0) << "the end of the program lifts the block";
}

TEST_F(AdwareProtectionTest, HelpOpensTheHelpWindowAndPopupTestTheShippedPage) {
  Store("m_MaxBrowserBlock", "0");
  Start();
  MainWindow().Click(IDC_ONLINE_HELP);
  MainWindow().events().OnCommand(IDM_HELP, 0);
  const auto runs = system_.dialogs.ModalRuns();
  EXPECT_EQ(std::count(runs.begin(), runs.end(), IDD_HELP), 2);

  MainWindow().Click(IDC_POPUP_TEST);
  ASSERT_FALSE(system_.shell.Executions().empty());
  EXPECT_EQ(system_.shell.Executions().back().request.file,
            "C:\\Program Files\\Snapgate!\\popuptest.html");
}

}  // namespace
}  // namespace sg::app
