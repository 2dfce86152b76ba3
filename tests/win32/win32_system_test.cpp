// The process and what it knows of the system, through the real KERNEL32 of Wine.
#include "platform/win32/win32_system.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <future>
#include <string>

#include "platform/win32/unclashed_names.h"

namespace sg::platform::win32 {
namespace {

class SystemPortUnderWine : public ::testing::Test {
 protected:
  std::string UniqueName(const std::string& what) {
    return "Snapgate" + what + std::to_string(GetCurrentProcessId());
  }
  Win32System system_;
};

TEST_F(SystemPortUnderWine, SecondMutexOfTheSameNameKnowsTheFirstExists) {
  const std::string name = UniqueName("Mutex");
  const CreatedMutex first = system_.CreateNamedMutex(name);
  ASSERT_NE(first.handle, 0u);
  EXPECT_FALSE(first.already_existed);

  const CreatedMutex second = system_.CreateNamedMutex(name);
  EXPECT_NE(second.handle, 0u);
  EXPECT_TRUE(second.already_existed);

  const CreatedMutex other = system_.CreateNamedMutex(UniqueName("OtherMutex"));
  EXPECT_FALSE(other.already_existed);

  system_.CloseHandle(first.handle);
  system_.CloseHandle(second.handle);
  system_.CloseHandle(other.handle);
  // With every handle closed the name is free again.
  const CreatedMutex again = system_.CreateNamedMutex(name);
  EXPECT_FALSE(again.already_existed);
  system_.CloseHandle(again.handle);
}

TEST_F(SystemPortUnderWine, TheLocalTimeIsTodayAndTheTemporaryFolderIsThere) {
  SYSTEMTIME now;
  GetLocalTime(&now);
  const LocalDateTime local = system_.LocalTime();
  EXPECT_EQ(local.year, now.wYear);
  EXPECT_EQ(local.month, now.wMonth);
  EXPECT_GE(local.day, 1);
  EXPECT_LE(local.hour, 23);

  const std::string folder = system_.TemporaryFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), '\\');
  const DWORD attributes = GetFileAttributesA(folder.c_str());
  ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES) << folder;
  EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

TEST_F(SystemPortUnderWine, TheMutexIsOwnedByItsCreator) {
  const std::string name = UniqueName("OwnedMutex");
  const CreatedMutex created = system_.CreateNamedMutex(name);
  ASSERT_NE(created.handle, 0u);
  // Another thread cannot take it while this thread owns it.
  const DWORD waited = std::async(std::launch::async, [&] {
                         HANDLE opened = OpenMutexA(SYNCHRONIZE, FALSE, name.c_str());
                         const DWORD result = WaitForSingleObject(opened, 0);
                         CloseHandle(opened);
                         return result;
                       }).get();
  EXPECT_EQ(waited, static_cast<DWORD>(WAIT_TIMEOUT));
  ReleaseMutex(reinterpret_cast<HANDLE>(created.handle));
  system_.CloseHandle(created.handle);
}

TEST_F(SystemPortUnderWine, ModuleFileNameIsTheFullPathOfTheRunningExecutable) {
  const std::string path = system_.ModuleFileName();
  EXPECT_TRUE(path.ends_with("\\sg_win32_tests.exe")) << path;
  EXPECT_EQ(path.substr(1, 2), ":\\") << path;
  EXPECT_NE(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(SystemPortUnderWine, CurrentDirectoryFollowsChangesAndRefusesMissingFolders) {
  const std::string previous = system_.CurrentDirectory();
  ASSERT_FALSE(previous.empty());
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  std::string folder = std::string(temp) + UniqueName("Folder");
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));

  EXPECT_TRUE(system_.SetCurrentDirectory(folder));
  char expected[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, expected);
  EXPECT_EQ(system_.CurrentDirectory(), expected);
  EXPECT_EQ(_stricmp(system_.CurrentDirectory().c_str(), folder.c_str()), 0);

  EXPECT_FALSE(system_.SetCurrentDirectory(folder + "\\missing"));
  EXPECT_EQ(system_.CurrentDirectory(), expected);

  EXPECT_TRUE(system_.SetCurrentDirectory(previous));
  RemoveDirectoryA(folder.c_str());
}

TEST_F(SystemPortUnderWine, MajorVersionIsThatOfANtSystem) {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
  ASSERT_TRUE(GetVersionExA(&version));
  EXPECT_EQ(system_.MajorVersion(), static_cast<int>(version.dwMajorVersion));
  EXPECT_GE(system_.MajorVersion(), 5);
}

TEST_F(SystemPortUnderWine, WindowsDirectoryIsTheExistingSystemFolderWithoutATrailingBackslash) {
  char expected[MAX_PATH] = "sentinel";
  const UINT length = GetWindowsDirectoryA(expected, MAX_PATH);
  ASSERT_GT(length, 0u) << "GetWindowsDirectoryA failed, error " << GetLastError();
  const std::string folder = system_.WindowsDirectory();
  EXPECT_EQ(folder, expected);
  EXPECT_EQ(folder.substr(1, 2), ":\\") << folder;
  EXPECT_NE(folder.back(), '\\') << folder;
  const DWORD attributes = GetFileAttributesA(folder.c_str());
  ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES) << folder << ", error " << GetLastError();
  EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY) << folder;
  // Where the browser's reset file is looked for.
  EXPECT_NE(GetFileAttributesA((folder + "\\inf").c_str()), INVALID_FILE_ATTRIBUTES) << folder;
  char from_environment[MAX_PATH] = "";
  if (GetEnvironmentVariableA("SystemRoot", from_environment, MAX_PATH) > 0) {
    EXPECT_EQ(_stricmp(folder.c_str(), from_environment), 0)
        << folder << " against " << from_environment;
  }
}

TEST_F(SystemPortUnderWine, SystemDirectoryHoldsNetAndTheWindowsFolderRegedit) {
  char expected[MAX_PATH] = "sentinel";
  ASSERT_GT(GetSystemDirectoryA(expected, MAX_PATH), 0u) << "error " << GetLastError();
  EXPECT_EQ(system_.SystemDirectory(), expected);
  for (const std::string& program :
       {system_.SystemDirectory() + "\\net.exe", system_.WindowsDirectory() + "\\regedit.exe"}) {
    EXPECT_NE(GetFileAttributesA(program.c_str()), INVALID_FILE_ATTRIBUTES) << program;
  }
}

TEST_F(SystemPortUnderWine, StartedThreadRunsTheWorkOnAnotherThread) {
  std::promise<DWORD> ran_on;
  std::future<DWORD> ran = ran_on.get_future();
  system_.StartThread([&ran_on] { ran_on.set_value(GetCurrentThreadId()); });
  ASSERT_EQ(ran.wait_for(std::chrono::seconds(10)), std::future_status::ready);
  EXPECT_NE(ran.get(), GetCurrentThreadId());
}

TEST_F(SystemPortUnderWine, ExitProcessEndsTheProcessWithTheCode) {
  EXPECT_EXIT(system_.ExitProcess(7), ::testing::ExitedWithCode(7), "");
}

}  // namespace
}  // namespace sg::platform::win32
