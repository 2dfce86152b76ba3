#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/ports/platform.h"
#include "tools/change_recorder.h"
#include "tools/safe_plugins.h"

namespace sg::tools {

// Where the browser lists its plug-ins (browser helper objects), under HKEY_LOCAL_MACHINE.
inline constexpr std::string_view kBrowserHelperObjectsKey =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Browser Helper Objects";
inline constexpr const char* kPluginCleanerCaption = "Internet Explorer Plug-in Cleaner";
inline constexpr const char* kPluginDisabledLine = "Harmful web browser plug-in was disabled: ";

// A listed plug-in. Its state is nothing but which of its two files exists: the DLL (enabled)
// or the DLL renamed by DisabledFileName (disabled).
struct PluginRow {
  bool enabled = false;
  std::string name;
  std::string path;
};

// The DLL path with "disabled_" put in front of its file-name part.
std::string DisabledFileName(std::string_view path);

// Whether "bEnablePluginCleaner" lets the cleaner run; a missing value counts as on.
bool PluginCleanerSwitchedOn(platform::RegistryPort& registry);

// Disables plug-ins by renaming their DLLs and enables them by renaming them back; the registry
// is never changed. Every plug-in that no safe rule names counts as harmful.
class PluginCleaner {
 public:
  // owner: the window that the cleaner's error messages belong to.
  PluginCleaner(platform::Platform& platform, platform::DialogHost* owner);
  void set_owner(platform::DialogHost* owner) { owner_ = owner; }
  // The harmful plug-ins disabled from then on are recorded there.
  void record_changes_to(ChangeRecorder* history) { history_ = history; }

  // Rebuilds the rows from the registry: the last registered plug-in comes first.
  void RefreshPluginList();
  const std::vector<PluginRow>& rows() const { return rows_; }

  // Disables every listed, enabled plug-in that is not safe; one report line for each.
  const std::vector<std::string>& DisableHarmfulPlugins(bool silent);
  // Enables every listed, disabled plug-in; unless silent also records every listed plug-in as
  // safe, so that later passes leave them alone.
  void EnableAllPlugins(bool silent);
  // Flips the given rows (indices into rows(), top to bottom) and keeps the safe file in step.
  // True when at least one row was flipped or tried.
  bool TogglePlugins(const std::vector<int>& selected);
  bool IsSafePlugin(std::string_view name, std::string_view path) {
    return rules_.IsSafePlugin(name, path);
  }

  // Set when a rename failed since the last ClearError.
  bool rename_failed() const { return rename_failed_; }
  void ClearError() { rename_failed_ = false; }

 private:
  bool FileExists(const std::string& path);
  // True when the DLL was renamed.
  bool Disable(const PluginRow& row, bool show_error);
  void Enable(const PluginRow& row, const std::string& error_text);
  void ShowError(const std::string& text);
  void RecordDisabled(const PluginRow& row);
  void MoveCompanionProgram(const std::string& dll_path, bool disable);

  platform::Platform& platform_;
  platform::DialogHost* owner_;
  SafePluginRules rules_;
  std::vector<PluginRow> rows_;
  std::vector<std::string> report_lines_;
  ChangeRecorder* history_ = nullptr;
  bool rename_failed_ = false;
};

// The passes that other parts of the program run without showing the cleaner.
// The disable-harmful pass records each plug-in it disables in the history, when one is given.
std::vector<std::string> DisableHarmfulPluginsSilently(platform::Platform& platform,
                                                       ChangeRecorder* history = nullptr);
void EnableAllPluginsSilently(platform::Platform& platform);

}  // namespace sg::tools
