// The built-in registry presets: import text stored scrambled as a resource, written out block
// by block as an import file and handed to the registry editor. The input is tried both as the
// import text, scrambled as the build scrambles it, and as the stored bytes themselves.
#include <optional>
#include <string>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "platform/fake/fake_platform.h"
#include "platform/fake/fake_regedit.h"
#include "settings/preset_scrambling.h"
#include "settings/registry_presets.h"

namespace {

using sg::fuzz::Check;
using sg::settings::RegistryPreset;

// What the registry editor was given, once imported into the fake registry.
std::optional<std::string> Applied(const std::vector<std::uint8_t>& stored, RegistryPreset preset) {
  sg::platform::fake::FakePlatform platform;
  platform.resources.Add(static_cast<std::uint16_t>(preset), "TXT", stored);
  std::optional<std::string> imported;
  platform.shell.InstallProgram("regedit", [&](const std::string&) {
    imported = platform.files.FileContent(sg::settings::kPresetImportFile);
    if (imported) sg::platform::fake::ImportRegText(*imported, platform.ports().registry);
  });
  sg::settings::ApplyRegistryPreset(platform.ports(), preset);
  Check(!platform.files.Exists(sg::settings::kPresetImportFile) &&
            !platform.files.Exists(sg::settings::kPresetDataFile),
        "no work file stays behind");
  Check(platform.registry.OpenHandleCount() == 0, "every key opened is closed");
  return imported;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  const std::string_view text = sg::fuzz::TextOf(data, size);
  const std::vector<std::uint8_t> bytes(data, data + size);

  const auto as_text = Applied(sg::settings::ScramblePreset(bytes), RegistryPreset::kHijackRepair);
  Check(as_text.has_value(), "a preset that is there is imported");
  Check(as_text->size() <= size, "descrambling never adds bytes");
  if (text.starts_with("RE") && text.find('\0') == std::string_view::npos) {
    Check(*as_text == text, "an import text without zero bytes comes back as it was");
  }

  const auto as_stored = Applied(bytes, RegistryPreset::kAdwareProtectionOn);
  Check(as_stored.has_value() && as_stored->size() <= size, "stored bytes only ever shrink");
  return 0;
}
