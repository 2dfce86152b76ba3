#pragma once

#include <string>

namespace sg::platform {

// Reading initialisation files (KERNEL32's private profile functions), and where a user may keep
// them. The program writes them itself, through a whole new file, so that an interrupted save
// leaves the old file whole.
class ProfilePort {
 public:
  virtual ~ProfilePort() = default;
  // SHGetFolderPathA with CSIDL_APPDATA: the user's own application-data folder; empty when the
  // system names none.
  virtual std::string ApplicationDataFolder() = 0;
  // GetPrivateProfileIntA: the entry's leading number, or the default when there is no entry.
  virtual int GetPrivateProfileInt(const std::string& section, const std::string& key,
                                   int default_value, const std::string& file) = 0;
};

}  // namespace sg::platform
