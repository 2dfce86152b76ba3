#include "tools/flash_blocker.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/fake/fake_platform.h"
#include "settings/registry_store.h"

namespace sg::tools {
namespace {

using platform::RegistryRoot;
using Strings = std::vector<std::string>;

const std::string kNetscape = "C:\\Program Files\\Netscape";
const std::string kPlugins = kNetscape + "\\Netscape 7\\Plugins";
const std::string kPlugin = kPlugins + "\\NPSWF32.dll";
const std::string kParkedPlugin = kPlugins + "\\flash_disabled\\NPSWF32.dll";
constexpr std::uint32_t kNoValue = 0xFFFFFFFF;

// Lets the fake file system answer and notes which folders the walk listed.
class ListingRecorder final : public platform::FilePort {
 public:
  explicit ListingRecorder(platform::fake::FakeFileSystem& files) : files_(files) {}

  std::unique_ptr<platform::OpenFile> Open(const std::string& path,
                                           platform::FileOpenMode mode) override {
    return files_.Open(path, mode);
  }
  bool Delete(const std::string& path) override { return files_.Delete(path); }
  bool Move(const std::string& from, const std::string& to) override {
    return files_.Move(from, to);
  }
  bool ReplaceFile(const std::string& from, const std::string& to) override {
    return files_.ReplaceFile(from, to);
  }
  bool Exists(const std::string& path) override { return files_.Exists(path); }
  std::vector<platform::FolderEntry> ListFolder(const std::string& folder) override {
    listed.push_back(folder);
    return files_.ListFolder(folder);
  }
  platform::CreateFolderResult CreateFolder(const std::string& path) override {
    return files_.CreateFolder(path);
  }

  Strings listed;

 private:
  platform::fake::FakeFileSystem& files_;
};

class FlashBlockerTest : public ::testing::Test {
 protected:
  bool Present(const std::string& path) { return system_.files.FileContent(path).has_value(); }
  std::uint32_t KillBit() {
    return settings::RegistryStore(system_.registry)
        .ReadDword(kFlashCompatibilitySection, kCompatibilityFlagsValue,
                   RegistryRoot::kLocalMachine);
  }
  std::string Option() {
    return settings::RegistryStore(system_.registry)
        .ReadString(settings::kProgramSection, kBlockFlashSetting);
  }
  Strings Boxes() {
    Strings shown;
    for (const auto& box : system_.dialogs.MessageBoxes()) {
      shown.push_back(box.caption + " | " + std::to_string(box.style) + " | " + box.text);
    }
    return shown;
  }
  std::string Box(std::uint32_t style, const std::string& text) {
    return "Snapgate! | " + std::to_string(style) + " | " + text;
  }

