// The file port's contract, on the fake natively and on the real files under Wine.
#include <gtest/gtest.h>

#include <string>

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

}  // namespace
}  // namespace sg::platform
