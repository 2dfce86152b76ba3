// The built-in presets against the real registry editor and registry of Wine.
#include <windows.h>

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "platform/fake/limited_user_registry.h"
#include "platform/win32/win32_platform.h"
#include "settings/preset_scrambling.h"
#include "settings/registry_presets.h"
#include "settings/registry_store.h"

namespace sg::settings {
namespace {

using platform::RegistryRoot;

// The keys a preset names, read from the preset embedded in this executable.
struct PresetKeys {
  std::vector<std::string> domain_keys;    // below HKEY_CURRENT_USER
  std::vector<std::string> kill_bit_keys;  // below HKEY_LOCAL_MACHINE
};

PresetKeys KeysOfPreset(platform::ResourcePort& resources, int id) {
  const auto handle = resources.Find(static_cast<std::uint16_t>(id), "TXT");
  const std::uint8_t* stored = resources.Load(handle);
  std::vector<std::uint8_t> text;
  DescramblePresetBlock({stored, resources.Size(handle)}, true, text);
  std::istringstream lines(std::string(text.begin(), text.end()));
  PresetKeys keys;
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::string user = "[HKEY_CURRENT_USER\\";
    const std::string machine = "[HKEY_LOCAL_MACHINE\\";
    if (line.starts_with(user) && line.find("\\ZoneMap\\Domains\\") != std::string::npos) {
      keys.domain_keys.push_back(line.substr(user.size(), line.size() - user.size() - 1));
    } else if (line.starts_with(machine) &&
               line.find("ActiveX Compatibility") != std::string::npos) {
      keys.kill_bit_keys.push_back(line.substr(machine.size(), line.size() - machine.size() - 1));
    }
  }
  return keys;
}

// Counts what is started, so a test can tell that the registry editor never ran.
class CountingShell final : public platform::ShellPort {
 public:
  explicit CountingShell(platform::ShellPort& inner) : inner_(inner) {}
  platform::ShellExecuteResult Execute(const platform::ShellExecuteRequest& request) override {
    ++started;
    return inner_.Execute(request);
  }
  void WaitForProcess(platform::ProcessHandle process) override { inner_.WaitForProcess(process); }
  void CloseProcessHandle(platform::ProcessHandle process) override {
    inner_.CloseProcessHandle(process);
  }
  std::uint32_t WinExec(const std::string& command_line, int show_command) override {
    ++started;
    return inner_.WinExec(command_line, show_command);
  }
  int started = 0;

 private:
  platform::ShellPort& inner_;
};

class RegistryPresetsUnderWine : public ::testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    folder_ = std::string(temp) + "snapgate-presets-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder_.c_str(), nullptr);
    GetCurrentDirectoryA(MAX_PATH, temp);
    previous_folder_ = temp;
    SetCurrentDirectoryA(folder_.c_str());
  }
  void TearDown() override {
    SetCurrentDirectoryA(previous_folder_.c_str());
    RemoveDirectoryA(folder_.c_str());
  }

  std::vector<std::string> FilesInFolder() {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder_ + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
      const std::string name = found.cFileName;
      if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
  }

  platform::win32::Win32Platform windows_;
  RegistryStore store_{windows_.ports().registry};
  std::string folder_;
  std::string previous_folder_;
};

TEST_F(RegistryPresetsUnderWine, ProtectionOnWritesThePresetAndProtectionOffTakesItBack) {
  const PresetKeys keys = KeysOfPreset(windows_.ports().resources, 117);
  ASSERT_GE(keys.domain_keys.size(), 100u);
  ASSERT_GE(keys.kill_bit_keys.size(), 1u);

  ApplyRegistryPreset(windows_.ports(), RegistryPreset::kAdwareProtectionOn);
  for (const auto& key : keys.domain_keys) {
    EXPECT_EQ(store_.ReadDword(key.substr(9), "*"), 4u) << key;
  }
  for (const auto& key : keys.kill_bit_keys) {
    EXPECT_EQ(store_.ReadDword(key.substr(9), "Compatibility Flags", RegistryRoot::kLocalMachine),
              0x400u)
        << key;
  }
  EXPECT_EQ(FilesInFolder(), std::vector<std::string>{});

  ApplyRegistryPreset(windows_.ports(), RegistryPreset::kAdwareProtectionOff);
  for (const auto& key : keys.domain_keys) {
    platform::RegistryKey handle = 0;
    EXPECT_EQ(windows_.ports().registry.OpenKey(RegistryRoot::kCurrentUser, key,
                                                platform::key_access::kRead, handle),
              platform::WinError::kFileNotFound)
        << key;
  }
  for (const auto& key : keys.kill_bit_keys) {
    EXPECT_EQ(store_.ReadDword(key.substr(9), "Compatibility Flags", RegistryRoot::kLocalMachine),
              0xFFFFFFFFu)
        << key;
  }
  EXPECT_EQ(FilesInFolder(), std::vector<std::string>{});
  EXPECT_EQ(
      store_.ReadStringAt(RegistryRoot::kLocalMachine, "Software\\SnapgateTestValue", "TestValue"),
      "");
}

TEST_F(RegistryPresetsUnderWine, HijackRepairSetsTheSearchPageBack) {
  store_.WriteString("Microsoft\\Internet Explorer\\Main", "Search Page", "http://hijacker.test/");
  ApplyRegistryPreset(windows_.ports(), RegistryPreset::kHijackRepair);
  EXPECT_EQ(store_.ReadString("Microsoft\\Internet Explorer\\Main", "Search Page"),
            "http://www.microsoft.com/isapi/redir.dll?prd=ie&ar=iesearch");
  EXPECT_EQ(FilesInFolder(), std::vector<std::string>{});
}

TEST_F(RegistryPresetsUnderWine, ALimitedUserChangesNothingAndStartsNothing) {
  platform::fake::LimitedUserRegistry limited(windows_.ports().registry);
  limited.SetLimited(true);
  CountingShell shell(windows_.ports().shell);
  auto& real = windows_.ports();
  platform::Platform user{limited,        real.files,  real.resources, shell,
                          real.windows,   real.system, real.dialogs,   real.tray,
                          real.processes, real.hooks,  real.browsers,  real.url_cache,
                          real.profile,   real.crypto, real.internet};
  const PresetKeys keys = KeysOfPreset(windows_.ports().resources, 117);
  ApplyRegistryPreset(windows_.ports(), RegistryPreset::kAdwareProtectionOff);

  ApplyRegistryPreset(user, RegistryPreset::kAdwareProtectionOn);
  EXPECT_EQ(shell.started, 0);
  EXPECT_EQ(FilesInFolder(), std::vector<std::string>{});
  EXPECT_EQ(store_.ReadDword(keys.domain_keys.front().substr(9), "*"), 0xFFFFFFFFu);
  EXPECT_EQ(
      store_.ReadStringAt(RegistryRoot::kLocalMachine, "Software\\SnapgateTestValue", "TestValue"),
      "");
}

}  // namespace
}  // namespace sg::settings
