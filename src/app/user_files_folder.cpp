#include "app/user_files_folder.h"

#include <algorithm>
#include <string_view>

#include "browser/list_dialogs.h"
#include "common/ascii.h"
#include "common/program_folder.h"
#include "common/user_data_folder.h"
#include "common/whole_file.h"
#include "settings/registry_store.h"
#include "tools/allowed_programs.h"
#include "tools/safe_plugins.h"

namespace sg::app {

namespace {

constexpr std::string_view kUserFiles[] = {
    browser::BlockListDialog::kFileName, browser::SafeSiteDialog::kFileName,
    tools::kSafePluginFileName, tools::kAllowedProgramsFileName};
// Far above any list a user keeps: a larger file beside the program is not copied.
constexpr std::size_t kLargestStartingList = 8u << 20;

// A folder as two spellings of it compare: backslashes, none at the end, upper case. Empty when
// it is no plain full path (relative, or with "." or ".." or an empty part), which matches none.
std::string ComparableFolder(std::string folder) {
  std::replace(folder.begin(), folder.end(), '/', '\\');
  while (folder.size() > 1 && folder.back() == '\\') folder.pop_back();
  const bool on_drive = folder.size() >= 2 && folder[1] == ':' && AsciiUpper(folder[0]) >= 'A' &&
                        AsciiUpper(folder[0]) <= 'Z' && (folder.size() == 2 || folder[2] == '\\');
  const bool on_share = folder.starts_with("\\\\");
  if (!on_drive && !on_share) return {};
  const std::string parts = (on_share ? "\\" : "") + folder.substr(2) + "\\";
  for (const char* odd : {"\\\\", "\\.\\", "\\..\\"}) {
    if (parts.find(odd) != std::string::npos) return {};
  }
  return AsciiUpper(folder);
}

// A first start with the data folder: the files found beside the program become the user's.
void CopyStartingFiles(platform::FilePort& files, const std::string& program_folder,
                       const std::string& data_folder) {
  for (std::string_view name : kUserFiles) {
    if (files.Exists(data_folder + "\\" + std::string(name))) return;
  }
  for (std::string_view name : kUserFiles) {
    const std::optional<std::string> content =
        ReadWholeFile(files, program_folder + "\\" + std::string(name), kLargestStartingList);
    if (content) ReplaceWholeFile(files, data_folder + "\\" + std::string(name), *content);
  }
}

}  // namespace

UserFilesPlace ChooseUserFilesPlace(platform::FilePort& files, const std::string& program_folder,
                                    const std::optional<std::string>& install_location) {
  const std::string program = ComparableFolder(program_folder);
  if (install_location && !program.empty() && ComparableFolder(*install_location) == program) {
    return UserFilesPlace::kDataFolderInstalled;
  }
  return files.CanCreateFilesIn(program_folder) ? UserFilesPlace::kBesideProgram
                                                : UserFilesPlace::kDataFolderProtected;
}

void SettleUserFilesFolder(platform::Platform& platform) {
  const std::string program_folder = ProgramFolder(platform.system);
  const std::optional<std::string> install_location =
      settings::RegistryStore(platform.registry)
          .ReadExactString(platform::RegistryRoot::kLocalMachine, kUninstallKey,
                           kInstallLocationValue);
  std::string folder = program_folder;
  if (ChooseUserFilesPlace(platform.files, program_folder, install_location) !=
      UserFilesPlace::kBesideProgram) {
    const std::string data_folder = UserDataFolder(platform.profile);
    if (!data_folder.empty()) {
      platform.files.CreateFolder(data_folder);
      if (platform.files.CanCreateFilesIn(data_folder)) {
        CopyStartingFiles(platform.files, program_folder, data_folder);
        folder = data_folder;
      }
    }
  }
  platform.system.SetCurrentDirectory(folder);
}

}  // namespace sg::app
