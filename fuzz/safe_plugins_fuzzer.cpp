// The user's safe plug-ins, "safebho.txt", and the plug-in cleaner's passes over the browser's
// plug-ins. Each line of the file also stands for an installed plug-in: named by the line, its
// DLL named by the line's last word, so that rules meet plug-ins they name and ones they don't.
#include <string>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "platform/fake/fake_platform.h"
#include "tools/plugin_cleaner.h"

namespace {

using sg::fuzz::Check;
using sg::platform::RegistryRoot;

constexpr std::size_t kMostPlugins = 12;
const std::string kSafeFile = "C:\\Program Files\\Snapgate!\\safebho.txt";

std::vector<std::string> LinesOf(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size() && lines.size() < kMostPlugins) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    lines.emplace_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

void Install(sg::platform::fake::FakePlatform& platform, std::size_t number,
             std::string name) {
  // The registry's strings end at a zero byte, and so do the name and path read back.
  name.resize(std::min(name.find('\0'), name.size()));
  const std::string class_id = "{0000000" + std::to_string(number) + "-0000-0000-0000-000000000000}";
  // A registered DLL path names a file, never a folder (nor "." or "..").
  std::string last_word = name.substr(name.rfind(' ') + 1);
  while (!last_word.empty() && (last_word.back() == '\\' || last_word.back() == '/')) {
    last_word.pop_back();
  }
  const std::string file_part = last_word.substr(last_word.find_last_of("\\/") + 1);
  const bool names_a_file = file_part.find_first_not_of('.') != std::string::npos;
  const std::string dll =
      "C:\\Program Files\\Helpers\\" + (names_a_file ? last_word : "helper.dll");
  platform.registry.PutString(RegistryRoot::kLocalMachine,
                              std::string(sg::tools::kBrowserHelperObjectsKey) + "\\" + class_id,
                              "", "");
  platform.registry.PutString(RegistryRoot::kClassesRoot, "CLSID\\" + class_id, "", name);
  platform.registry.PutString(RegistryRoot::kClassesRoot, "CLSID\\" + class_id + "\\InprocServer32",
                              "", dll);
  platform.files.PutFile(dll, "MZ");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  const std::string content(sg::fuzz::TextOf(data, size));
  sg::platform::fake::FakePlatform platform;
  platform.files.PutFile(kSafeFile, content);
  const std::vector<std::string> lines = LinesOf(content);
  for (std::size_t i = 0; i < lines.size(); ++i) Install(platform, i, lines[i]);

  // The adware protection's silent pass, then the user's "enable all" in the cleaner's dialog.
  sg::tools::DisableHarmfulPluginsSilently(platform.ports());
  sg::tools::PluginCleaner cleaner(platform.ports(), nullptr);
  cleaner.RefreshPluginList();
  for (const sg::tools::PluginRow& row : cleaner.rows()) {
    Check(platform.files.Exists(row.path) ||
              platform.files.Exists(sg::tools::DisabledFileName(row.path)),
          "a listed plug-in has one of its two files");
  }
  cleaner.EnableAllPlugins(false);
  for (const sg::tools::PluginRow& row : cleaner.rows()) {
    Check(platform.files.Exists(row.path), "enabling all puts every DLL back");
    if (row.path.find('\\') != std::string::npos) {
      Check(cleaner.IsSafePlugin(row.name, row.path), "a plug-in the user enabled is safe");
    }
  }

  // The user toggles every row off and on again; the file follows each change.
  std::vector<int> every_row;
  for (std::size_t i = 0; i < cleaner.rows().size(); ++i) every_row.push_back(static_cast<int>(i));
  cleaner.TogglePlugins(every_row);
  cleaner.RefreshPluginList();
  cleaner.TogglePlugins(every_row);
  for (const sg::tools::PluginRow& row : cleaner.rows()) {
    if (!row.enabled || sg::tools::IsSharedWindowsComponent(row.path)) continue;
    Check(!platform.files.Exists(row.path), "a toggled-off plug-in's DLL is gone");
  }
  Check(platform.registry.OpenHandleCount() == 0, "every key opened is closed");
  return 0;
}
