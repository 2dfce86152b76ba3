#include "platform/fake/fake_file_system.h"

#include <gtest/gtest.h>

#include <algorithm>

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

// Junctions, so that walks over folder trees can meet links and loops.

std::vector<std::string> Names(const std::vector<FolderEntry>& entries) {
  std::vector<std::string> names;
  for (const auto& entry : entries) {
    names.push_back(entry.name + (entry.is_reparse_point ? " (link)"
                                  : entry.is_folder      ? "\\"
                                                         : ""));
  }
  return names;
}

TEST(FakeFileSystemTest, AJunctionIsListedAsALinkedFolderAndLeadsIntoItsTarget) {
  FakeFileSystem files;
  files.PutFile("C:\\Data\\Real\\inside.txt", "x");
  files.MakeJunction("C:\\Data\\Shortcut", "C:\\Data\\Real");

  EXPECT_EQ(Names(files.ListFolder("C:\\Data")),
            (std::vector<std::string>{".\\", "..\\", "Real\\", "Shortcut (link)"}));
  EXPECT_EQ(Names(files.ListFolder("c:\\data\\shortcut")),
            (std::vector<std::string>{".\\", "..\\", "inside.txt"}));
  EXPECT_TRUE(files.Move("C:\\Data\\Shortcut\\inside.txt", "C:\\Data\\Shortcut\\moved.txt"));
  EXPECT_EQ(Read(files, "C:\\Data\\Real\\moved.txt"), "x");
}

TEST(FakeFileSystemTest, AJunctionToAFolderAboveItMakesALoopThatEndsInNothing) {
  FakeFileSystem files;
  files.MakeJunction("C:\\Tree\\Back", "C:\\Tree");
  EXPECT_EQ(Names(files.ListFolder("C:\\Tree\\Back\\Back\\Back")),
            (std::vector<std::string>{".\\", "..\\", "Back (link)"}));
  std::string deep = "C:\\Tree";
  for (int i = 0; i < 100; ++i) deep += "\\Back";
  EXPECT_EQ(files.ListFolder(deep).size(), 0u) << "too many links to follow";
}

TEST(FakeFileSystemTest, ListingsHoldNamesAsSpelledSortedAndNoDotsAtADrivesRoot) {
  FakeFileSystem files;
  files.PutFile("C:\\Sorted\\b.txt", "");
  files.PutFile("C:\\Sorted\\Apple\\x.txt", "");
  files.PutFile("C:\\Sorted\\Deeper\\Down\\y.txt", "");
  EXPECT_EQ(Names(files.ListFolder("C:\\Sorted")),
            (std::vector<std::string>{".\\", "..\\", "Apple\\", "b.txt", "Deeper\\"}));
  const auto root = Names(files.ListFolder("C:\\"));
  EXPECT_EQ(std::count(root.begin(), root.end(), ".\\"), 0);
  EXPECT_EQ(std::count(root.begin(), root.end(), "Sorted\\"), 1);
  EXPECT_EQ(files.ListFolder("C:\\Sorted\\b.txt").size(), 0u);
}

}  // namespace
}  // namespace sg::platform::fake
