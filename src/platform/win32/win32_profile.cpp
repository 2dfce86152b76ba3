#include "platform/win32/win32_profile.h"

#include <windows.h>

#include <shlobj.h>

#include "platform/win32/unclashed_names.h"

namespace sg::platform::win32 {

std::string Win32Profile::ApplicationDataFolder() {
  char folder[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder))) {
    return {};
  }
  return folder;
}

int Win32Profile::GetPrivateProfileInt(const std::string& section, const std::string& key,
                                       int default_value, const std::string& file) {
  return static_cast<int>(
      GetPrivateProfileIntA(section.c_str(), key.c_str(), default_value, file.c_str()));
}

}  // namespace sg::platform::win32
