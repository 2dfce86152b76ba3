#include "tools/flash_blocker.h"

#include "common/ascii.h"
#include "common/program_folder.h"
#include "settings/registry_store.h"

namespace sg::tools {

namespace {

constexpr const char* kCaption = "Snapgate!";
// Netscape keeps its plug-ins a few folders down; deeper trees are not the browser's.
constexpr int kMaxFolderDepth = 32;
// Meeting Netscape's own plug-in ends the search for more folders.
constexpr int kEnoughFound = 2;

bool Contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

// The folder's path without its last part.
std::string ParentOf(const std::string& folder) {
  const auto slash = folder.rfind('\\');
  return slash == std::string::npos ? std::string() : folder.substr(0, slash);
}

bool WriteKillBit(platform::Platform& platform, std::uint32_t flags) {
  settings::RegistryStore store(platform.registry);
  return store.WriteMachineDword(kFlashCompatibilitySection, kCompatibilityFlagsValue, flags);
}

// On the program's own drive; the current directory may be the user's data folder.
void MoveNetscapePlugins(platform::Platform& platform, bool restore) {
  NetscapeFlashMover(platform.files, restore)
      .Walk(NetscapeFolderOn(ProgramFolder(platform.system)));
}

void StoreOption(platform::Platform& platform, bool on) {
  settings::RegistryStore(platform.registry)
      .WriteString(settings::kProgramSection, kBlockFlashSetting, on ? "1" : "0");
}

}  // namespace

bool IsFlashPluginFile(std::string_view name, std::string_view path) {
  const std::string upper_name = AsciiUpper(name);
  const std::string upper_path = AsciiUpper(path);
  return (Contains(upper_name, "FLASH") && Contains(upper_name, ".OCX") &&
          Contains(upper_path, "MACRO")) ||
         (Contains(upper_name, "NPSWF32") && Contains(upper_path, "NETSCAPE"));
}

bool IsMovedAway(std::string_view path) {
  return Contains(AsciiUpper(path), "FLASH_DISABLED");
}

std::string NetscapeFolderOn(std::string_view folder) {
  std::string_view root;
  if (folder.size() >= 2 && folder[1] == ':') {
    root = folder.substr(0, 2);
  } else if (folder.starts_with("\\\\")) {
    // A share's root is "\\server\share".
    const auto server_end = folder.find('\\', 2);
    const auto share_end = server_end == std::string_view::npos ? std::string_view::npos
                                                                : folder.find('\\', server_end + 1);
    root = folder.substr(0, share_end);
  }
  return std::string(root) + std::string(kNetscapeFolder);
}

void NetscapeFlashMover::Walk(const std::string& folder, int depth) {
  if (found_count_ >= kEnoughFound) return;
  // The whole listing first: folders made and files moved during the walk are not met again.
  for (const platform::FolderEntry& entry : files_.ListFolder(folder)) {
    if (entry.name == "." || entry.name == "..") continue;
    // A junction may lead back up the tree; following it could walk for ever.
    if (entry.is_folder && !entry.is_reparse_point && depth < kMaxFolderDepth) {
      Walk(folder + "\\" + entry.name, depth + 1);
    }
    MovePluginFile(folder, entry.name);
  }
}

void NetscapeFlashMover::MovePluginFile(const std::string& folder, const std::string& name) {
  const std::string path = folder + "\\" + name;
  if (!IsFlashPluginFile(name, path)) return;
  last_found_path_ = path;
  ++found_count_;
  if (Contains(AsciiUpper(name), "NPSWF32")) found_count_ = kEnoughFound;

  // Absolute paths throughout: the process's current folder is never changed, so nothing that
  // relies on it (the list files, opened by bare name) is disturbed.
  if (!restore_) {
    if (IsMovedAway(path)) return;
    const std::string disabled_folder = folder + "\\" + std::string(kFlashDisabledFolder);
    files_.CreateFolder(disabled_folder);  // one left by an earlier block is fine
    files_.Move(path, disabled_folder + "\\" + name);
  } else if (IsMovedAway(path)) {
    files_.Move(path, ParentOf(folder) + "\\" + name);
  }
}

bool BlockFlash(platform::Platform& platform) {
  const bool written = WriteKillBit(platform, kFlashKillBit);
  MoveNetscapePlugins(platform, false);
  return written;
}

bool UnblockFlash(platform::Platform& platform) {
  const bool written = WriteKillBit(platform, 0);
  MoveNetscapePlugins(platform, true);
  return written;
}

bool BlockFlashOptionOn(platform::RegistryPort& registry) {
  return settings::RegistryStore(registry).ReadInt(settings::kProgramSection, kBlockFlashSetting) ==
         1;
}

bool OnBlockFlashToggled(platform::Platform& platform, platform::DialogHost* owner, bool checked) {
  StoreOption(platform, checked);
  if (!WriteKillBit(platform, checked ? kFlashKillBit : 0)) {
    platform.dialogs.MessageBox(
        owner, checked ? kFlashDisableNeedsAdministrator : kFlashEnableNeedsAdministrator, kCaption,
        platform::kMbIconExclamation);
    StoreOption(platform, false);
    return false;
  }
  MoveNetscapePlugins(platform, !checked);
  if (checked) {
    platform.dialogs.MessageBox(owner, kFlashDisabledMessage, kCaption,
                                platform::kMbIconInformation);
  }
  return checked;
}

}  // namespace sg::tools
