#include "browser/entry_dialogs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/fake/fake_platform.h"

namespace sg::browser {
namespace {

using platform::fake::FakeDialogHost;
using Texts = std::vector<std::string>;

constexpr int kAddSafeSiteTemplate = 133, kPickerTemplate = 171, kAddBlockEntryTemplate = 1054;
constexpr int kPickerList = 1000, kBlockEntryEdit = 1037, kBrowse = 1024, kSafeSiteEdit = 1013;

const std::string kTooGeneral =
    "This wildcard entry is too general and will end up closing 'good' windows. Please choose an "
    "entry that matches the popup window title more specifically.";

class EntryDialogsTest : public ::testing::Test {
 protected:
  // The user types each text in turn and presses OK, until the dialog ends or the texts run out
  // (then the dialog is cancelled).
  std::optional<std::string> EnterBlockEntries(Texts texts) {
    system_.dialogs.ScriptModal(kAddBlockEntryTemplate, [this, texts](FakeDialogHost& dialog) {
      for (const auto& text : texts) {
        dialog.Type(kBlockEntryEdit, text);
        dialog.Click(platform::kIdOk);
        if (dialog.ended()) return;
        focus_after_refusal_.push_back(dialog.focused());
      }
    });
    return AddBlockEntryDialog(system_.desktop).Run(system_.dialogs, nullptr);
  }
  void OpenWindow(const std::string& title, bool visible = true) {
    platform::fake::FakeDesktop::Window window;
    window.title = title;
    window.visible = visible;
    system_.desktop.Open(window);
  }
  // The user picks a title in the next picker, or cancels it when the title is not offered.
  void UserPicks(const std::string& title) {
    system_.dialogs.ScriptModal(kPickerTemplate, [title](FakeDialogHost& picker) {
      const Texts& titles = picker.control(kPickerList).items;
      const auto found = std::find(titles.begin(), titles.end(), title);
      if (found == titles.end()) return;
      picker.ChooseListItem(kPickerList, static_cast<int>(found - titles.begin()));
      picker.Click(platform::kIdOk);
    });
  }

  platform::fake::FakePlatform system_;
  std::vector<int> focus_after_refusal_;
};

TEST_F(EntryDialogsTest, EntriesWithoutAnAsteriskAreAcceptedWithoutAQuestion) {
  EXPECT_EQ(EnterBlockEntries({"Special Offer"}), "Special Offer");
  EXPECT_EQ(EnterBlockEntries({""}), "");
  EXPECT_TRUE(system_.dialogs.MessageBoxes().empty());
}

TEST_F(EntryDialogsTest, TooGeneralWildcardsAreRefusedAndTheUserMayTryAgain) {
  EXPECT_EQ(EnterBlockEntries({"*", "**", "ab*", "abcd*"}), "abcd*");
  const auto boxes = system_.dialogs.MessageBoxes();
  ASSERT_EQ(boxes.size(), 3u) << "four letters and an asterisk pass without a question";
  EXPECT_EQ(boxes[0].text,
            "You can not enter a block list entry of an asterik '*'. This would match every "
            "window and close it.");
  EXPECT_EQ(boxes[1].text, kTooGeneral);
  EXPECT_EQ(boxes[2].text, kTooGeneral);
  for (const auto& box : boxes) {
    EXPECT_EQ(box.caption, "Snapgate!");
    EXPECT_EQ(box.style, platform::kMbIconInformation);
  }
  EXPECT_EQ(focus_after_refusal_, std::vector<int>(3, kBlockEntryEdit));
  EXPECT_EQ(EnterBlockEntries({"*"}), std::nullopt) << "cancelled after a refusal";
}

TEST_F(EntryDialogsTest, AFourCharacterWildcardIsAskedAboutWithTheEntryWithoutItsFirstAsterisk) {
  system_.dialogs.AnswerMessageBox(platform::kIdNo);
  system_.dialogs.AnswerMessageBox(platform::kIdYes);
  EXPECT_EQ(EnterBlockEntries({"*a*b", "abc*"}), "abc*");

  const auto boxes = system_.dialogs.MessageBoxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].text,
            "This block list entry may be too general and end up closing any window which "
            "contains the phrase 'a*b' in its window title. It is best to choose a wildcard entry "
            "that matches the popup window title more exactly.\n\nIf you are sure you wish to use "
            "this entry, click Yes.");
  EXPECT_EQ(boxes[0].caption, "Snapgate!");
  EXPECT_EQ(boxes[0].style, platform::kMbYesNo | platform::kMbIconQuestion);
  EXPECT_EQ(focus_after_refusal_, std::vector<int>{kBlockEntryEdit});
}

TEST_F(EntryDialogsTest, ThePickerOffersVisibleForeignWindowsWithTheirFullTitles) {
  system_.dialogs.DeclareSortedList(kPickerTemplate, kPickerList);
  for (const char* title :
       {"zebra offers", "Casino", "Casino", "", "snapgate!", "Add to Window Filters",
        "Window Titles to Close", "Snapgate!", "Program Manager", "Spyware Window Titles to Block",
        "Add to Spyware Filters", "Add to Block List"}) {
    OpenWindow(title);
  }
  OpenWindow("hidden popup", false);
  OpenWindow(std::string(12000, 'w'));

  Texts offered;
  system_.dialogs.ScriptModal(kPickerTemplate, [&](FakeDialogHost& picker) {
    offered = picker.control(kPickerList).items;
    picker.Click(platform::kIdOk);
  });
  EXPECT_EQ(WindowPickerDialog(system_.desktop).Run(system_.dialogs, nullptr), "")
      << "OK with nothing selected";
  EXPECT_EQ(offered,
            (Texts{"Casino", "Casino", "snapgate!", std::string(9999, 'w'), "zebra offers"}));
}

TEST_F(EntryDialogsTest, APickedTitleIsValidatedLikeATypedOne) {
  OpenWindow("Ad*");
  OpenWindow("Win! Now*");
  UserPicks("Ad*");
  UserPicks("not offered");  // cancelled: the edit keeps its text
  UserPicks("Win! Now*");
  Texts edits;
  system_.dialogs.ScriptModal(kAddBlockEntryTemplate, [&](FakeDialogHost& dialog) {
    while (!dialog.ended() && edits.size() < 3) {
      dialog.Click(kBrowse);
      edits.push_back(dialog.Text(kBlockEntryEdit));
      dialog.Click(platform::kIdOk);
    }
  });
  EXPECT_EQ(AddBlockEntryDialog(system_.desktop).Run(system_.dialogs, nullptr), "Win! Now*");
  EXPECT_EQ(edits, (Texts{"Ad*", "Ad*", "Win! Now*"}));
  ASSERT_EQ(system_.dialogs.MessageBoxes().size(), 2u);
  EXPECT_EQ(system_.dialogs.MessageBoxes()[0].text, kTooGeneral);
}

TEST_F(EntryDialogsTest, ASafeSiteIsTakenAsTyped) {
  system_.dialogs.ScriptModal(kAddSafeSiteTemplate, [](FakeDialogHost& dialog) {
    dialog.Type(kSafeSiteEdit, " *");
    dialog.Click(platform::kIdOk);
  });
  EXPECT_EQ(AddSafeSiteDialog().Run(system_.dialogs, nullptr), " *");
  EXPECT_EQ(AddSafeSiteDialog().Run(system_.dialogs, nullptr), std::nullopt);
}

}  // namespace
}  // namespace sg::browser
