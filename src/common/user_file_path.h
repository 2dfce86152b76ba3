#pragma once

#include <string>
#include <string_view>

#include "platform/ports/system.h"

namespace sg {

// A user's own file (the lists, the safe plug-ins, the allowed programs) by its full path.
// Start-up chooses their folder and makes it the current directory (app/user_files_folder.h),
// so the lists open there by bare name and the registry presets' work files are made there too.
inline std::string UserFilePath(platform::SystemPort& system, std::string_view name) {
  return system.CurrentDirectory() + "\\" + std::string(name);
}

}  // namespace sg
