// Where the program's libraries come from under Wine: once start-up has narrowed the search, a
// library named without a path is looked for in the system folder only, and a library of the
// same name beside the program or in the current folder is never taken.
#include "platform/win32/system_libraries.h"

#include <gtest/gtest.h>

#include <string>

namespace sg::platform::win32 {
namespace {

std::string FolderOf(const std::string& path) {
  return path.substr(0, path.rfind('\\'));
}

std::string ModulePath(HMODULE module) {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(module, path, sizeof path);
  return path;
}

std::string SystemFolder() {
  char folder[MAX_PATH] = {};
  GetSystemDirectoryA(folder, sizeof folder);
  return folder;
}

TEST(SystemLibrariesTest, ABareNameIsLookedForInTheSystemFolderOnly) {
  // The hook library lies beside this program; under a name no system has it stands for a DLL
  // that someone dropped beside the program and into the current folder.
  const std::string own_folder = FolderOf(ExecutablePath());
  const std::string planted = own_folder + "\\sgplanted.dll";
  char current[MAX_PATH] = {};
  GetTempPathA(sizeof current, current);
  const std::string planted_in_current = std::string(current) + "sgplanted.dll";
  ASSERT_TRUE(CopyFileA((own_folder + "\\SGDriver.dll").c_str(), planted.c_str(), FALSE));
  ASSERT_TRUE(CopyFileA(planted.c_str(), planted_in_current.c_str(), FALSE));
  ASSERT_TRUE(SetCurrentDirectoryA(current));

  ASSERT_TRUE(LoadLibrariesFromSystemFolderOnly()) << GetLastError();
  EXPECT_EQ(LoadLibraryA("sgplanted.dll"), nullptr);
  EXPECT_EQ(LoadSystemLibrary("sgplanted.dll"), nullptr);
  HMODULE by_full_path = LoadLibraryA(planted.c_str());
  EXPECT_NE(by_full_path, nullptr) << "a full path still loads: " << GetLastError();
  if (by_full_path) FreeLibrary(by_full_path);

  HMODULE atl = LoadSystemLibrary("atl.dll");
  ASSERT_NE(atl, nullptr) << GetLastError();
  EXPECT_EQ(FolderOf(ModulePath(atl)), SystemFolder());

  DeleteFileA(planted.c_str());
  DeleteFileA(planted_in_current.c_str());
}

}  // namespace
}  // namespace sg::platform::win32
