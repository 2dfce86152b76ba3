#include "browser/list_dialogs.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "browser/filter_matching.h"
#include "platform/fake/fake_platform.h"

namespace sg::browser {
namespace {

using platform::RegistryRoot;
using platform::fake::FakeDialogHost;

// The resource numbers the templates are built with.
constexpr int kSafeSiteTemplate = 132, kAddSafeSiteTemplate = 133;
constexpr int kBlockListTemplate = 1053, kAddBlockEntryTemplate = 1054;
constexpr int kList = 1000, kAdd = 3, kRemove = 4, kHelp = 1010, kSlider = 1039;
constexpr int kBlockEntryEdit = 1037, kSafeSiteEdit = 1013;
const std::string kSection = "Software\\Snapgate!";

class ListDialogsTest : public ::testing::Test {
 protected:
  // The user's answer to the next entry dialog: a text and OK, or Cancel when nothing.
  void UserEnters(int template_id, std::optional<std::string> text) {
    const int edit = template_id == kAddBlockEntryTemplate ? kBlockEntryEdit : kSafeSiteEdit;
    system_.dialogs.ScriptModal(template_id, [edit, text](FakeDialogHost& dialog) {
      if (text) dialog.Type(edit, *text);
      dialog.Click(text ? platform::kIdOk : platform::kIdCancel);
    });
  }
  FakeDialogHost& Window(int template_id) { return *system_.dialogs.Modeless(template_id); }
  std::optional<std::string> File(const std::string& name) {
    return system_.files.FileContent(name);
  }
  std::optional<std::string> StoredRate() {
    return system_.registry.GetString(RegistryRoot::kCurrentUser, kSection, "iResponseRate");
  }

