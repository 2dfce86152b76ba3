// Every file the program writes, its save cut short after each single change to the disk in
// turn: by a call that fails, and by a power cut. Each file must then hold its old content or
// its new content, never an empty, mixed or missing one.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "browser/list_files.h"
#include "controls/resizable_dialog.h"
#include "online/http_fetcher.h"
#include "platform/fake/fake_platform.h"
#include "settings/preset_scrambling.h"
#include "settings/registry_presets.h"
#include "tools/hijack_repair.h"
#include "tools/protection_report.h"
#include "tools/safe_plugins.h"

namespace sg {
namespace {

using platform::fake::FakeFileSystem;
using Content = std::optional<std::string>;
using Interruption = FakeFileSystem::Interruption;

constexpr int kList = 1000;
constexpr const char* kProfileFile = "C:\\Users\\User\\AppData\\Roaming\\Snapgate!\\Snapgate!.ini";
constexpr const char* kResetFile = "C:\\Windows\\inf\\iereset.inf";
constexpr const char* kDownload = "C:\\Users\\ann\\AppData\\Local\\Temp\\sgu1.tmp.exe";
constexpr const char* kUpgradeLink = "http://www.snapgate.example/Snapgate-3.30-setup.exe";
const std::string kPreset =
    "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\PresetTest]\r\n\"a\"=\"1\"\r\n";

struct NoEvents final : platform::DialogEvents {
  void OnInitDialog(platform::DialogHost&) override {}
  void OnCommand(int, int) override {}
};
struct QuietReport final : tools::ProtectionReport {
  void AppendLine(const std::string&) override {}
  bool HasLine(const std::string&) override { return false; }
  int LineCount() override { return 0; }
  void Flash() override {}
  void PlaySound() override {}
};

// A machine with a file the program is about to save, and what the registry editor was given.
struct World {
  World() {
    platform.files.CreateDirectory("C:\\Users\\ann\\AppData\\Local\\Temp");
    platform.shell.InstallProgram("regedit", [this](const std::string&) {
      imports.push_back(platform.files.FileContent(settings::kPresetImportFile));
    });
  }
  platform::fake::FakePlatform platform;
  NoEvents events;
  std::unique_ptr<platform::DialogHost> dialog =
      platform.dialogs.CreateModeless(1053, events, nullptr);
  QuietReport report;
  std::vector<Content> imports;
};

struct Writer {
  const char* name;
  std::vector<std::string> files;  // each must hold its old or its new content
  std::function<void(World&)> prepare;
  std::function<void(World&)> save;
  // A content a file may also hold when cut short: a work file that is whole.
  Content also_whole = std::nullopt;
};

std::string ResetFileWithHijackedStartPage() {
  return "[Version]\r\nSignature=\"$Chicago$\"\r\nAdvancedINF=2.5\r\n\r\n[Strings]\r\n"
         "MS_START_PAGE_URL=\"http://www.microsoft.com/isapi/redir.dll?prd=ie&pver=6&ar=msnhome\""
         "\r\nSTART_PAGE_URL=\"http://evil.example/\"\r\nSEARCH_PAGE_URL=\"http://"
         "www.microsoft.com/"
         "isapi/redir.dll?prd=ie&ar=iesearch\"\r\nSAFESITE_VALUE=\"ie.search.msn.com\"\r\n";
}

std::string Installer() {
  std::string bytes(3000, 'x');
  bytes.replace(0, 2, "MZ");
  return bytes;
}

const std::vector<Writer>& Writers() {
  static const std::vector<Writer> writers = {
      {"the block list",
       {"filters.txt"},
       [](World& world) {
         world.platform.files.PutFile("filters.txt", "Casino\r\nPoker\r\n");
         world.dialog->ListAdd(kList, "Casino");
         world.dialog->ListAdd(kList, "Lottery");
       },
       [](World& world) {
         browser::SaveListFile(world.platform.ports().files, "filters.txt", *world.dialog, kList);
       }},
      {"the safe sites",
       {"whitelist.txt"},
       [](World& world) {
         world.platform.files.PutFile("whitelist.txt", "example.org\r\n");
         world.dialog->ListAdd(kList, "example.org");
         world.dialog->ListAdd(kList, "example.net");
       },
       [](World& world) {
         browser::SaveListFile(world.platform.ports().files, "whitelist.txt", *world.dialog, kList);
       }},
      {"the safe plug-ins",
       {tools::kSafePluginFileName},
       [](World& world) {
         world.platform.files.PutFile(tools::kSafePluginFileName, "exe: kept.dll\r\n");
       },
       [](World& world) {
         tools::SafePluginRules rules(world.platform.ports().files, tools::kSafePluginFileName);
         rules.AddSafeFile("wanted.dll");
       }},
      {"the browser's reset file",
       {kResetFile},
       [](World& world) {
         world.platform.files.PutFile(kResetFile, ResetFileWithHijackedStartPage());
       },
       [](World& world) { tools::RepairResetFile(world.platform.ports(), world.report); }},
      {"the downloaded installer",
       {kDownload},
       [](World& world) {
         world.platform.internet.Serve(kUpgradeLink, {.status = 200, .body = Installer()});
       },
       [](World& world) {
         online::HttpFetcher(world.platform.ports()).Fetch(kUpgradeLink, kDownload);
       }},
      {"the preset's work file",
       {settings::kPresetImportFile},
       [](World& world) {
         world.platform.resources.Add(
             117, "TXT",
             settings::ScramblePreset(std::vector<std::uint8_t>(kPreset.begin(), kPreset.end())));
       },
       [](World& world) {
         settings::ApplyRegistryPreset(world.platform.ports(),
                                       settings::RegistryPreset::kAdwareProtectionOn);
       },
       kPreset},
      {"the dialog sizes",
       {kProfileFile},
       [](World& world) {
         world.platform.files.PutFile(kProfileFile, "[67]\r\nCX=500\r\nCY=400\r\n[6a]\r\nCX=9\r\n");
       },
       [](World& world) {
         controls::DialogSizeMemory(world.platform.ports()).Write(0x67, {640, 480});
       }},
  };
  return writers;
}

std::string Shown(const Content& content) {
  return content ? "\"" + *content + "\"" : "no file";
}

TEST(InterruptedSaves, EveryFileHoldsItsOldOrItsNewContentWhereverTheSaveStops) {
  for (const Writer& writer : Writers()) {
    SCOPED_TRACE(writer.name);
    // The save run whole: what each file holds before and after, and how many changes it makes.
    World whole;
    writer.prepare(whole);
    std::vector<Content> before, after;
    for (const auto& file : writer.files) before.push_back(whole.platform.files.FileContent(file));
    const std::size_t first_change = whole.platform.files.ChangesSoFar();
    writer.save(whole);
    const std::size_t changes = whole.platform.files.ChangesSoFar() - first_change;
    for (const auto& file : writer.files) after.push_back(whole.platform.files.FileContent(file));
    ASSERT_GT(changes, 0u);
    ASSERT_TRUE(before != after || !whole.imports.empty()) << "the save changes something";

    for (const Interruption how : {Interruption::kOneCallFails, Interruption::kPowerCut}) {
      for (std::size_t change = 0; change < changes; ++change) {
        SCOPED_TRACE((how == Interruption::kPowerCut ? "power cut at change " : "failing change ") +
                     std::to_string(change + 1) + " of " + std::to_string(changes));
        World cut;
        writer.prepare(cut);
        cut.platform.files.InterruptAfter(change, how);
        writer.save(cut);
        for (std::size_t i = 0; i < writer.files.size(); ++i) {
          const Content now = cut.platform.files.FileContent(writer.files[i]);
          EXPECT_TRUE(now == before[i] || now == after[i] ||
                      (writer.also_whole && now == writer.also_whole))
              << writer.files[i] << " holds " << Shown(now) << ", not the old " << Shown(before[i])
              << " nor the new " << Shown(after[i]);
        }
        for (const Content& imported : cut.imports) {
          EXPECT_EQ(imported, writer.also_whole) << "the registry editor got a part of its file";
        }
      }
    }
  }
}

}  // namespace
}  // namespace sg
