// The Netscape walk of the Flash blocker over real folders and files of Wine.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/win32/unclashed_names.h"
#include "platform/win32/win32_files.h"
#include "tools/flash_blocker.h"

namespace sg::tools {
namespace {

using platform::CreateFolderResult;

class FlashMoverUnderWine : public ::testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH];
    ASSERT_GT(GetTempPathA(MAX_PATH, temp), 0u);
    root_ = std::string(temp) + "snapgate-flash-" + std::to_string(GetCurrentProcessId());
    netscape_ = root_ + "\\Netscape";
    plugins_ = netscape_ + "\\Plugins";
    for (const std::string& folder : {root_, netscape_, plugins_, netscape_ + "\\Components"}) {
      ASSERT_EQ(files_.CreateFolder(folder), CreateFolderResult::kCreated) << folder;
    }
    Put(plugins_ + "\\NPSWF32.dll");
    Put(netscape_ + "\\Components\\jsd3250.dll");
  }
  void TearDown() override { RemoveTree(root_); }

  void Put(const std::string& path) {
    auto file = files_.Open(path, platform::FileOpenMode::kCreateWriteOnly);
    ASSERT_TRUE(file) << path << " error " << GetLastError();
    file->Close();
  }
  bool Present(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
  }
  void RemoveTree(const std::string& folder) {
    for (const auto& entry : files_.ListFolder(folder)) {
      if (entry.name == "." || entry.name == "..") continue;
      const std::string path = folder + "\\" + entry.name;
      if (entry.is_folder) {
        RemoveTree(path);
      } else {
        DeleteFileA(path.c_str());
      }
    }
    RemoveDirectoryA(folder.c_str());
  }
  void Walk(bool restore) {
    NetscapeFlashMover mover(files_, restore);
    mover.Walk(netscape_);
  }

  platform::win32::Win32Files files_;
  std::string root_, netscape_, plugins_;
};

TEST_F(FlashMoverUnderWine, ThePluginIsParkedBesideItselfOnceAndComesBack) {
  char before[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, before);

  Walk(false);
  EXPECT_FALSE(Present(plugins_ + "\\NPSWF32.dll"));
  EXPECT_TRUE(Present(plugins_ + "\\flash_disabled\\NPSWF32.dll"));
  EXPECT_TRUE(Present(netscape_ + "\\Components\\jsd3250.dll"));

  Walk(false);
  EXPECT_TRUE(Present(plugins_ + "\\flash_disabled\\NPSWF32.dll"));
  EXPECT_EQ(GetFileAttributesA((plugins_ + "\\flash_disabled\\flash_disabled").c_str()),
            INVALID_FILE_ATTRIBUTES);

  Walk(true);
  EXPECT_TRUE(Present(plugins_ + "\\NPSWF32.dll"));
  EXPECT_FALSE(Present(plugins_ + "\\flash_disabled\\NPSWF32.dll"));

  char after[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, after);
  EXPECT_STREQ(after, before) << "the walk leaves the current folder alone";
}

TEST_F(FlashMoverUnderWine, TheActiveXControlInAMacromediaFolderIsParkedToo) {
  ASSERT_EQ(files_.CreateFolder(netscape_ + "\\Macromed"), CreateFolderResult::kCreated);
  Put(netscape_ + "\\Macromed\\Flash.ocx");
  // Alone: meeting Netscape's plug-in first would end the search, and Wine lists in no set order.
  ASSERT_TRUE(DeleteFileA((plugins_ + "\\NPSWF32.dll").c_str()));

  Walk(false);
  EXPECT_TRUE(Present(netscape_ + "\\Macromed\\flash_disabled\\Flash.ocx"));
  Walk(true);
  EXPECT_TRUE(Present(netscape_ + "\\Macromed\\Flash.ocx"));
}

}  // namespace
}  // namespace sg::tools