  platform::fake::FakePlatform system_;
};

TEST_F(ListDialogsTest, BlockListAdditionsTakeEffectAtOnceButReachTheFileOnlyOnSave) {
  system_.files.PutFile("filters.txt", "Casino Bonus\r\n");
  BlockListDialog block_list(system_.ports());
  block_list.Create(nullptr);
  block_list.Load();
  block_list.Show();
  const std::optional<std::string> answers[] = {"Special Offer*", "", std::nullopt};
  for (const auto& text : answers) {
    UserEnters(kAddBlockEntryTemplate, text);
    Window(kBlockListTemplate).Click(kAdd);
  }
  Window(kBlockListTemplate).Click(platform::kIdCancel);  // the close box

  EXPECT_FALSE(Window(kBlockListTemplate).IsVisible());
  EXPECT_TRUE(block_list.Entries().AnyMatch(
      [](const std::string& entry) { return MatchesBlockEntry("SPECIAL OFFER inside", entry); }));
  EXPECT_EQ(File("filters.txt"), "Casino Bonus\r\n");

  // The tray saves the list on every OK, with everything added so far.
  UserEnters(kAddBlockEntryTemplate, std::nullopt);
  AddToBlockList(system_.ports(), block_list, nullptr);
  EXPECT_EQ(File("filters.txt"), "Casino Bonus\r\n");
  UserEnters(kAddBlockEntryTemplate, "");
  AddToBlockList(system_.ports(), block_list, nullptr);
  EXPECT_EQ(File("filters.txt"), "Casino Bonus\r\nSpecial Offer*\r\n");
}

TEST_F(ListDialogsTest, AnEmptyOrAbsentStoredRateGivesTheMiddlePosition) {
  for (const bool absent : {false, true}) {
    platform::fake::FakePlatform system;
    if (!absent)
      system.registry.PutString(RegistryRoot::kCurrentUser, kSection, "iResponseRate", "");
    BlockListDialog block_list(system.ports());
    block_list.Create(nullptr);
    EXPECT_EQ(block_list.ResponseRate(), 1);
    EXPECT_EQ(system.dialogs.Modeless(kBlockListTemplate)->control(kSlider).position, 1);
  }
}

TEST_F(ListDialogsTest, TheRateIsReadOnceAndStoredWithTheListAtOk) {
  system_.registry.PutString(RegistryRoot::kCurrentUser, kSection, "iResponseRate", "0");
  BlockListDialog block_list(system_.ports());
  system_.registry.PutString(RegistryRoot::kCurrentUser, kSection, "iResponseRate", "1");
  block_list.Create(nullptr);
  EXPECT_EQ(Window(kBlockListTemplate).control(kSlider).position, 0);

  // A failed browser connection asks for the fast rate; it is stored at the next OK only.
  block_list.SetResponseRate(2);
  EXPECT_EQ(block_list.ResponseRate(), 2);
  EXPECT_EQ(StoredRate(), "1");
  block_list.Show();
  block_list.Append("Pop Under");
  Window(kBlockListTemplate).Click(platform::kIdOk);
  EXPECT_EQ(StoredRate(), "2");
  EXPECT_EQ(File("filters.txt"), "Pop Under\r\n");
  EXPECT_FALSE(Window(kBlockListTemplate).IsVisible());

  Window(kBlockListTemplate).SetSliderPosition(kSlider, 0);
  Window(kBlockListTemplate).Click(platform::kIdOk);
  EXPECT_EQ(block_list.ResponseRate(), 0);
  EXPECT_EQ(StoredRate(), "0");
}

TEST_F(ListDialogsTest, SafeSitesAreAddedAndRemovedInTheListAndSavedByOk) {
  system_.files.PutFile("whitelist.txt", "a.example\r\nb.example\r\n");
  SafeSiteDialog safe_sites(system_.ports());
  safe_sites.Create(nullptr);
  safe_sites.Load();
  FakeDialogHost& window = Window(kSafeSiteTemplate);
  window.Click(kRemove);  // nothing selected
  window.ChooseListItem(kList, 0);
  window.Click(kRemove);
  UserEnters(kAddSafeSiteTemplate, "news.example");
  window.Click(kAdd);
  EXPECT_EQ(window.control(kList).items, (std::vector<std::string>{"b.example", "news.example"}));
  EXPECT_EQ(File("whitelist.txt"), "a.example\r\nb.example\r\n");

  window.Click(platform::kIdOk);
  EXPECT_EQ(File("whitelist.txt"), "b.example\r\nnews.example\r\n");
}

TEST_F(ListDialogsTest, TrayAdditionOfASafeSiteSavesOnlyANonEmptyText) {
  SafeSiteDialog safe_sites(system_.ports());
  safe_sites.Create(nullptr);
  UserEnters(kAddSafeSiteTemplate, "");
  AddToSafeSites(system_.ports(), safe_sites, nullptr);
  UserEnters(kAddSafeSiteTemplate, std::nullopt);
  AddToSafeSites(system_.ports(), safe_sites, nullptr);
  EXPECT_FALSE(File("whitelist.txt"));

  UserEnters(kAddSafeSiteTemplate, "Shop.example");
  AddToSafeSites(system_.ports(), safe_sites, nullptr);
  EXPECT_EQ(File("whitelist.txt"), "Shop.example\r\n");
}

TEST_F(ListDialogsTest, HelpOpensTheBlockListHelpPage) {
  BlockListDialog block_list(system_.ports());
  block_list.Create(nullptr);
  Window(kBlockListTemplate).Click(kHelp);
  const auto runs = system_.shell.Executions();
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0].request.verb, "");
  EXPECT_EQ(runs[0].request.file, BlockListDialog::kHelpAddress);
  EXPECT_EQ(runs[0].request.show_command, platform::kSwShowNormal);
}

TEST_F(ListDialogsTest, AWalkSeesEntriesRemovedWhileItRuns) {
  BlockListDialog block_list(system_.ports());
  block_list.Create(nullptr);
  for (const char* entry : {"one", "two", "three"}) block_list.Append(entry);
  std::vector<std::string> seen;
  block_list.Entries().AnyMatch([&](const std::string& entry) {
    seen.push_back(entry);
    if (entry == "one") Window(kBlockListTemplate).ListDelete(kList, 2);
    return false;
  });
  EXPECT_EQ(seen, (std::vector<std::string>{"one", "two"}));
}

}  // namespace
}  // namespace sg::browser
