#include "settings/registry_presets.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "platform/fake/fake_platform.h"
#include "settings/preset_scrambling.h"

namespace sg::settings {
namespace {

using platform::RegistryRoot;
using platform::fake::FakePlatform;

constexpr const char* kFolder = "C:\\Program Files\\Snapgate!";
const std::string kSmallPreset =
    "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\PresetTest]\r\n\"a\"=\"1\"\r\n";

std::vector<std::uint8_t> Scrambled(const std::string& text) {
  return ScramblePreset(std::vector<std::uint8_t>(text.begin(), text.end()));
}

class RegistryPresetsTest : public ::testing::Test {
 protected:
  void SetUp() override { system_.resources.Add(117, "TXT", Scrambled(kSmallPreset)); }

  // Replaces the registry editor with one that only keeps what it was asked to import.
  void CaptureImports() {
    system_.shell.InstallProgram("regedit", [this](const std::string&) {
      imported_.push_back(system_.files.FileContent(kPresetImportFile).value_or("<no file>"));
    });
  }

  void ExpectNoWorkFiles() {
    EXPECT_EQ(system_.files.FilesIn(kFolder), std::vector<std::string>{});
  }

  FakePlatform system_;
  std::vector<std::string> imported_;
};

TEST_F(RegistryPresetsTest, ThePresetIsImportedSilentlyAndNothingIsLeftBehind) {
  ApplyRegistryPreset(system_.ports(), RegistryPreset::kAdwareProtectionOn);

  EXPECT_EQ(system_.registry.GetString(RegistryRoot::kCurrentUser, "Software\\PresetTest", "a"),
            "1");
  const auto runs = system_.shell.Executions();
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0].request.file, "C:\\Windows\\regedit.exe");
  EXPECT_EQ(runs[0].request.parameters, " /s \"SnapgateSettings.reg\"");
  EXPECT_EQ(runs[0].request.show_command, platform::kShowDefault);
  EXPECT_TRUE(runs[0].waited);
  EXPECT_TRUE(runs[0].handle_closed);
  ExpectNoWorkFiles();
  EXPECT_FALSE(system_.registry.HasKey(RegistryRoot::kLocalMachine, "Software\\SnapgateTestValue"));
  EXPECT_EQ(system_.registry.OpenHandleCount(), 0u);
}

TEST_F(RegistryPresetsTest, ALimitedUserGetsNeitherWorkFilesNorTheRegistryEditor) {
  system_.SetLimitedUser(true);
  CaptureImports();
  ApplyRegistryPreset(system_.ports(), 117);
  EXPECT_TRUE(system_.shell.Executions().empty());
  ExpectNoWorkFiles();
  EXPECT_FALSE(system_.registry.HasKey(RegistryRoot::kLocalMachine, "Software\\SnapgateTestValue"));
}

TEST_F(RegistryPresetsTest, TheIdIsTakenAsA16BitNumber) {
  CaptureImports();
  ApplyRegistryPreset(system_.ports(), 0x10000 + 117);
  EXPECT_EQ(imported_, std::vector<std::string>{kSmallPreset});
}

TEST_F(RegistryPresetsTest, AMissingPresetImportsNothingNotEvenAnOldWorkFile) {
  system_.files.PutFile(kPresetImportFile, "REGEDIT4\r\n[HKEY_CURRENT_USER\\Software\\Stale]\r\n");
  CaptureImports();
  ApplyRegistryPreset(system_.ports(), 118);
  system_.resources.FailLoadOf(119, "TXT");
  ApplyRegistryPreset(system_.ports(), 119);
  EXPECT_TRUE(imported_.empty());
  ExpectNoWorkFiles();
}

TEST_F(RegistryPresetsTest, FileErrorsSkipTheImportAndStillRemoveTheWorkFiles) {
  CaptureImports();
  system_.files.FailWritesAfter(10);
  ApplyRegistryPreset(system_.ports(), 117);
  system_.files.FailWritesAfter(SIZE_MAX);

  system_.files.FailReadsOf(kPresetDataFile);
  ApplyRegistryPreset(system_.ports(), 117);
  EXPECT_TRUE(imported_.empty());
  ExpectNoWorkFiles();

  FakePlatform closing;
  closing.resources.Add(117, "TXT", Scrambled(kSmallPreset));
  // The import file is written under a name of its own until it is whole.
  closing.files.FailClosesOf(std::string(kPresetImportFile) + ".new");
  ApplyRegistryPreset(closing.ports(), 117);
  EXPECT_FALSE(closing.registry.HasKey(RegistryRoot::kCurrentUser, "Software\\PresetTest"));
  EXPECT_EQ(closing.files.FilesIn(kFolder), std::vector<std::string>{});
}

TEST_F(RegistryPresetsTest, AnImportFileThatCannotBeReplacedStopsTheImport) {
  system_.files.PutFile(kPresetImportFile, "REGEDIT4\r\n");
  system_.files.SetReadOnly(kPresetImportFile, true);
  CaptureImports();
  ApplyRegistryPreset(system_.ports(), 117);
  EXPECT_TRUE(imported_.empty());
  EXPECT_EQ(system_.files.FilesIn(kFolder), std::vector<std::string>{kPresetImportFile});
}

TEST_F(RegistryPresetsTest, OnlyTheFirstOf1024ByteBlocksIsTreatedAsTheStart) {
  // Exactly one block, then one byte more: the byte after the first block passes although it
  // is neither 'R' nor 'E'.
  std::string text = "REGEDIT4\r\n" + std::string(1024 - 10, ';');
  for (const std::string& preset : {text, text + "X"}) {
    FakePlatform system;
    system.resources.Add(117, "TXT", Scrambled(preset));
    std::string imported;
    system.shell.InstallProgram("regedit", [&](const std::string&) {
      imported = system.files.FileContent(kPresetImportFile).value_or("");
    });
    ApplyRegistryPreset(system.ports(), 117);
    EXPECT_EQ(imported, preset);
  }
}

