#include "tools/plugin_cleaner.h"

#include "common/ascii.h"
#include "common/user_file_path.h"
#include "settings/registry_store.h"
#include "tools/process_list.h"

namespace sg::tools {

namespace {

using platform::RegistryRoot;
using settings::RegistryStore;

constexpr const char* kDisabledPrefix = "disabled_";
// One adware plug-in keeps a program beside it that would put the plug-in back.
constexpr const char* kCompanionPluginDll = "cnbabe.dll";
constexpr const char* kCompanionProgram = "winnet.exe";
constexpr const char* kCompanionProgramDisabled = "winnet.exe_disabled";

std::string ClassKey(const std::string& class_id) {
  return "CLSID\\" + class_id;
}

struct Registration {
  std::string name;
  std::string path;
};

Registration ReadRegistration(RegistryStore& store, const std::string& class_id) {
  return {
      store.ReadStringAt(RegistryRoot::kClassesRoot, ClassKey(class_id), ""),
      store.ReadStringAt(RegistryRoot::kClassesRoot, ClassKey(class_id) + "\\InprocServer32", "")};
}

}  // namespace

std::string DisabledFileName(std::string_view path) {
  // Windows takes either slash between folders, and an installer may mix them.
  const auto separator = path.find_last_of("\\/");
  if (separator == std::string_view::npos || separator == 0) {
    return kDisabledPrefix + std::string(path);
  }
  return std::string(path.substr(0, separator + 1)) + kDisabledPrefix +
         std::string(path.substr(separator + 1));
}

bool PluginCleanerSwitchedOn(platform::RegistryPort& registry) {
  return RegistryStore(registry).ReadInt(settings::kProgramSection, "bEnablePluginCleaner") != 0;
}

PluginCleaner::PluginCleaner(platform::Platform& platform, platform::DialogHost* owner)
    : platform_(platform),
      owner_(owner),
      rules_(platform.files, UserFilePath(platform.system, kSafePluginFileName)) {}

bool PluginCleaner::FileExists(const std::string& path) {
  return platform_.files.Open(path, platform::FileOpenMode::kReadOnly) != nullptr;
}

void PluginCleaner::RefreshPluginList() {
  rows_.clear();
  RegistryStore store(platform_.registry);
  store.Enumerate(RegistryRoot::kLocalMachine, kBrowserHelperObjectsKey,
                  settings::EnumerateMode::kSubkeyNames);
  const std::vector<std::string> class_ids = store.Results();

  // First the state of each plug-in that has one of its two files; then, read afresh, what is
  // shown of it. Rows go in at the top, so the last registered comes first.
  std::vector<const std::string*> listed;
  for (const std::string& class_id : class_ids) {
    const std::string path = ReadRegistration(store, class_id).path;
    PluginRow row;
    if (FileExists(path)) {
      row.enabled = true;
    } else if (!FileExists(DisabledFileName(path))) {
      continue;
    }
    rows_.insert(rows_.begin(), std::move(row));
    listed.push_back(&class_id);
  }
  for (std::size_t i = 0; i < listed.size(); ++i) {
    Registration shown = ReadRegistration(store, *listed[i]);
    if (shown.name.empty() && !shown.path.empty()) {
      shown.name =
          shown.path.find('\\') == std::string::npos ? "Unnamed" : FileNamePart(shown.path);
    }
    PluginRow& row = rows_[listed.size() - 1 - i];
    row.name = std::move(shown.name);
    row.path = std::move(shown.path);
  }
}

void PluginCleaner::ShowError(const std::string& text) {
  platform_.dialogs.MessageBox(owner_, text, kPluginCleanerCaption, platform::kMbIconStop);
}

void PluginCleaner::MoveCompanionProgram(const std::string& dll_path, bool disable) {
  if (AsciiLower(dll_path).find(kCompanionPluginDll) == std::string::npos) return;
  const auto slash = dll_path.rfind('\\');
  if (slash == std::string::npos) return;
  const std::string folder = dll_path.substr(0, slash + 1);
  const std::string enabled = folder + kCompanionProgram;
  const std::string disabled = folder + kCompanionProgramDisabled;
  if (!disable) {
    platform_.files.Move(disabled, enabled);
    return;
  }
  platform_.files.Move(enabled, disabled);
  ProcessList running;
  CollectProcesses(platform_.processes, running);
  KillProcessByName(platform_.processes, kCompanionProgram, running);
}

bool PluginCleaner::Disable(const PluginRow& row, bool show_error) {
  if (!FileExists(row.path)) return false;
  const std::string disabled = DisabledFileName(row.path);
  // A stale disabled copy would keep the name taken.
  if (FileExists(disabled)) platform_.files.Delete(disabled);
  if (!FileExists(row.path)) return false;
  if (platform_.files.Move(row.path, disabled)) {
    MoveCompanionProgram(row.path, true);
    return true;
  }
  rename_failed_ = true;
  if (show_error) {
    ShowError("Error disabling the plug-in " + row.name +
              ".\nPlease close all Internet Explorer web browsers and try disabling the plug-in "
              "again.");
  }
  return false;
}

void PluginCleaner::Enable(const PluginRow& row, const std::string& error_text) {
  const std::string disabled = DisabledFileName(row.path);
  // An enabled DLL beside a stale disabled copy is enabled already.
  if (FileExists(row.path) || !FileExists(disabled)) return;
  if (platform_.files.Move(disabled, row.path)) {
    MoveCompanionProgram(row.path, false);
    return;
  }
  rename_failed_ = true;
  if (!error_text.empty()) ShowError(error_text);
}

const std::vector<std::string>& PluginCleaner::DisableHarmfulPlugins(bool silent) {
  report_lines_.clear();
  for (const PluginRow& row : rows_) {
    if (row.path.empty() || IsSharedWindowsComponent(row.path)) continue;
    if (rules_.IsSafePlugin(row.name, row.path)) continue;
    if (!Disable(row, !silent)) continue;
    report_lines_.push_back(kPluginDisabledLine + row.name);
    RecordDisabled(row);
  }
  return report_lines_;
}

void PluginCleaner::RecordDisabled(const PluginRow& row) {
  if (!history_) return;
  HistoryEntry entry;
  entry.tool = kPluginCleanerTool;
  entry.kind = ChangeKind::kPluginDisabled;
  entry.change = "Disabled the plug-in " + row.name;
  entry.reason = std::string(
                     "No safe rule names it: neither the built-in list of safe plug-ins "
                     "nor \"") +
                 kSafePluginFileName + "\".";
  entry.plugin_name = row.name;
  entry.old_path = row.path;
  entry.new_path = DisabledFileName(row.path);
  history_->Record(std::move(entry));
}

void PluginCleaner::EnableAllPlugins(bool silent) {
  for (const PluginRow& row : rows_) {
    if (row.path.empty()) continue;
    Enable(row, silent ? std::string() : "Error enabling the plug-in " + row.name + ".");
    if (!silent && row.path.find('\\') != std::string::npos) {
      rules_.AddSafeFile(FileNamePart(row.path));
    }
  }
}

bool PluginCleaner::TogglePlugins(const std::vector<int>& selected) {
  bool toggled = false;
  for (const int index : selected) {
    if (index < 0 || index >= static_cast<int>(rows_.size())) continue;
    const PluginRow& row = rows_[static_cast<std::size_t>(index)];
    if (row.path.empty()) continue;
    const std::string file_name = FileNamePart(row.path);
    const bool in_a_folder = row.path.find('\\') != std::string::npos;
    if (row.enabled && IsSharedWindowsComponent(row.path)) {
      platform_.dialogs.MessageBox(
          owner_,
          "The plug-in " + row.name + " is part of Windows (" + file_name +
              ") and is shared by other programs.\nIt stays enabled, so that those programs "
              "keep working.",
          kPluginCleanerCaption, platform::kMbIconInformation);
      continue;
    }
    toggled = true;
    if (row.enabled) {
      Disable(row, true);
      if (in_a_folder) rules_.RemoveSafeFile(file_name);
    } else {
      Enable(row, "Error enabling the plug-in " + row.name +
                      ".\nPlease close all Internet Explorer web browsers and try enabling the "
                      "plug-in again.");
      if (in_a_folder) rules_.AddSafeFile(file_name);
    }
  }
  return toggled;
}

std::vector<std::string> DisableHarmfulPluginsSilently(platform::Platform& platform,
                                                       ChangeRecorder* history) {
  PluginCleaner cleaner(platform, nullptr);
  cleaner.record_changes_to(history);
  cleaner.RefreshPluginList();
  return cleaner.DisableHarmfulPlugins(true);
}

void EnableAllPluginsSilently(platform::Platform& platform) {
  PluginCleaner cleaner(platform, nullptr);
  cleaner.RefreshPluginList();
  cleaner.EnableAllPlugins(true);
}

}  // namespace sg::tools
