// Where the user's files live: beside a copy the user can write, else in the data folder.
#include "app/user_files_folder.h"
#include "app_fixture.h"
#include "tools/allowed_programs.h"
#include "tools/plugin_cleaner.h"

namespace sg::app {
namespace {

using platform::RegistryRoot;
using Files = std::map<std::string, std::string>;

const std::string kProgramFolder = "C:\\Program Files\\Snapgate!";
const std::string kDataFolder = "C:\\Users\\User\\AppData\\Roaming\\Snapgate!";

class UserFilesTest : public AppTest {
 protected:
  UserFilesTest() {
    system_.files.PutFile(kProgramFolder + "\\filters.txt", "Casino*\r\n");
    system_.files.PutFile(kProgramFolder + "\\safebho.txt", "exe: kept.dll\r\n");
  }
  Files In(const std::string& folder) {
    Files found;
    for (const std::string& name : system_.files.FilesIn(folder)) {
      found[name] = *system_.files.FileContent(folder + "\\" + name);
    }
    return found;
  }
  // Through the program: a block-list entry from the tray, an allowed program, and a disabled
  // plug-in enabled again in the cleaner, which makes it safe.
  void ChangeTheLists() {
    system_.dialogs.ScriptModal(IDD_ADD_BLOCK_ENTRY, [](platform::fake::FakeDialogHost& entry) {
      entry.Type(IDC_BLOCK_ENTRY, "Lottery*");
      entry.Click(IDC_DIALOG_OK);
    });
    MainWindow().events().OnCommand(IDM_ADD_BLOCK_ENTRY, 0);
    tools::AllowedPrograms::Add(system_.ports(), "C:\\Tools\\helper.exe");
    const std::string plugin = "\\{00000001-0000-0000-0000-000000000000}";
    system_.registry.PutString(RegistryRoot::kLocalMachine,
                               std::string(tools::kBrowserHelperObjectsKey) + plugin, "", "");
    system_.registry.PutString(RegistryRoot::kClassesRoot, "CLSID" + plugin + "\\InprocServer32",
                               "", "C:\\Ads\\bar.dll");
    system_.files.PutFile("C:\\Ads\\disabled_bar.dll", "MZ");
    tools::PluginCleaner cleaner(system_.ports(), nullptr);
    cleaner.RefreshPluginList();
    cleaner.TogglePlugins({0});
  }
  const Files kChanged = {{"filters.txt", "Casino*\r\nLottery*\r\n"},
                          {"safebho.txt", "exe: kept.dll\r\nexe: bar.dll\r\n"},
                          {"allowed.txt", "C:\\Tools\\helper.exe\r\n"}};
};

TEST_F(UserFilesTest, AProtectedProgramFolderHandsItsListsToTheDataFolderOnceAndStaysUnwritten) {
  system_.files.ProtectFolder(kProgramFolder);
  const Files installed = In(kProgramFolder);
  Start();
  EXPECT_EQ(system_.system.CurrentDirectory(), kDataFolder);
  EXPECT_EQ(RegeditRuns(), 1) << "the adware preset, through work files in the data folder";
  ChangeTheLists();
  EXPECT_EQ(In(kDataFolder), kChanged);
  EXPECT_EQ(In(kProgramFolder), installed);

  // The next start finds the user's lists; newer ones beside the program are not copied.
  system_.files.PutFile(kProgramFolder + "\\whitelist.txt", "example.org\r\n");
  app_.reset();
  Start();
  EXPECT_EQ(app_->main_dialog()->block_list().Entries().Count(), 2);
  EXPECT_EQ(In(kDataFolder), kChanged);
}

TEST_F(UserFilesTest, TheInstalledFolderUsesTheDataFolderEvenWhenItCanBeWritten) {
  EXPECT_EQ(
      ChooseUserFilesPlace(system_.files, kProgramFolder, "C:\\Apps\\..\\Program Files\\Snapgate!"),
      UserFilesPlace::kBesideProgram)
      << "only a plain full path is compared";
  system_.registry.PutString(RegistryRoot::kLocalMachine, kUninstallKey, kInstallLocationValue,
                             "c:/program files/SNAPGATE!\\");
  const Files installed = In(kProgramFolder);
  Start();
  ChangeTheLists();
  EXPECT_EQ(In(kDataFolder), kChanged);
  EXPECT_EQ(In(kProgramFolder), installed);
}

TEST_F(UserFilesTest, ACopyInAWritableFolderKeepsItsFilesBesideItself) {
  // Not text: no installation that the setup program recorded.
  system_.registry.Put(RegistryRoot::kLocalMachine, kUninstallKey, kInstallLocationValue,
                       {platform::RegistryType::kBinary, {'C', ':', '\\'}});
  Start();
  ChangeTheLists();
  Files beside = kChanged;
  beside.erase("allowed.txt");
  EXPECT_EQ(In(kProgramFolder), beside);
  EXPECT_EQ(In(kDataFolder), (Files{{"allowed.txt", kChanged.at("allowed.txt")}}))
      << "a program folder that others may write never holds what the user allows";
}

TEST_F(UserFilesTest, WithoutADataFolderTheListsAreReadBesideTheProgramAndSavesFail) {
  system_.files.ProtectFolder(kProgramFolder);
  system_.profile.SetApplicationDataFolder("");
  const Files installed = In(kProgramFolder);
  Start();
  EXPECT_EQ(app_->main_dialog()->block_list().Entries().At(0), "Casino*");
  ChangeTheLists();
  EXPECT_EQ(In(kProgramFolder), installed);
}

}  // namespace
}  // namespace sg::app
