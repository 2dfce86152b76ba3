#pragma once

#include <string>

#include "platform/ports/platform.h"

namespace sg::settings {

// The built-in registry presets, resources of type "TXT".
enum class RegistryPreset : int {
  kAdwareProtectionOn = 117,
  kAdwareProtectionOff = 118,
  kHijackRepair = 119,
};

// Work files, relative to the current directory (the folder of the user's files); they exist
// only while a preset is applied.
inline constexpr const char* kPresetDataFile = "SnapgateSettings.dat";
inline constexpr const char* kPresetImportFile = "SnapgateSettings.reg";

// Writes the preset out as an import file and has the registry editor import it silently,
// waiting until it has ended. Does nothing for a user who may not write HKEY_LOCAL_MACHINE.
void ApplyRegistryPreset(platform::Platform& platform, int id);
inline void ApplyRegistryPreset(platform::Platform& platform, RegistryPreset preset) {
  ApplyRegistryPreset(platform, static_cast<int>(preset));
}

// Runs the Windows folder's registry editor silently on an import file and waits for it. True
// when the shell started it.
bool ImportRegistryFile(platform::Platform& platform, const std::string& path);

}  // namespace sg::settings