  platform::fake::FakePlatform system_;
};

// The check box, as the user works it.

TEST_F(FlashBlockerTest, TickingBlocksBothBrowsersAndClearingLetsFlashPlayAgain) {
  system_.files.PutFile(kPlugin, "plug-in");

  EXPECT_TRUE(OnBlockFlashToggled(system_.ports(), nullptr, true));
  EXPECT_EQ(Option(), "1");
  EXPECT_EQ(KillBit(), 1024u);
  EXPECT_FALSE(Present(kPlugin));
  EXPECT_EQ(system_.files.FileContent(kParkedPlugin), "plug-in");
  EXPECT_EQ(Boxes(), Strings{Box(platform::kMbIconInformation,
                                 "All Macromedia Flash Animations and advertisements have been "
                                 "disabled.\nYou must close and open a new web browser for "
                                 "changes to take effect.")});

  EXPECT_FALSE(OnBlockFlashToggled(system_.ports(), nullptr, false));
  EXPECT_EQ(Option(), "0");
  EXPECT_EQ(KillBit(), 0u);
  EXPECT_EQ(system_.files.FileContent(kPlugin), "plug-in");
  EXPECT_FALSE(Present(kParkedPlugin));
  EXPECT_EQ(Boxes().size(), 1u) << "clearing the box says nothing";
}

TEST_F(FlashBlockerTest, TickingTwiceLeavesThePluginOneFolderDown) {
  system_.files.PutFile(kPlugin, "plug-in");
  OnBlockFlashToggled(system_.ports(), nullptr, true);
  EXPECT_TRUE(OnBlockFlashToggled(system_.ports(), nullptr, true));

  EXPECT_EQ(system_.files.FileContent(kParkedPlugin), "plug-in");
  EXPECT_FALSE(system_.files.Exists(kPlugins + "\\flash_disabled\\flash_disabled"));
  EXPECT_EQ(KillBit(), 1024u);
}

TEST_F(FlashBlockerTest, WithoutAdministratorRightsTickingIsRefusedAndTheBoxEndsCleared) {
  system_.files.PutFile(kPlugin, "plug-in");
  system_.SetLimitedUser(true);

  EXPECT_FALSE(OnBlockFlashToggled(system_.ports(), nullptr, true));
  EXPECT_EQ(Option(), "0");
  EXPECT_EQ(KillBit(), kNoValue);
  EXPECT_TRUE(Present(kPlugin)) << "nothing is moved when the kill bit could not be set";
  EXPECT_EQ(Boxes(), Strings{Box(platform::kMbIconExclamation,
                                 "Please log in with Administrator privledges in order to "
                                 "disable Macromedia Flash Animations.")});
}

TEST_F(FlashBlockerTest, WithoutAdministratorRightsClearingIsRefusedAndLeavesTheBlockInPlace) {
  system_.files.PutFile(kPlugin, "plug-in");
  OnBlockFlashToggled(system_.ports(), nullptr, true);
  // The key exists now, but a limited user still may not write to it.
  system_.SetLimitedUser(true);

  EXPECT_FALSE(OnBlockFlashToggled(system_.ports(), nullptr, false));
  EXPECT_EQ(Option(), "0");
  EXPECT_EQ(KillBit(), 1024u);
  EXPECT_TRUE(Present(kParkedPlugin));
  EXPECT_EQ(Boxes().back(), Box(platform::kMbIconExclamation,
                                "Please log in with Administrator privledges in order to "
                                "enable Macromedia Flash Animations."));
}

// The silent uses: at start-up and by the blocking switch.

TEST_F(FlashBlockerTest, SilentBlockAndUnblockMoveThePluginEvenWithoutRights) {
  system_.files.PutFile(kPlugin, "plug-in");
  system_.SetLimitedUser(true);

  EXPECT_FALSE(BlockFlash(system_.ports()));
  EXPECT_TRUE(Present(kParkedPlugin));
  EXPECT_FALSE(UnblockFlash(system_.ports()));
  EXPECT_TRUE(Present(kPlugin));
  EXPECT_EQ(KillBit(), kNoValue);
  EXPECT_EQ(Boxes(), Strings{});
}

TEST_F(FlashBlockerTest, SilentBlockWithRightsReportsTheKillBitWritten) {
  EXPECT_TRUE(BlockFlash(system_.ports()));
  EXPECT_EQ(KillBit(), 1024u);
  EXPECT_TRUE(UnblockFlash(system_.ports()));
  EXPECT_EQ(KillBit(), 0u);
  EXPECT_EQ(Boxes(), Strings{});
}

TEST_F(FlashBlockerTest, WithoutNetscapeOnlyTheKillBitChanges) {
  EXPECT_TRUE(OnBlockFlashToggled(system_.ports(), nullptr, true));
  EXPECT_FALSE(system_.files.Exists(kNetscape));
  EXPECT_EQ(KillBit(), 1024u);
}

TEST_F(FlashBlockerTest, NetscapeIsLookedForOnTheDriveOfTheCurrentFolderWhichStaysAsItWas) {
  system_.files.PutFile(kPlugin, "on C");
  system_.files.PutFile("D:\\Program Files\\Netscape\\Plugins\\NPSWF32.dll", "on D");
  system_.files.CreateDirectory("D:\\Apps\\Snapgate!");
  ASSERT_TRUE(system_.system.SetCurrentDirectory("D:\\Apps\\Snapgate!"));

  BlockFlash(system_.ports());
  EXPECT_TRUE(Present("D:\\Program Files\\Netscape\\Plugins\\flash_disabled\\NPSWF32.dll"));
  EXPECT_TRUE(Present(kPlugin));
  EXPECT_EQ(system_.system.CurrentDirectory(), "D:\\Apps\\Snapgate!");
}

TEST_F(FlashBlockerTest, TheStoredOptionCountsOnlyWhenItIsOne) {
  auto store = [&](const std::string& text) {
    settings::RegistryStore(system_.registry)
        .WriteString(settings::kProgramSection, kBlockFlashSetting, text);
    return BlockFlashOptionOn(system_.registry);
  };
  EXPECT_FALSE(BlockFlashOptionOn(system_.registry)) << "absent";
  EXPECT_TRUE(store("1"));
  EXPECT_FALSE(store("0"));
  EXPECT_FALSE(store("2"));
  EXPECT_FALSE(store("yes"));
}

// Which files are plug-ins, and where the Netscape folder is.

TEST(FlashPluginFileTest, NetscapesPluginCountsOnlyBelowANetscapeFolder) {
  EXPECT_TRUE(IsFlashPluginFile("npswf32.dll", "C:\\Program Files\\netscape\\npswf32.dll"));
  EXPECT_TRUE(IsFlashPluginFile("NPSWF32_old.dll", "\\Netscape\\Plugins\\NPSWF32_old.dll"));
  EXPECT_FALSE(IsFlashPluginFile("NPSWF32.dll", "D:\\Mozilla\\Plugins\\NPSWF32.dll"));
}

TEST(FlashPluginFileTest, TheActiveXControlCountsOnlyInAMacromediaFolder) {
  EXPECT_TRUE(IsFlashPluginFile("Flash.ocx", "C:\\Netscape\\Macromed\\Flash\\Flash.ocx"));
  EXPECT_TRUE(IsFlashPluginFile("swflash.OCX", "C:\\Netscape\\macromedia\\swflash.OCX"));
  EXPECT_FALSE(IsFlashPluginFile("Flash.ocx", "C:\\Program Files\\Netscape\\Flash.ocx"));
  EXPECT_FALSE(IsFlashPluginFile("Flash.dll", "C:\\Netscape\\Macromed\\Flash.dll"));
  EXPECT_FALSE(IsFlashPluginFile("Player.ocx", "C:\\Netscape\\Macromed\\Player.ocx"));
}

TEST(FlashPluginFileTest, AFileInAnyFlashDisabledFolderCountsAsMovedAway) {
  EXPECT_TRUE(IsMovedAway("C:\\Netscape\\Plugins\\Flash_Disabled\\NPSWF32.dll"));
  EXPECT_FALSE(IsMovedAway("C:\\Netscape\\Plugins\\NPSWF32.dll"));
}

TEST(NetscapeFolderTest, LiesOnTheDriveOrShareOfTheCurrentFolder) {
  EXPECT_EQ(NetscapeFolderOn("D:\\Tools\\Snapgate!"), "D:\\Program Files\\Netscape");
  EXPECT_EQ(NetscapeFolderOn("C:\\"), "C:\\Program Files\\Netscape");
  EXPECT_EQ(NetscapeFolderOn("\\\\server\\apps\\Snapgate!"),
            "\\\\server\\apps\\Program Files\\Netscape");
  EXPECT_EQ(NetscapeFolderOn(""), "\\Program Files\\Netscape");
}

// The walk itself.

class NetscapeFlashMoverTest : public ::testing::Test {
 protected:
  NetscapeFlashMover Walk(bool restore) {
    NetscapeFlashMover mover(recorder_, restore);
    mover.Walk(kNetscape);
    return mover;
  }
  bool Present(const std::string& path) { return files_.FileContent(path).has_value(); }
  bool Listed(const std::string& folder) {
    for (const auto& listed : recorder_.listed) {
      if (files_.FullPath(listed) == files_.FullPath(folder)) return true;
    }
    return false;
  }