TEST_F(RegistryPresetsTest, ZeroBytesAndAWrongStartAreDroppedFromTheImportText) {
  std::vector<std::uint8_t> stored = Scrambled("XXREGEDIT4\r\n");
  stored.insert(stored.begin() + 5, 2);  // decodes to a zero byte
  system_.resources.Add(117, "TXT", stored);
  CaptureImports();
  ApplyRegistryPreset(system_.ports(), 117);
  EXPECT_EQ(imported_, std::vector<std::string>{"REGEDIT4\r\n"});
}

// The presets built into the program.
std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

struct BuiltInPreset {
  int id;
  const char* name;
};
constexpr BuiltInPreset kBuiltIn[] = {
    {117, "adware_protection_on"}, {118, "adware_protection_off"}, {119, "hijack_repair"}};

class BuiltInPresetsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const auto& preset : kBuiltIn) {
      const std::string blob =
          ReadFile(std::string(SNAPGATE_PRESET_BLOB_DIR) + "/" + preset.name + ".bin");
      ASSERT_FALSE(blob.empty()) << preset.name;
      system_.resources.Add(static_cast<std::uint16_t>(preset.id), "TXT",
                            {blob.begin(), blob.end()});
    }
  }
  FakePlatform system_;
};

TEST_F(BuiltInPresetsTest, EachSurvivesScramblingByteForByte) {
  for (const auto& preset : kBuiltIn) {
    const std::string source =
        ReadFile(std::string(SNAPGATE_PRESET_SOURCE_DIR) + "/" + preset.name + ".reg");
    std::string imported;
    system_.shell.InstallProgram("regedit", [&](const std::string&) {
      imported = system_.files.FileContent(kPresetImportFile).value_or("");
    });
    ApplyRegistryPreset(system_.ports(), preset.id);
    EXPECT_EQ(imported, source) << preset.name;
    EXPECT_TRUE(imported.starts_with("REGEDIT4\r\n")) << preset.name;
  }
}

TEST_F(BuiltInPresetsTest, SwitchingProtectionOffUndoesSwitchingItOn) {
  system_.registry.PutString(RegistryRoot::kCurrentUser,
                             "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\"
                             "ZoneMap\\Domains\\example.org",
                             "http", "2");
  const auto before = system_.registry.Snapshot();
  ApplyRegistryPreset(system_.ports(), RegistryPreset::kAdwareProtectionOn);
  const auto during = system_.registry.Snapshot();

  std::size_t restricted_domains = 0, kill_bits = 0;
  for (const auto& [key, values] : during) {
    for (const auto& [name, value] : values) {
      const platform::fake::RegistryValue restricted{platform::RegistryType::kDword, {4, 0, 0, 0}};
      const platform::fake::RegistryValue killed{platform::RegistryType::kDword, {0, 4, 0, 0}};
      if (name == "*" && value == restricted) ++restricted_domains;
      if (name == "Compatibility Flags" && value == killed) ++kill_bits;
    }
  }
  EXPECT_GE(restricted_domains, 100u);
  EXPECT_GE(kill_bits, 1u);

  ApplyRegistryPreset(system_.ports(), RegistryPreset::kAdwareProtectionOff);
  const auto after = system_.registry.Snapshot();
  for (const auto& [key, values] : after) {
    auto earlier = before.find(key);
    if (earlier != before.end()) {
      EXPECT_EQ(values, earlier->second) << key;
    } else {
      // Kill bits are taken back value by value: their keys may belong to Windows itself.
      EXPECT_TRUE(values.empty()) << key;
      EXPECT_TRUE(key.starts_with("HKEY_LOCAL_MACHINE\\")) << key;
    }
  }
  for (const auto& [key, values] : before) EXPECT_TRUE(after.count(key)) << key;
}

TEST_F(BuiltInPresetsTest, HijackRepairSetsTheFiveSearchValuesToTheBrowsersOwn) {
  ApplyRegistryPreset(system_.ports(), RegistryPreset::kHijackRepair);
  const std::string redirector = "http://www.microsoft.com/isapi/redir.dll?prd=ie&ar=iesearch";
  const auto machine = RegistryRoot::kLocalMachine;
  EXPECT_EQ(system_.registry.GetString(machine, "Software\\Microsoft\\Internet Explorer\\Search",
                                       "SearchAssistant"),
            "http://ie.search.msn.com/{SUB_RFC1766}/srchasst/srchasst.htm");
  EXPECT_EQ(system_.registry.GetString(machine, "Software\\Microsoft\\Internet Explorer\\Search",
                                       "CustomizeSearch"),
            "http://ie.search.msn.com/{SUB_RFC1766}/srchasst/srchcust.htm");
  EXPECT_EQ(system_.registry.GetString(machine, "Software\\Microsoft\\Internet Explorer\\Main",
                                       "Default_Search_URL"),
            redirector);
  EXPECT_EQ(system_.registry.GetString(machine, "Software\\Microsoft\\Internet Explorer\\Main",
                                       "Search Page"),
            redirector);
  EXPECT_EQ(
      system_.registry.GetString(RegistryRoot::kCurrentUser,
                                 "Software\\Microsoft\\Internet Explorer\\Main", "Search Page"),
      redirector);
}

}  // namespace
}  // namespace sg::settings
