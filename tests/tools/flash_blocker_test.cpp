#include "tools/flash_blocker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/fake/fake_platform.h"
#include "settings/registry_store.h"

namespace sg::tools {
namespace {

using platform::fake::FakeFileSystem;
using Strings = std::vector<std::string>;

const std::string kNetscape = "C:\\Program Files\\Netscape";
const std::string kPlugins = kNetscape + "\\Netscape 7\\Plugins";
const std::string kPlugin = kPlugins + "\\NPSWF32.dll";
const std::string kParkedPlugin = kPlugins + "\\flash_disabled\\NPSWF32.dll";
constexpr std::uint32_t kNoValue = 0xFFFFFFFF;
constexpr std::uint32_t kKillBit = 1024;

// Lets the fake file system answer and notes which folders the walk listed.
class ListingRecorder final : public platform::FilePort {
 public:
  using Path = const std::string&;
  explicit ListingRecorder(FakeFileSystem& files) : files_(files) {}
  std::unique_ptr<platform::OpenFile> Open(Path path, platform::FileOpenMode mode) override {
    return files_.Open(path, mode);
  }
  bool Delete(Path path) override { return files_.Delete(path); }
  bool Move(Path from, Path to) override { return files_.Move(from, to); }
  bool ReplaceFile(Path from, Path to) override { return files_.ReplaceFile(from, to); }
  bool Exists(Path path) override { return files_.Exists(path); }
  std::vector<platform::FolderEntry> ListFolder(Path folder) override {
    listed.push_back(files_.FullPath(folder));
    return files_.ListFolder(folder);
  }
  platform::CreateFolderResult CreateFolder(Path path) override {
    return files_.CreateFolder(path);
  }
  bool RemoveFolder(Path path) override { return files_.RemoveFolder(path); }
  bool CanCreateFilesIn(Path folder) override { return files_.CanCreateFilesIn(folder); }
  Strings listed;

 private:
  FakeFileSystem& files_;
};

class FlashBlockerTest : public ::testing::Test {
 protected:
  bool Toggle(bool checked) { return OnBlockFlashToggled(system_.ports(), nullptr, checked); }
  std::uint32_t KillBit() {
    return store_.ReadDword(kFlashCompatibilitySection, kCompatibilityFlagsValue,
                            platform::RegistryRoot::kLocalMachine);
  }
  std::string Option() { return store_.ReadString(settings::kProgramSection, kBlockFlashSetting); }
  Strings Boxes() {
    Strings shown;
    for (const auto& box : system_.dialogs.MessageBoxes()) shown.push_back(box.text);
    return shown;
  }
  bool Listed(const std::string& folder) {
    const auto& listed = recorder_.listed;
    return std::find(listed.begin(), listed.end(), files_.FullPath(folder)) != listed.end();
  }

