#include "browser/list_files.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/fake/fake_platform.h"

namespace sg::browser {
namespace {

constexpr int kList = 1000;
using Entries = std::vector<std::string>;

class ListFilesTest : public ::testing::Test {
 protected:
  struct NoEvents final : platform::DialogEvents {
    void OnInitDialog(platform::DialogHost&) override {}
    void OnCommand(int, int) override {}
  };

  Entries Load(const std::string& content) {
    system_.files.PutFile("filters.txt", content);
    LoadListFile(system_.ports().files, "filters.txt", *dialog_, kList);
    return static_cast<platform::fake::FakeDialogHost&>(*dialog_).control(kList).items;
  }
  bool Save() { return SaveListFile(system_.ports().files, "filters.txt", *dialog_, kList); }
  std::string Saved() { return system_.files.FileContent("filters.txt").value_or("<none>"); }

  platform::fake::FakePlatform system_;
  NoEvents events_;
  std::unique_ptr<platform::DialogHost> dialog_ =
      system_.dialogs.CreateModeless(1053, events_, nullptr);
};

TEST_F(ListFilesTest, LinesEndWithCrLfOrLfBlankLinesDropAndTheLastNeedsNoEnd) {
  dialog_->ListAdd(kList, "already there");
  EXPECT_EQ(Load("first\r\n\r\nsecond\n\na\rb\r\nlast"),
            (Entries{"already there", "first", "second", "a\rb", "last"}));
}

TEST_F(ListFilesTest, LongLinesComeBackIn99CharacterPiecesAndAreSavedSo) {
  const std::string b99(99, 'b'), c98(98, 'c');
  // A line of exactly 99 leaves no empty piece, and the CR of CR LF does not count.
  EXPECT_EQ(Load(std::string(150, 'a') + "\r\n" + b99 + "\r\n" + c98 + "\r\n"),
            (Entries{std::string(99, 'a'), std::string(51, 'a'), b99, c98}));
  ASSERT_TRUE(Save());
  EXPECT_EQ(Saved(), std::string(99, 'a') + "\r\n" + std::string(51, 'a') + "\r\n" + b99 + "\r\n" +
                         c98 + "\r\n");
}

TEST_F(ListFilesTest, ALineEndSplitAcrossReadsOfTheFileIsStillOneLineEnd) {
  const Entries entries = Load(std::string(4095, 'x') + "\r\ntail");
  ASSERT_EQ(entries.size(), 43u);
  EXPECT_EQ(entries[41], std::string(4095 - 41 * 99, 'x'));
  EXPECT_EQ(entries[42], "tail");
}

TEST_F(ListFilesTest, AMissingOrUnreadableFileGivesNoEntries) {
  LoadListFile(system_.ports().files, "missing.txt", *dialog_, kList);
  system_.files.FailReadsOf("filters.txt");
  EXPECT_TRUE(Load("entry\r\n").empty());
}

TEST_F(ListFilesTest, SavedListsLoadBackInOrderWithTheirDuplicates) {
  system_.files.PutFile("filters.txt", "old\r\n");
  ASSERT_TRUE(Save());
  EXPECT_EQ(Saved(), "") << "an empty list gives an empty file";

  for (const char* entry : {"b", "a", "b"}) dialog_->ListAdd(kList, entry);
  ASSERT_TRUE(Save());
  dialog_->ListReset(kList);
  EXPECT_EQ(Load(Saved()), (Entries{"b", "a", "b"}));
}

TEST_F(ListFilesTest, AFailedSaveLeavesTheOldFileAsItWasAndNoPartialFile) {
  const std::string old = "old one\r\nold two\r\n";
  dialog_->ListAdd(kList, "new one");
  dialog_->ListAdd(kList, "new two");
  const std::vector<std::string> only_the_list{"filters.txt"};

  system_.files.PutFile("filters.txt", old);
  system_.files.SetReadOnly("filters.txt", true);
  EXPECT_FALSE(Save());
  system_.files.SetReadOnly("filters.txt", false);
  EXPECT_EQ(system_.files.FilesIn("."), only_the_list);

  system_.files.FailWritesAfter(12);  // the disk fills up during the second entry
  EXPECT_FALSE(Save());
  EXPECT_EQ(system_.files.FilesIn("."), only_the_list);

  system_.files.FailWritesAfter(1000);
  system_.files.FailClosesOf("filters.txt.new");
  EXPECT_FALSE(Save());
  EXPECT_EQ(system_.files.FilesIn("."), only_the_list);
  EXPECT_EQ(Saved(), old);
}

}  // namespace
}  // namespace sg::browser
