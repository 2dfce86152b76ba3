#pragma once

#include <optional>
#include <string>

#include "platform/ports/platform.h"

namespace sg::app {

// Where the setup program records the folder it installed into.
inline constexpr const char* kUninstallKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Snapgate!";
inline constexpr const char* kInstallLocationValue = "InstallLocation";

// Where a copy of the program keeps the user's files, and why.
enum class UserFilesPlace {
  // A copy in a folder this user can write: unpacked by hand, a build's run folder.
  kBesideProgram,
  // The folder the setup program installed into, writable or not: a run with administrator
  // rights keeps the same lists as the user's other runs.
  kDataFolderInstalled,
  // A folder this user cannot write, such as Program Files for a limited user.
  kDataFolderProtected,
};

// The verdict for the program's folder, given the folder the setup program recorded, if any.
// Only a folder that is not the installed one is tried for writing.
UserFilesPlace ChooseUserFilesPlace(platform::FilePort& files, const std::string& program_folder,
                                    const std::optional<std::string>& install_location);

// At start: acts on the verdict and makes the chosen folder the current directory. Away from the
// program it is the user's "%APPDATA%\Snapgate!", which at its first use (none of the user's
// files there yet) gets copies of those found beside the program; nothing beside the program is
// written. Where that folder is unknown or cannot be made, the program's folder serves.
void SettleUserFilesFolder(platform::Platform& platform);

}  // namespace sg::app
