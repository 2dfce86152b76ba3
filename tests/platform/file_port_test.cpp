// The file port's contract, on the fake natively and on the real files under Wine.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "support/system_under_test.h"

namespace sg::platform {
namespace {

using testing::FilesUnderTest;
using testing::ScratchFolder;

std::span<const std::uint8_t> Bytes(const std::string& text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

class FilePortTest : public ::testing::Test {
 protected:
  void TearDown() override {
    for (const std::string& path : {path_, other_, moved_away_}) files_.Delete(path);
  }

  void Put(const std::string& path, const std::string& text) {
    auto file = files_.Open(path, FileOpenMode::kCreateWriteOnly);
    ASSERT_TRUE(file) << path;
    ASSERT_TRUE(file->Write(Bytes(text)));
    ASSERT_TRUE(file->Close());
  }

  std::string ReadAll() { return ReadAll(path_); }
  std::string ReadAll(const std::string& path) {
    auto file = files_.Open(path, FileOpenMode::kReadOnly);
    if (!file) return "<cannot open>";
    std::string text;
    std::uint8_t buffer[7];
    while (auto count = file->Read(buffer)) {
      if (*count == 0) break;
      text.append(reinterpret_cast<char*>(buffer), *count);
    }
    return text;
  }

  FilePort& files_ = FilesUnderTest();
  std::string path_ = ScratchFolder() + "file port test.txt";
  std::string other_ = ScratchFolder() + "file port test.old";
  // In the folder above the scratch folder, which exists on both platforms.
  std::string moved_away_ = ScratchFolder() + "..\\file port test moved.txt";
};

TEST_F(FilePortTest, WrittenBytesReadBackInPiecesAndCreateTruncates) {
  auto file = files_.Open(path_, FileOpenMode::kCreateWriteOnly);
  ASSERT_TRUE(file);
  EXPECT_TRUE(file->Write(Bytes("first line\r\nsecond")));
  EXPECT_TRUE(file->Close());
  EXPECT_TRUE(files_.Exists(path_));
  EXPECT_EQ(ReadAll(), "first line\r\nsecond");

  file = files_.Open(path_, FileOpenMode::kCreateWriteOnly);
  ASSERT_TRUE(file);
  EXPECT_TRUE(file->Write(Bytes("new")));
  file.reset();  // closing by destruction
  EXPECT_EQ(ReadAll(), "new");
}

TEST_F(FilePortTest, AWriteOnlyFileCannotBeRead) {
  auto file = files_.Open(path_, FileOpenMode::kCreateWriteOnly);
  ASSERT_TRUE(file);
  std::uint8_t buffer[4];
  EXPECT_FALSE(file->Read(buffer).has_value());
}

TEST_F(FilePortTest, MissingFilesNeitherOpenNorDeleteAndFoldersExist) {
  EXPECT_FALSE(files_.Open(path_, FileOpenMode::kReadOnly));
  EXPECT_FALSE(files_.Delete(path_));
  EXPECT_FALSE(files_.Exists(path_));
  EXPECT_TRUE(files_.Exists(ScratchFolder().substr(0, ScratchFolder().size() - 1)));
}

TEST_F(FilePortTest, AnOpenFileCannotBeDeleted) {
  auto file = files_.Open(path_, FileOpenMode::kCreateWriteOnly);
  ASSERT_TRUE(file);
  EXPECT_FALSE(files_.Delete(path_));
  file->Close();
  EXPECT_TRUE(files_.Delete(path_));
  EXPECT_FALSE(files_.Exists(path_));
}

TEST_F(FilePortTest, MoveRenamesAndMovesButNeverOntoATakenName) {
  Put(path_, "blocked list");
  EXPECT_TRUE(files_.Move(path_, other_));
  EXPECT_FALSE(files_.Exists(path_));
  EXPECT_EQ(ReadAll(other_), "blocked list");
  EXPECT_TRUE(files_.Move(other_, moved_away_));
  EXPECT_FALSE(files_.Exists(other_));
  EXPECT_EQ(ReadAll(moved_away_), "blocked list");

  // A taken name: both files stay as they were.
  Put(path_, "newer list");
  EXPECT_FALSE(files_.Move(moved_away_, path_));
  EXPECT_EQ(ReadAll(moved_away_), "blocked list");
  EXPECT_EQ(ReadAll(path_), "newer list");
}

TEST_F(FilePortTest, MoveRefusesMissingSourcesFoldersAndOpenFiles) {
  EXPECT_FALSE(files_.Move(path_, other_));
  EXPECT_FALSE(files_.Exists(other_));

  Put(path_, "kept");
  EXPECT_FALSE(files_.Move(path_, ScratchFolder() + "no such folder\\moved.txt"));
  {
    auto open = files_.Open(path_, FileOpenMode::kReadOnly);
    ASSERT_TRUE(open);
    EXPECT_FALSE(files_.Move(path_, other_));
  }
  EXPECT_FALSE(files_.Exists(other_));
  EXPECT_EQ(ReadAll(), "kept");
}

TEST_F(FilePortTest, ALockedFileIsReadAsItWasUntilItIsClosed) {
  Put(path_, "checked");
  Put(other_, "other");
  {
    auto held = files_.Open(path_, FileOpenMode::kReadLocked);
    ASSERT_TRUE(held);
    EXPECT_EQ(ReadAll(), "checked") << "others may read it";
    EXPECT_FALSE(files_.Open(path_, FileOpenMode::kCreateWriteOnly));
    EXPECT_FALSE(files_.Delete(path_));
    EXPECT_FALSE(files_.Move(path_, moved_away_));
    EXPECT_FALSE(files_.ReplaceFile(other_, path_));
    std::uint8_t buffer[16];
    EXPECT_EQ(held->Read(buffer), std::optional<std::size_t>(7));
  }
  EXPECT_TRUE(files_.ReplaceFile(other_, path_)) << "closed";
  EXPECT_EQ(ReadAll(), "other");

  auto writer = files_.Open(path_, FileOpenMode::kCreateWriteOnly);
  ASSERT_TRUE(writer);
  EXPECT_FALSE(files_.Open(path_, FileOpenMode::kReadLocked)) << "while someone writes it";
}

// Folders: made one at a time and listed as FindFirstFileA and FindNextFileA see them.
class FolderPortTest : public FilePortTest {
 protected:
  FolderPortTest() {
    // The fake's files outlive one test; every test gets a folder of its own.
    static int made = 0;
    folder_ = ScratchFolder() + "folder port test " + std::to_string(++made);
  }
  void TearDown() override {
    files_.Delete(folder_ + "\\one.txt");
    FilePortTest::TearDown();
  }
  // Sorted, as the order of a listing is the file system's own.
  std::vector<std::string> Listing(const std::string& folder) {
    std::vector<FolderEntry> entries = files_.ListFolder(folder);
    std::sort(entries.begin(), entries.end(),
              [](const auto& a, const auto& b) { return a.name < b.name; });
    std::vector<std::string> names;
    for (const FolderEntry& entry : entries) {
      names.push_back(entry.name + (entry.is_folder ? "\\" : "") +
                      (entry.is_reparse_point ? " (link)" : ""));
    }
    return names;
  }

  std::string folder_;
};

TEST_F(FolderPortTest, AFolderIsMadeOnceAndThenFoundThere) {
  EXPECT_EQ(files_.CreateFolder(folder_), CreateFolderResult::kCreated);
  EXPECT_TRUE(files_.Exists(folder_));
  EXPECT_EQ(files_.CreateFolder(folder_), CreateFolderResult::kAlreadyExists);
  EXPECT_EQ(files_.CreateFolder(folder_ + "\\"), CreateFolderResult::kAlreadyExists);
}

TEST_F(FolderPortTest, AFolderNeedsItsParentAndAFileTakesTheName) {
  EXPECT_EQ(files_.CreateFolder(folder_ + "\\missing\\inner"), CreateFolderResult::kFailed);
  EXPECT_FALSE(files_.Exists(folder_ + "\\missing"));
  Put(path_, "a file");
  EXPECT_EQ(files_.CreateFolder(path_), CreateFolderResult::kAlreadyExists);
  EXPECT_EQ(ReadAll(), "a file");
}

// A folder of the program's own: tried for writing without a trace, and removed only once empty.
TEST_F(FolderPortTest, TriedForWritingWithoutATraceAndRemovedOnlyWhenEmpty) {
  ASSERT_EQ(files_.CreateFolder(folder_), CreateFolderResult::kCreated);
  const std::vector<std::string> before = Listing(folder_);
  EXPECT_TRUE(files_.CanCreateFilesIn(folder_));
  EXPECT_EQ(Listing(folder_), before);
  EXPECT_FALSE(files_.CanCreateFilesIn(folder_ + "\\missing"));

  ASSERT_EQ(files_.CreateFolder(folder_ + "\\Inner"), CreateFolderResult::kCreated);
  Put(folder_ + "\\one.txt", "1");
  EXPECT_FALSE(files_.RemoveFolder(folder_));
  EXPECT_TRUE(files_.RemoveFolder(folder_ + "\\Inner"));
  EXPECT_FALSE(files_.RemoveFolder(folder_)) << "a file is left in it";
  EXPECT_EQ(ReadAll(folder_ + "\\one.txt"), "1");

  ASSERT_TRUE(files_.Delete(folder_ + "\\one.txt"));
  EXPECT_TRUE(files_.RemoveFolder(folder_));
  EXPECT_FALSE(files_.Exists(folder_));
  EXPECT_FALSE(files_.RemoveFolder(folder_)) << "gone already";
}

TEST_F(FolderPortTest, AListingHoldsTheDotsTheFilesAndTheFolders) {
  ASSERT_EQ(files_.CreateFolder(folder_), CreateFolderResult::kCreated);
  ASSERT_EQ(files_.CreateFolder(folder_ + "\\Inner"), CreateFolderResult::kCreated);
  Put(folder_ + "\\one.txt", "1");

  const std::vector<std::string> expected = {".\\", "..\\", "Inner\\", "one.txt"};
  EXPECT_EQ(Listing(folder_), expected);
  EXPECT_EQ(Listing(folder_ + "\\"), expected) << "a trailing backslash is fine";
  EXPECT_EQ(Listing(folder_ + "\\Inner"), (std::vector<std::string>{".\\", "..\\"}));
}

TEST_F(FolderPortTest, WhatCannotBeListedGivesNothing) {
  EXPECT_EQ(Listing(folder_), std::vector<std::string>{}) << "a missing folder";
  Put(path_, "a file");
  EXPECT_EQ(Listing(path_), std::vector<std::string>{}) << "a file";
}

TEST_F(FolderPortTest, AMovedFileLeavesOneListingForAnother) {
  ASSERT_EQ(files_.CreateFolder(folder_), CreateFolderResult::kCreated);
  ASSERT_EQ(files_.CreateFolder(folder_ + "\\parked"), CreateFolderResult::kCreated);
  Put(folder_ + "\\one.txt", "1");
  ASSERT_TRUE(files_.Move(folder_ + "\\one.txt", folder_ + "\\parked\\one.txt"));
  EXPECT_EQ(Listing(folder_ + "\\parked"), (std::vector<std::string>{".\\", "..\\", "one.txt"}));
  EXPECT_TRUE(files_.Move(folder_ + "\\parked\\one.txt", folder_ + "\\one.txt"));
}

}  // namespace
}  // namespace sg::platform
