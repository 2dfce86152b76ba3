#include <windows.h>

#include "platform/win32/win32_files.h"
#include "platform/win32/win32_registry.h"
#include "support/system_under_test.h"

namespace sg::testing {

platform::RegistryPort& RegistryUnderTest() {
  static platform::win32::Win32Registry registry;
  return registry;
}

platform::FilePort& FilesUnderTest() {
  static platform::win32::Win32Files files;
  return files;
}

std::string ScratchFolder() {
  static const std::string folder = [] {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string path =
        std::string(temp) + "snapgate-tests-" + std::to_string(GetCurrentProcessId()) + "\\";
    CreateDirectoryA(path.c_str(), nullptr);
    return path;
  }();
  return folder;
}

}  // namespace sg::testing