  platform::fake::FakeFileSystem files_;
  ListingRecorder recorder_{files_};
};

TEST_F(NetscapeFlashMoverTest, ATreeWithoutPluginsIsWalkedToTheEndAndLeftAlone) {
  files_.PutFile(kNetscape + "\\netscape.exe", "");
  files_.PutFile(kNetscape + "\\Plugins\\npnul32.dll", "");
  files_.PutFile(kNetscape + "\\Plugins\\Flash notes.txt", "");
  files_.PutFile(kNetscape + "\\Plugins\\flash.ocx", "not in a Macromedia folder");
  files_.PutFile(kNetscape + "\\Chrome\\Skins\\Classic\\flash.png", "");
  files_.CreateDirectory(kNetscape + "\\Defaults\\Empty");

  const NetscapeFlashMover mover = Walk(false);
  EXPECT_EQ(mover.found_count(), 0);
  for (const std::string folder : {"\\Plugins", "\\Chrome\\Skins\\Classic", "\\Defaults\\Empty"}) {
    EXPECT_TRUE(Listed(kNetscape + folder)) << folder;
  }
  EXPECT_EQ(files_.FilesIn(kNetscape + "\\Plugins").size(), 3u);
  EXPECT_FALSE(files_.Exists(kNetscape + "\\Plugins\\flash_disabled"));
}

TEST_F(NetscapeFlashMoverTest, OnceNetscapesPluginIsMetLaterFoldersAreNotEntered) {
  files_.PutFile(kNetscape + "\\A Plugins\\NPSWF32.dll", "");
  files_.PutFile(kNetscape + "\\B Later\\Macromed\\Flash.ocx", "");

  const NetscapeFlashMover mover = Walk(false);
  EXPECT_EQ(mover.found_count(), 2);
  EXPECT_EQ(files_.FullPath(mover.last_found_path()),
            files_.FullPath(kNetscape + "\\A Plugins\\NPSWF32.dll"));
  EXPECT_FALSE(Listed(kNetscape + "\\B Later"));
  EXPECT_TRUE(Present(kNetscape + "\\B Later\\Macromed\\Flash.ocx"));
  EXPECT_TRUE(Present(kNetscape + "\\A Plugins\\flash_disabled\\NPSWF32.dll"));
}

TEST_F(NetscapeFlashMoverTest, FilesBesideNetscapesPluginAreStillLookedAt) {
  files_.PutFile(kPlugins + "\\NPSWF32.dll", "");
  files_.PutFile(kPlugins + "\\NPSWF32.xpt", "");
  files_.PutFile(kPlugins + "\\Sub\\NPSWF32.dll", "a later folder");

  Walk(false);
  EXPECT_EQ(files_.FilesIn(kPlugins + "\\flash_disabled").size(), 2u);
  EXPECT_TRUE(Present(kPlugins + "\\Sub\\NPSWF32.dll"));
}

TEST_F(NetscapeFlashMoverTest, TwoActiveXControlsEndTheSearchToo) {
  files_.PutFile(kNetscape + "\\A\\Macromed\\Flash.ocx", "");
  files_.PutFile(kNetscape + "\\B\\Macromed\\Flash.ocx", "");
  files_.PutFile(kNetscape + "\\C\\Macromed\\Flash.ocx", "");

  EXPECT_EQ(Walk(false).found_count(), 2);
  EXPECT_TRUE(Present(kNetscape + "\\B\\Macromed\\flash_disabled\\Flash.ocx"));
  EXPECT_TRUE(Present(kNetscape + "\\C\\Macromed\\Flash.ocx"));
}

TEST_F(NetscapeFlashMoverTest, RestoringMovesParkedFilesUpAndLeavesOthersAlone) {
  files_.PutFile(kPlugins + "\\flash_disabled\\NPSWF32.dll", "parked");
  files_.PutFile(kNetscape + "\\Macromed\\Flash.ocx", "never parked");

  Walk(true);
  EXPECT_EQ(files_.FileContent(kPlugins + "\\NPSWF32.dll"), "parked");
  EXPECT_EQ(files_.FilesIn(kPlugins + "\\flash_disabled"), Strings{});
  EXPECT_TRUE(Present(kNetscape + "\\Macromed\\Flash.ocx"));
}

TEST_F(NetscapeFlashMoverTest, AFailedMoveLeavesEveryFileWhereItWas) {
  // A newer plug-in was installed while the old one was parked.
  files_.PutFile(kPlugins + "\\NPSWF32.dll", "new");
  files_.PutFile(kPlugins + "\\flash_disabled\\NPSWF32.dll", "old");
  Walk(true);
  EXPECT_EQ(files_.FileContent(kPlugins + "\\NPSWF32.dll"), "new");
  EXPECT_EQ(files_.FileContent(kPlugins + "\\flash_disabled\\NPSWF32.dll"), "old");

  // A file, not a folder, takes the parking name.
  files_.PutFile(kNetscape + "\\Other\\NPSWF32.dll", "stays");
  files_.PutFile(kNetscape + "\\Other\\flash_disabled", "a file");
  NetscapeFlashMover mover(files_, false);
  mover.Walk(kNetscape + "\\Other");
  EXPECT_EQ(files_.FileContent(kNetscape + "\\Other\\NPSWF32.dll"), "stays");
}

TEST_F(NetscapeFlashMoverTest, ALoopOfJunctionsIsNotFollowed) {
  files_.MakeJunction(kNetscape + "\\A Loop", kNetscape);
  files_.MakeJunction(kNetscape + "\\Plugins\\Up", kNetscape + "\\Plugins");
  files_.PutFile(kNetscape + "\\Plugins\\NPSWF32.dll", "");

  const NetscapeFlashMover mover = Walk(false);
  EXPECT_EQ(mover.found_count(), 2);
  EXPECT_TRUE(Present(kNetscape + "\\Plugins\\flash_disabled\\NPSWF32.dll"));
  for (const auto& listed : recorder_.listed) {
    EXPECT_EQ(listed.find("Loop"), std::string::npos) << listed;
    EXPECT_EQ(listed.find("Up"), std::string::npos) << listed;
  }
}

TEST_F(NetscapeFlashMoverTest, ThousandsOfFilesAreWalkedAndOnlyThePluginMoves) {
  for (int folder = 0; folder < 20; ++folder) {
    for (int file = 0; file < 250; ++file) {
      files_.PutFile(kNetscape + "\\Cache\\" + std::to_string(folder) + "\\entry" +
                         std::to_string(file) + ".dat",
                     "");
    }
  }
  files_.PutFile(kNetscape + "\\Plugins\\NPSWF32.dll", "");

  Walk(false);
  EXPECT_TRUE(Present(kNetscape + "\\Plugins\\flash_disabled\\NPSWF32.dll"));
  EXPECT_EQ(files_.FilesIn(kNetscape + "\\Cache\\19").size(), 250u);
  EXPECT_TRUE(Listed(kNetscape + "\\Cache\\19"));
}

}  // namespace
}  // namespace sg::tools
