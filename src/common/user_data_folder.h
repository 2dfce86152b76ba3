#pragma once

#include <string>

#include "platform/ports/profile.h"

namespace sg {

// The program's own folder in the user's application-data folder, where the per-user files
// lie (dialog sizes, the protection history); empty when the system names no such folder.
inline std::string UserDataFolder(platform::ProfilePort& profile) {
  const std::string folder = profile.ApplicationDataFolder();
  if (folder.empty()) return {};
  return folder + "\\Snapgate!";
}

}  // namespace sg
