#include "tools/plugin_cleaner.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "common/web_addresses.h"
#include "platform/fake/fake_platform.h"
#include "resources/resource_ids.h"
#include "tools/plugin_cleaner_dialog.h"

namespace sg::tools {
namespace {

using platform::RegistryRoot;
using platform::fake::FakeDialogHost;
using Strings = std::vector<std::string>;

const std::string kSafeFile = "C:\\Program Files\\Snapgate!\\safebho.txt";

class PluginCleanerTest : public ::testing::Test {
 protected:
  // A plug-in as its installer leaves it: listed for the browser, its class registered.
  void Register(const std::string& class_id, const std::string& name, const std::string& dll) {
    system_.registry.PutString(RegistryRoot::kLocalMachine,
                               std::string(kBrowserHelperObjectsKey) + "\\" + class_id, "", "");
    system_.registry.PutString(RegistryRoot::kClassesRoot, "CLSID\\" + class_id, "", name);
    system_.registry.PutString(RegistryRoot::kClassesRoot,
                               "CLSID\\" + class_id + "\\InprocServer32", "", dll);
  }
  void Install(const std::string& class_id, const std::string& name, const std::string& dll) {
    Register(class_id, name, dll);
    system_.files.PutFile(dll, "MZ " + name);
  }
  bool Present(const std::string& path) { return system_.files.FileContent(path).has_value(); }
  std::string SafeFile() { return system_.files.FileContent(kSafeFile).value_or("<none>"); }
  Strings Shown(const PluginCleaner& cleaner) {
    Strings shown;
    for (const PluginRow& row : cleaner.rows()) {
      shown.push_back((row.enabled ? "Yes " : "No ") + row.name + " | " + row.path);
    }
    return shown;
  }
  std::size_t Boxes() { return system_.dialogs.MessageBoxes().size(); }

