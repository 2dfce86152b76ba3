#include "settings/registry_presets.h"

#include <array>
#include <cstdint>
#include <vector>

#include "common/run_to_its_end.h"
#include "common/whole_file.h"
#include "settings/preset_scrambling.h"
#include "settings/registry_store.h"

namespace sg::settings {

namespace {

using platform::FileOpenMode;

constexpr const char* kPresetResourceType = "TXT";

bool MayWriteMachineSettings(platform::RegistryPort& registry) {
  RegistryStore store(registry);
  if (!store.WriteMachineString("Software\\SnapgateTestValue", "TestValue", "1")) return false;
  store.DeleteMachineKey("Software", "SnapgateTestValue");
  return true;
}

// Writes the stored bytes to the data file, then turns it block by block into the import file.
// Each file appears only whole, so that neither an import nor a user's double click ever meets
// a part of one. False on any file error.
bool WriteImportFile(platform::FilePort& files, const std::uint8_t* stored, std::uint32_t size) {
  if (!ReplaceWholeFile(files, kPresetDataFile, {reinterpret_cast<const char*>(stored), size})) {
    return false;
  }
  auto data_in = files.Open(kPresetDataFile, FileOpenMode::kReadOnly);
  if (!data_in) return false;
  bool first_block = true;
  std::array<std::uint8_t, kPresetBlockSize> block;
  std::vector<std::uint8_t> text;
  text.reserve(size + 1);
  for (;;) {
    const auto read = data_in->Read(block);
    if (!read) return false;
    DescramblePresetBlock({block.data(), *read}, first_block, text);
    first_block = false;
    if (*read < kPresetBlockSize) break;
  }
  if (!data_in->Close()) return false;
  return ReplaceWholeFile(files, kPresetImportFile,
                          {reinterpret_cast<const char*>(text.data()), text.size()});
}

}  // namespace

void ApplyRegistryPreset(platform::Platform& platform, int id) {
  if (!MayWriteMachineSettings(platform.registry)) return;

  const auto resource_id = static_cast<std::uint16_t>(id & 0xFFFF);
  const platform::ResourceHandle resource =
      platform.resources.Find(resource_id, kPresetResourceType);
  const std::uint8_t* stored = resource ? platform.resources.Load(resource) : nullptr;
  // Without the preset there is nothing to import; importing anyway could pick up a work file
  // that an interrupted earlier run left behind.
  if (stored && WriteImportFile(platform.files, stored, platform.resources.Size(resource))) {
    ImportRegistryFile(platform, kPresetImportFile);
  }
  platform.files.Delete(kPresetImportFile);
  platform.files.Delete(kPresetDataFile);
}

bool ImportRegistryFile(platform::Platform& platform, const std::string& path) {
  // By its full path: the shell looks for a bare name in the current directory first, which is
  // the user's.
  const std::string windows_folder = platform.system.WindowsDirectory();
  if (windows_folder.empty()) return false;
  platform::ShellExecuteRequest request;
  request.file = windows_folder + "\\regedit.exe";
  // Silent import, and no other switch: a registry editor that meets one it does not know (Wine's
  // does so with "/i") imports nothing.
  request.parameters = " /s \"" + path + "\"";
  request.show_command = platform::kShowDefault;
  return RunToItsEnd(platform.shell, request);
}

}  // namespace sg::settings
