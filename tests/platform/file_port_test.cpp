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
  void TearDown() override { files_.Delete(path_); }

  std::string ReadAll() {
    auto file = files_.Open(path_, FileOpenMode::kReadOnly);
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

}  // namespace
}  // namespace sg::platform