  platform::fake::FakePlatform system_;
  PluginCleaner cleaner_{system_.ports(), nullptr};
};

TEST(DisabledFileNameTest, PrefixGoesBeforeTheFileNamePart) {
  EXPECT_EQ(DisabledFileName("C:\\Ads\\bar.dll"), "C:\\Ads\\disabled_bar.dll");
  EXPECT_EQ(DisabledFileName("C:/Ads/bar.dll"), "C:/Ads/disabled_bar.dll");
  EXPECT_EQ(DisabledFileName("C:\\a/b\\bar.dll"), "C:\\a/b\\disabled_bar.dll");
  EXPECT_EQ(DisabledFileName("C:\\a\\b/bar.dll"), "C:\\a\\b/disabled_bar.dll") << "found by fuzzing";
  EXPECT_EQ(DisabledFileName("bar.dll"), "disabled_bar.dll");
  EXPECT_EQ(DisabledFileName("\\bar.dll"), "disabled_\\bar.dll");
  EXPECT_EQ(DisabledFileName(""), "disabled_");
}

TEST_F(PluginCleanerTest, RowsComeInReverseOrderWithStateAndShownName) {
  Install("{00000001-0000-0000-0000-000000000000}", "First Helper", "C:\\Ads\\first.dll");
  Register("{00000002-0000-0000-0000-000000000000}", "", "C:\\Ads\\second.dll");
  system_.files.PutFile("C:\\Ads\\disabled_second.dll", "MZ");
  Register("{00000003-0000-0000-0000-000000000000}", "Gone", "C:\\Ads\\gone.dll");
  Register("not a class id", "", "");  // no class registered: no files, no row
  Install("{00000004-0000-0000-0000-000000000000}", "", "bare.dll");  // beside the program
  Install("{00000005-0000-0000-0000-000000000000}", "Long", "C:\\" + std::string(1000, 'p'));

  cleaner_.RefreshPluginList();
  EXPECT_EQ(Shown(cleaner_),
            (Strings{"Yes Unnamed | bare.dll", "No second.dll | C:\\Ads\\second.dll",
                     "Yes First Helper | C:\\Ads\\first.dll"}))
      << "a path too long for the registry read is no path";
}

TEST_F(PluginCleanerTest, AtMost101RegistrationsAreRead) {
  for (int i = 0; i < 120; ++i) {
    Install("{1" + std::to_string(1000 + i) + "}", "Many " + std::to_string(i),
            "C:\\Many\\m" + std::to_string(i) + ".dll");
  }
  cleaner_.RefreshPluginList();
  EXPECT_EQ(cleaner_.rows().size(), 101u) << "at most 101 registrations are read";
}

TEST_F(PluginCleanerTest, SafeRulesBuiltInAndFromTheUsersFile) {
  EXPECT_TRUE(cleaner_.IsSafePlugin("My GOOGLE TOOLBAR Helper", "C:\\x\\g.dll"));
  EXPECT_TRUE(cleaner_.IsSafePlugin("Reader", "C:\\Program Files\\aDoBe\\r.dll"));
  EXPECT_FALSE(cleaner_.IsSafePlugin("Foo", "C:\\p\\foo.dll")) << "no file: harmful";

  using namespace std::string_literals;
  system_.files.PutFile(kSafeFile, "exe: Foo.DLL\r\nname: acme\nname: \n"s +
                                       std::string(5000, 'z') + "\nexe: nul.dll\0tail\nex\n"s);
  EXPECT_TRUE(cleaner_.IsSafePlugin("Foo", "C:\\p\\foo.dll"));
  EXPECT_FALSE(cleaner_.IsSafePlugin("Foo", "C:\\p\\foobar.dll")) << "whole file names only";
  EXPECT_FALSE(cleaner_.IsSafePlugin("Foo", "C:\\foo.dll\\other.dll"));
  EXPECT_TRUE(cleaner_.IsSafePlugin("The ACME bar", "C:\\p\\x.dll"));
  EXPECT_TRUE(cleaner_.IsSafePlugin("N", "C:\\p\\nul.dll")) << "a line ends at a NUL";
  EXPECT_FALSE(cleaner_.IsSafePlugin("Evil", "C:\\p\\evil.dll")) << "an empty rule names nothing";
}

TEST_F(PluginCleanerTest, SilentDisablingRenamesTheHarmfulOnesAndNeverAsks) {
  Install("{A}", "Harmful", "C:\\Ads\\harm.dll");
  Install("{B}", "Google Toolbar", "C:\\Tools\\gtb.dll");
  Install("{C}", "Stale", "C:\\Ads\\stale.dll");
  system_.files.PutFile("C:\\Ads\\disabled_stale.dll", "old copy");
  Install("{D}", "A .NET plug-in", "C:\\WINDOWS\\System32\\mscoree.dll");
  Install("{E}", "Loaded", "C:\\Ads\\loaded.dll");
  auto held_by_browser =
      system_.files.Open("C:\\Ads\\loaded.dll", platform::FileOpenMode::kReadOnly);

  cleaner_.RefreshPluginList();
  EXPECT_EQ(cleaner_.DisableHarmfulPlugins(true),
            (Strings{std::string(kPluginDisabledLine) + "Stale",
                     std::string(kPluginDisabledLine) + "Harmful"}));
  EXPECT_EQ(Boxes(), 0u);
  EXPECT_TRUE(cleaner_.rename_failed());
  EXPECT_FALSE(Present("C:\\Ads\\harm.dll"));
  EXPECT_TRUE(Present("C:\\Ads\\disabled_harm.dll"));
  EXPECT_EQ(system_.files.FileContent("C:\\Ads\\disabled_stale.dll"), "MZ Stale");
  EXPECT_TRUE(Present("C:\\Tools\\gtb.dll"));
  EXPECT_TRUE(Present("C:\\WINDOWS\\System32\\mscoree.dll")) << "Windows' own DLL stays";
  EXPECT_TRUE(Present("C:\\Ads\\loaded.dll"));

  cleaner_.RefreshPluginList();
  EXPECT_TRUE(cleaner_.DisableHarmfulPlugins(false).empty()) << "disabled rows are left alone";
  ASSERT_EQ(Boxes(), 1u);
  EXPECT_EQ(system_.dialogs.MessageBoxes()[0].text,
            "Error disabling the plug-in Loaded.\nPlease close all Internet Explorer web browsers "
            "and try disabling the plug-in again.");
  EXPECT_EQ(system_.dialogs.MessageBoxes()[0].caption, "Internet Explorer Plug-in Cleaner");

  held_by_browser.reset();
  EnableAllPluginsSilently(system_.ports());
  for (const char* dll : {"harm.dll", "stale.dll", "loaded.dll"}) {
    EXPECT_TRUE(Present(std::string("C:\\Ads\\") + dll)) << dll;
  }
  EXPECT_EQ(SafeFile(), "<none>") << "a silent pass records nothing as safe";
}

TEST_F(PluginCleanerTest, APluginRegisteredWithAForwardSlashBeforeItsFileIsDisabledAllTheSame) {
  // Found by fuzzing: the disabled name was made in the folder above, which does not exist.
  Install("{F}", "Slashed", "C:\\Program Files\\Helpers\\b/ads.dll");
  EXPECT_EQ(DisableHarmfulPluginsSilently(system_.ports()),
            Strings{std::string(kPluginDisabledLine) + "Slashed"});
  EXPECT_FALSE(Present("C:\\Program Files\\Helpers\\b\\ads.dll"));
  EXPECT_TRUE(Present("C:\\Program Files\\Helpers\\b\\disabled_ads.dll"));

  EnableAllPluginsSilently(system_.ports());
  EXPECT_TRUE(Present("C:\\Program Files\\Helpers\\b/ads.dll"));
}

TEST_F(PluginCleanerTest, TheAdwareCompanionProgramGoesAndComesBackWithItsPlugin) {
  Install("{C}", "Babe", "C:\\Program Files\\CN\\CNBABE.DLL");
  system_.files.PutFile("C:\\Program Files\\CN\\winnet.exe", "MZ");
  const std::uint32_t companion =
      system_.processes.Start({.path = "C:\\Program Files\\CN\\WinNet.exe"});

  EXPECT_EQ(DisableHarmfulPluginsSilently(system_.ports()).size(), 1u);
  EXPECT_TRUE(Present("C:\\Program Files\\CN\\winnet.exe_disabled"));
  EXPECT_FALSE(system_.processes.IsRunning(companion));

  EnableAllPluginsSilently(system_.ports());
  EXPECT_TRUE(Present("C:\\Program Files\\CN\\CNBABE.DLL"));
  EXPECT_TRUE(Present("C:\\Program Files\\CN\\winnet.exe"));
}

// The dialog, as a user works it.
class PluginCleanerDialogTest : public PluginCleanerTest {
 protected:
  void Work(std::function<void(FakeDialogHost&)> script) {
    system_.dialogs.ScriptModal(IDD_PLUGIN_CLEANER, std::move(script));
    PluginCleanerDialog dialog(system_.ports());
    system_.dialogs.RunModal(IDD_PLUGIN_CLEANER, dialog, nullptr);
  }
  static Strings Rows(FakeDialogHost& dialog) {
    Strings rows;
    for (int i = 0; i < dialog.ListViewCount(IDC_PLUGIN_LIST); ++i) {
      rows.push_back(dialog.ListViewText(IDC_PLUGIN_LIST, i, 0) + " " +
                     std::to_string(dialog.ListViewImage(IDC_PLUGIN_LIST, i)) + " " +
                     dialog.ListViewText(IDC_PLUGIN_LIST, i, 1));
    }
    return rows;
  }
  std::string LastBox() { return system_.dialogs.MessageBoxes().back().text; }
};

TEST_F(PluginCleanerDialogTest, ListsTogglesAndKeepsTheSafeFileInStep) {
  Install("{A}", "Alpha", "C:\\Ads\\a.dll");
  Install("{B}", "Beta", "C:\\Ads\\b.dll");
  Install("{D}", "A .NET plug-in", "C:\\Windows\\system32\\MSCOREE.DLL");
  system_.files.PutFile(kSafeFile, "exe: ba.dll\nexe: A.DLL\nEXE: a.dll\n");

  Work([&](FakeDialogHost& dialog) {
    const auto& list = dialog.control(IDC_PLUGIN_LIST);
    ASSERT_EQ(list.columns.size(), 3u);
    EXPECT_EQ(list.columns[2].header, "Executable Path");
    EXPECT_EQ(list.columns[1].width, 165);
    EXPECT_TRUE(list.full_row_select);
    EXPECT_EQ(list.image_bitmap, IDB_PLUGIN_STATES);
    EXPECT_EQ(Rows(dialog), (Strings{"Yes 0 A .NET plug-in", "Yes 0 Beta", "Yes 0 Alpha"}));

    dialog.Click(IDC_PLUGIN_TOGGLE);
    EXPECT_EQ(LastBox(), "Please select an Internet Explorer plug-in to toggle on or off.");

    dialog.SelectListViewRows(IDC_PLUGIN_LIST, {2});
    dialog.Click(IDC_PLUGIN_TOGGLE);
    EXPECT_EQ(Rows(dialog)[2], "No 1 Alpha");
    EXPECT_EQ(SafeFile(), "exe: ba.dll\r\n") << "only the lines that make a.dll safe go";
    EXPECT_EQ(LastBox(),
              "Internet Explorer Plug-in has been toggled.\nPlease close any Internet Explorer "
              "Web Browsers and open a new one for changes to take effect.");

    dialog.DoubleClickListView(IDC_PLUGIN_LIST, 2);
    EXPECT_EQ(Rows(dialog)[2], "Yes 0 Alpha");
    EXPECT_EQ(SafeFile(), "exe: ba.dll\r\nexe: a.dll\r\n");

    const std::size_t before = Boxes();
    dialog.DoubleClickListView(IDC_PLUGIN_LIST, 0);
    EXPECT_TRUE(Present("C:\\Windows\\system32\\MSCOREE.DLL"));
    EXPECT_EQ(Boxes(), before + 1) << "an explanation, and no word of a toggle";
    EXPECT_NE(LastBox().find("part of Windows"), std::string::npos) << LastBox();

    dialog.Click(IDC_PLUGIN_HELP);
    dialog.Click(IDC_DIALOG_OK);
  });
  ASSERT_FALSE(system_.shell.Executions().empty());
  EXPECT_EQ(system_.shell.Executions().back().request.file,
            std::string(kOnlineHelpPage) + "#plugins");
}

TEST_F(PluginCleanerDialogTest, DisableAllAndEnableAllReportOnlyWhatSucceeded) {
  Install("{A}", "Alpha", "C:\\Ads\\a.dll");
  Install("{B}", "Beta", "C:\\Ads\\b.dll");
  Work([&](FakeDialogHost& dialog) {
    auto loaded = system_.files.Open("C:\\Ads\\b.dll", platform::FileOpenMode::kReadOnly);
    dialog.Click(IDC_PLUGIN_DISABLE_ALL);
    EXPECT_EQ(Rows(dialog), (Strings{"Yes 0 Beta", "No 1 Alpha"}));
    EXPECT_TRUE(LastBox().starts_with("Error disabling the plug-in Beta.")) << "not a success";

    loaded.reset();
    dialog.Click(IDC_PLUGIN_DISABLE_ALL);
    EXPECT_TRUE(LastBox().starts_with(
        "All Internet Explorer Plug-ins which are considered harmful have been disabled.\n"));

    dialog.Click(IDC_PLUGIN_ENABLE_ALL);
    EXPECT_EQ(Rows(dialog), (Strings{"Yes 0 Beta", "Yes 0 Alpha"}));
    EXPECT_TRUE(LastBox().starts_with("All Internet Explorer Plug-ins have been enabled.\n"));
    dialog.Click(IDC_PLUGIN_ENABLE_ALL);
    EXPECT_EQ(SafeFile(), "exe: b.dll\r\nexe: a.dll\r\n") << "each plug-in once";

    dialog.Click(IDC_PLUGIN_DISABLE_ALL);
    EXPECT_EQ(Rows(dialog), (Strings{"Yes 0 Beta", "Yes 0 Alpha"})) << "now both are safe";
  });
}

}  // namespace
}  // namespace sg::tools
