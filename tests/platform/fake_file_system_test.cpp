#include "platform/fake/fake_file_system.h"

#include <gtest/gtest.h>

namespace sg::platform::fake {
namespace {

std::string Read(FakeFileSystem& files, const std::string& path) {
  auto content = files.FileContent(path);
  return content ? *content : "<missing>";
}

TEST(FakeFileSystemTest, PathsFollowWindowsRules) {
  FakeFileSystem files;
  files.SetCurrentDirectory("C:\\Program Files\\Snapgate!");
  EXPECT_EQ(files.FullPath("filters.txt"), "C:\\Program Files\\Snapgate!\\filters.txt");
  EXPECT_EQ(files.FullPath("c:/windows/INF/../inf/./iereset.inf"), "C:\\windows\\inf\\iereset.inf");
  EXPECT_EQ(files.FullPath("\\Windows"), "C:\\Windows");
  EXPECT_EQ(files.FullPath("C:sounds\\default.wav"),
            "C:\\Program Files\\Snapgate!\\sounds\\default.wav");

  files.PutFile("FILTERS.TXT", "x");
  EXPECT_TRUE(files.Exists("c:\\program files\\snapgate!\\filters.txt"));
  EXPECT_EQ(files.FilesIn("C:\\Program Files\\Snapgate!"), std::vector<std::string>{"FILTERS.TXT"});
}

TEST(FakeFileSystemTest, FilesCannotBeCreatedInMissingFoldersOrOverReadOnlyOnes) {
  FakeFileSystem files;
  EXPECT_FALSE(files.Open("C:\\No Such Folder\\a.txt", FileOpenMode::kCreateWriteOnly));
  files.PutFile("locked.txt", "keep");
  files.SetReadOnly("locked.txt", true);
  EXPECT_FALSE(files.Open("locked.txt", FileOpenMode::kCreateWriteOnly));
  EXPECT_FALSE(files.Delete("locked.txt"));
  EXPECT_EQ(Read(files, "locked.txt"), "keep");
}

TEST(FakeFileSystemTest, InjectedFailuresHitWritesReadsAndCloses) {
  FakeFileSystem files;
  files.FailWritesAfter(3);
  auto file = files.Open("a.txt", FileOpenMode::kCreateWriteOnly);
  const std::uint8_t bytes[] = {'a', 'b', 'c', 'd'};
  EXPECT_TRUE(file->Write({bytes, 2}));
  EXPECT_FALSE(file->Write({bytes, 2}));
  file->Close();

  files.FailReadsOf("b.txt");
  files.FailClosesOf("b.txt");
  files.PutFile("b.txt", "text");
  auto in = files.Open("b.txt", FileOpenMode::kReadOnly);
  std::uint8_t buffer[4];
  EXPECT_FALSE(in->Read(buffer).has_value());
  EXPECT_FALSE(in->Close());
  EXPECT_TRUE(files.Delete("b.txt")) << "a failed close still releases the file";
}

}  // namespace
}  // namespace sg::platform::fake
