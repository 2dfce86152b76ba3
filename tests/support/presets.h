#pragma once

// The built-in registry presets as the program's resources hold them, for tests that run the
// tools which import them.
#include <cstdint>
#include <fstream>
#include <iterator>
#include <vector>

#include "platform/fake/fake_platform.h"
#include "settings/registry_presets.h"

namespace sg::testing {

// The hijack repair imports this one to set the search pages back.
inline void AddHijackRepairPreset(platform::fake::FakePlatform& platform) {
  std::ifstream in(SNAPGATE_PRESET_BLOB_DIR "/hijack_repair.bin", std::ios::binary);
  const std::vector<std::uint8_t> blob{std::istreambuf_iterator<char>(in), {}};
  platform.resources.Add(static_cast<std::uint16_t>(settings::RegistryPreset::kHijackRepair), "TXT",
                         blob);
}

}  // namespace sg::testing
