// Initialisation files through the real KERNEL32 of Wine, in a scratch folder.
#include "platform/win32/win32_profile.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "common/ini_text.h"
#include "platform/win32/unclashed_names.h"

namespace sg::platform::win32 {
namespace {

class ProfileUnderWine : public ::testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH] = {};
    ASSERT_GT(GetTempPathA(sizeof temp, temp), 0u);
    folder_ = std::string(temp) + "sg-profile-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder_.c_str(), nullptr);
    file_ = folder_ + "\\Snapgate!.ini";
    DeleteFileA(file_.c_str());
  }
  void TearDown() override {
    DeleteFileA(file_.c_str());
    RemoveDirectoryA(folder_.c_str());
  }
  void Put(const std::string& content) {
    HANDLE out = CreateFileA(file_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(out, INVALID_HANDLE_VALUE) << GetLastError();
    DWORD written = 0;
    WriteFile(out, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    CloseHandle(out);
  }

  Win32Profile profile_;
  std::string folder_;
  std::string file_;
};

TEST_F(ProfileUnderWine, TheApplicationDataFolderExists) {
  const std::string folder = profile_.ApplicationDataFolder();
  ASSERT_FALSE(folder.empty());
  const DWORD attributes = GetFileAttributesA(folder.c_str());
  EXPECT_NE(attributes, INVALID_FILE_ATTRIBUTES) << folder;
  EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY) << folder;
}

// The program writes the file itself; the system must read what it wrote.
TEST_F(ProfileUnderWine, EntriesThatTheProgramWritesAreWhatTheSystemReads) {
  EXPECT_EQ(profile_.GetPrivateProfileInt("67", "CX", 0, file_), 0);
  std::string content = "[6a]\r\nCX=9\r\n[67]\r\nCX=1\r\nOther=2\r\n\r\n[68]\r\n";
  content = WithIniEntry(content, "67", "cx", "566");
  content = WithIniEntry(content, "67", "CY", "487");
  Put(content);
  EXPECT_EQ(profile_.GetPrivateProfileInt("67", "CX", 0, file_), 566);
  EXPECT_EQ(profile_.GetPrivateProfileInt("67", "cy", 0, file_), 487);
  EXPECT_EQ(profile_.GetPrivateProfileInt("67", "Other", 0, file_), 2);
  EXPECT_EQ(profile_.GetPrivateProfileInt("6A", "CX", 0, file_), 9);
  EXPECT_EQ(profile_.GetPrivateProfileInt("68", "CX", 7, file_), 7);
}

TEST_F(ProfileUnderWine, DamagedEntriesReadAsTheirLeadingNumber) {
  // What the fake profile must answer alike.
  Put("[67]\r\nCX=wide\r\nCY=450px\r\nA= 0x200 \r\nB=-50\r\n");
  EXPECT_EQ(profile_.GetPrivateProfileInt("67", "CX", 9, file_), 0);
  EXPECT_EQ(profile_.GetPrivateProfileInt("67", "CY", 9, file_), 450);
  EXPECT_EQ(profile_.GetPrivateProfileInt("67", "A", 9, file_), 512);
  EXPECT_EQ(profile_.GetPrivateProfileInt("67", "B", 9, file_), -50);
}

}  // namespace
}  // namespace sg::platform::win32