  platform::fake::FakePlatform system_;
  FakeFileSystem& files_ = system_.files;
  ListingRecorder recorder_{files_};
  settings::RegistryStore store_{system_.registry};
};

TEST_F(FlashBlockerTest, AnAdministratorBlocksBothBrowsersAndLetsFlashPlayAgain) {
  files_.PutFile(kPlugin, "plug-in");
  EXPECT_TRUE(Toggle(true));
  EXPECT_TRUE(Toggle(true));
  EXPECT_EQ(Option(), "1");
  EXPECT_EQ(KillBit(), kKillBit);
  EXPECT_EQ(files_.FileContent(kParkedPlugin), "plug-in") << "one folder down, however often";
  EXPECT_EQ(Boxes(), (Strings{kFlashDisabledMessage, kFlashDisabledMessage}));

  EXPECT_FALSE(Toggle(false));
  EXPECT_EQ(Option(), "0");
  EXPECT_EQ(KillBit(), 0u);
  EXPECT_EQ(files_.FileContent(kPlugin), "plug-in");
  EXPECT_EQ(Boxes().size(), 2u) << "clearing the box says nothing";
}

TEST_F(FlashBlockerTest, ALimitedUserIsToldAndTheBoxEndsCleared) {
  files_.PutFile(kPlugin, "plug-in");
  system_.SetLimitedUser(true);
  EXPECT_FALSE(Toggle(true));
  EXPECT_EQ(Option(), "0");
  EXPECT_EQ(KillBit(), kNoValue);
  EXPECT_TRUE(files_.Exists(kPlugin)) << "nothing moves when the kill bit could not be set";
  EXPECT_FALSE(Toggle(false));
  EXPECT_EQ(Boxes(), (Strings{kFlashDisableNeedsAdministrator, kFlashEnableNeedsAdministrator}));
}

// At start-up the plug-in is moved whatever the rights, and nothing is shown.
TEST_F(FlashBlockerTest, TheSilentWalkMovesThePluginOnTheProgramsDriveWithoutRights) {
  const std::string on_d = "D:\\Program Files\\Netscape\\Plugins\\NPSWF32.dll";
  files_.PutFile(on_d, "on D");
  files_.CreateDirectory("D:\\Apps\\Snapgate!");
  system_.system.SetModuleFileName("D:\\Apps\\Snapgate!\\Snapgate! 3.293.exe");
  files_.PutFile("C:\\Program Files\\Netscape\\Plugins\\NPSWF32.dll", "on C");
  system_.SetLimitedUser(true);

  EXPECT_FALSE(BlockFlash(system_.ports()));
  EXPECT_FALSE(files_.Exists(on_d));
  system_.system.SetCurrentDirectory("E:\\Sounds");  // where a file dialog might have left it
  EXPECT_FALSE(UnblockFlash(system_.ports()));
  EXPECT_EQ(files_.FileContent(on_d), "on D");
  EXPECT_EQ(files_.FileContent("C:\\Program Files\\Netscape\\Plugins\\NPSWF32.dll"), "on C")
      << "not on the current directory's drive";
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(FlashBlockerTest, TheWalkGoesDownToNetscapesPluginAndNoFurther) {
  files_.PutFile(kNetscape + "\\Plugins\\npnul32.dll", "");
  files_.PutFile(kNetscape + "\\Plugins\\flash.ocx", "not in a Macromedia folder");
  files_.PutFile(kNetscape + "\\Chrome\\Skins\\Classic\\flash.png", "");
  NetscapeFlashMover(recorder_, false).Walk(kNetscape);
  EXPECT_TRUE(Listed(kNetscape + "\\Chrome\\Skins\\Classic"))
      << "a tree without plug-ins to the end";
  EXPECT_EQ(files_.FilesIn(kNetscape + "\\Plugins").size(), 2u);

  files_.PutFile(kNetscape + "\\A Plugins\\NPSWF32.dll", "");
  // A junction back up the tree would be walked for ever if it were followed.
  files_.MakeJunction(kNetscape + "\\A Plugins\\A Loop", kNetscape);
  files_.PutFile(kNetscape + "\\B Later\\Macromed\\Flash.ocx", "");
  recorder_.listed.clear();
  NetscapeFlashMover(recorder_, false).Walk(kNetscape);
  EXPECT_TRUE(files_.Exists(kNetscape + "\\A Plugins\\flash_disabled\\NPSWF32.dll"));
  EXPECT_FALSE(Listed(kNetscape + "\\A Plugins\\A Loop"));
  EXPECT_FALSE(Listed(kNetscape + "\\B Later")) << "nor later folders once it is met";
}

TEST(FlashPluginFileTest, TheControlCountsInAMacromediaFolderAndNetscapesPluginInNetscapes) {
  EXPECT_TRUE(IsFlashPluginFile("swflash.OCX", "C:\\Netscape\\macromedia\\swflash.OCX"));
  EXPECT_FALSE(IsFlashPluginFile("Flash.ocx", "C:\\Program Files\\Netscape\\Flash.ocx"));
  EXPECT_FALSE(IsFlashPluginFile("Flash.dll", "C:\\Netscape\\Macromed\\Flash.dll"));
  EXPECT_FALSE(IsFlashPluginFile("Player.ocx", "C:\\Netscape\\Macromed\\Player.ocx"));
  EXPECT_TRUE(IsFlashPluginFile("npswf32.dll", "C:\\Program Files\\netscape\\npswf32.dll"));
  EXPECT_FALSE(IsFlashPluginFile("NPSWF32.dll", "D:\\Mozilla\\Plugins\\NPSWF32.dll"));
}

}  // namespace
}  // namespace sg::tools
