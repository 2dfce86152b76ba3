#include "tools/change_undo.h"

#include <algorithm>
#include <array>
#include <optional>

#include "common/ascii.h"
#include "common/whole_file.h"
#include "tools/allowed_programs.h"
#include "tools/hijack_repair.h"
#include "tools/history_text.h"
#include "tools/plugin_cleaner.h"
#include "tools/registry_value_watch.h"

namespace sg::tools {

namespace {

constexpr const char* kNothingChanged = " Nothing was changed.";

// The keys the hijack repair sets: an entry read from the file may name any other, and an undo
// never writes there.
constexpr std::array<std::string_view, 2> kRepairedKeys = {
    "Software\\Microsoft\\Internet Explorer\\",
    "Software\\Microsoft\\Windows\\CurrentVersion\\URL\\"};

HistoryActionOutcome Refused(std::string message) {
  return {false, std::move(message) + kNothingChanged};
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view start) {
  return text.size() >= start.size() && EqualsIgnoringCase(text.substr(0, start.size()), start);
}

std::string ValueLabel(const RegistryValueChange& value) {
  return RootName(value.root) + "\\" + value.path + "\\" +
         (value.name.empty() ? std::string("(default)") : value.name);
}

// The text a string value holds, as the registry's readers see it.
std::string TextOf(const std::string& data) {
  return data.substr(0, data.find('\0'));
}

HistoryEntry UndoEntryOf(const HistoryEntry& original) {
  HistoryEntry undo;
  undo.tool = original.tool;
  undo.kind = original.kind;
  undo.undoes = original.id;
  undo.reason = "You undid the change of " + HistoryTimeText(original.time) + ".";
  return undo;
}

HistoryActionOutcome UndoPlugin(platform::Platform& platform, ProtectionHistory& history,
                                const HistoryEntry& entry, platform::DialogHost* owner) {
  if (entry.new_path != DisabledFileName(entry.old_path)) {
    return Refused("This entry does not name a plug-in that the cleaner disabled.");
  }
  if (platform.files.Exists(entry.old_path)) {
    return Refused("The plug-in's DLL " + entry.old_path + " is there again already.");
  }
  if (!platform.files.Exists(entry.new_path)) {
    return Refused("The disabled DLL " + entry.new_path + " is gone.");
  }
  PluginCleaner cleaner(platform, owner);
  cleaner.RefreshPluginList();
  const std::vector<PluginRow>& rows = cleaner.rows();
  std::optional<int> row;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (!rows[i].enabled && EqualsIgnoringCase(rows[i].path, entry.old_path)) {
      row = static_cast<int>(i);
    }
  }
  if (!row) return Refused("The plug-in is no longer registered with the browser.");
  // Exactly what toggling it on in the cleaner does: the DLL and its companion get their names
  // back and the safe file names it, so that no later pass disables it again.
  cleaner.TogglePlugins({*row});
  if (cleaner.rename_failed()) return {false, ""};
  HistoryEntry undo = UndoEntryOf(entry);
  undo.change = "Enabled the plug-in " + entry.plugin_name + " again and made it safe";
  undo.plugin_name = entry.plugin_name;
  undo.old_path = entry.new_path;
  undo.new_path = entry.old_path;
  history.Record(std::move(undo));
  return {true, "The plug-in " + entry.plugin_name + " has its DLL back and \"" +
                    kSafePluginFileName +
                    "\" names it, so it stays enabled.\nPlease close "
                    "any Internet Explorer web browsers and open a new one for the change to "
                    "take effect."};
}

HistoryActionOutcome UndoValues(platform::Platform& platform, ProtectionHistory& history,
                                const HistoryEntry& entry) {
  std::vector<ValueAddress> addresses;
  for (const RegistryValueChange& value : entry.values) {
    const bool known_key =
        std::any_of(kRepairedKeys.begin(), kRepairedKeys.end(),
                    [&](std::string_view key) { return StartsWithIgnoringCase(value.path, key); });
    if (!known_key || value.root == platform::RegistryRoot::kClassesRoot) {
      return Refused("The value " + ValueLabel(value) + " is none that the hijack repair sets.");
    }
    const ValueAddress address{value.root, value.path, value.name};
    const StoredValue now = ReadStoredValue(platform.registry, address);
    const StoredValue left{value.new_present, value.new_type, value.new_data};
    if (now.present && left.present && now.type != left.type) {
      return Refused("The value " + ValueLabel(value) + " has changed its type since.");
    }
    if (now != left) {
      return Refused("The value " + ValueLabel(value) + " was changed since, by someone else.");
    }
    addresses.push_back(address);
  }
  for (std::size_t i = 0; i < addresses.size(); ++i) {
    const RegistryValueChange& value = entry.values[i];
    if (WriteStoredValue(platform.registry, addresses[i],
                         {value.old_present, value.old_type, value.old_data})) {
      continue;
    }
    // All or none: the values were set together and go back together.
    for (std::size_t done = 0; done < i; ++done) {
      const RegistryValueChange& put_back = entry.values[done];
      WriteStoredValue(platform.registry, addresses[done],
                       {put_back.new_present, put_back.new_type, put_back.new_data});
    }
    return Refused("The value " + ValueLabel(value) +
                   " could not be written: machine-wide settings need administrator rights.");
  }
  HistoryEntry undo = UndoEntryOf(entry);
  undo.change = "Put back: " + entry.change;
  for (const RegistryValueChange& value : entry.values) {
    undo.values.push_back({value.root, value.path, value.name, value.new_present, value.new_type,
                           value.new_data, value.old_present, value.old_type, value.old_data});
    // A start page put back is one the user wants: the repair does not ask about it again.
    if (value.old_present && EqualsIgnoringCase(value.path, kIeMainPath) &&
        EqualsIgnoringCase(value.name, kStartPageValue)) {
      RememberStartPage(platform.registry, TextOf(value.old_data));
    }
  }
  history.Record(std::move(undo));
  return {true, "The old values are back."};
}

HistoryActionOutcome UndoFile(platform::Platform& platform, ProtectionHistory& history,
                              const HistoryEntry& entry) {
  const std::string reset_file = ResetFilePath(platform.system);
  if (reset_file.empty() || !EqualsIgnoringCase(entry.file_path, reset_file)) {
    return Refused("The file " + entry.file_path + " is not the browser's reset file.");
  }
  if (entry.backup_path.empty()) return Refused("No copy of the old content was kept.");
  if (!history.IsOwnBackup(entry.backup_path)) {
    return Refused("The copy " + entry.backup_path + " is not one the history kept.");
  }
  const std::optional<std::string> old = ReadWholeFile(platform.files, entry.backup_path);
  if (!old) return Refused("The copy of the old content, " + entry.backup_path + ", is gone.");
  const std::optional<std::string> now = ReadWholeFile(platform.files, entry.file_path);
  if (!now) return Refused("The file " + entry.file_path + " is gone.");
  if (ContentDigest(*now) != entry.new_digest) {
    return Refused("The file " + entry.file_path + " was changed since, by someone else.");
  }
  if (!ReplaceWholeFile(platform.files, entry.file_path, *old)) {
    return Refused("The file " + entry.file_path + " could not be written.");
  }
  HistoryEntry undo = UndoEntryOf(entry);
  undo.change = "Put back the old content of " + entry.file_path;
  undo.file_path = entry.file_path;
  undo.new_digest = ContentDigest(*old);
  history.Record(std::move(undo));
  return {true, "The file has its old content back."};
}

// Why an entry cannot be acted on at all; empty when it can.
std::string NotActionable(ProtectionHistory& history, const HistoryEntry* entry) {
  if (!entry) return "This change is no longer in the history.";
  if (entry->undoes != 0) return "This entry is an undo itself.";
  if (const HistoryEntry* undo = history.UndoOf(entry->id)) {
    return "This change was undone already, at " + HistoryTimeText(undo->time) + ".";
  }
  return {};
}

}  // namespace

HistoryActionOutcome UndoChange(platform::Platform& platform, ProtectionHistory& history,
                                std::uint64_t id, platform::DialogHost* owner) {
  const HistoryEntry* found = history.Find(id);
  if (const std::string why = NotActionable(history, found); !why.empty()) return Refused(why);
  // The entry may move when the undo is recorded.
  const HistoryEntry entry = *found;
  switch (entry.kind) {
    case ChangeKind::kNote:
      return Refused("There is no change to undo here.");
    case ChangeKind::kProcessTerminated:
      return Refused(
          "A terminated program cannot be brought back. Choose Allow to let it run "
          "from now on.");
    case ChangeKind::kPluginDisabled:
      return UndoPlugin(platform, history, entry, owner);
    case ChangeKind::kRegistryValues:
      return UndoValues(platform, history, entry);
    case ChangeKind::kFileReplaced:
      return UndoFile(platform, history, entry);
  }
  return Refused("There is no change to undo here.");
}

HistoryActionOutcome AllowProgram(platform::Platform& platform, ProtectionHistory& history,
                                  std::uint64_t id, platform::DialogHost* owner) {
  const HistoryEntry* entry = history.Find(id);
  if (!entry) return Refused("This change is no longer in the history.");
  if (entry->kind != ChangeKind::kProcessTerminated) {
    return Refused("Only a terminated program can be allowed; choose Undo for other changes.");
  }
  const std::string allowed =
      entry->process_path.empty() ? entry->process_name : entry->process_path;
  const bool allowed_already =
      AllowedPrograms::Read(platform).Allows(entry->process_name, entry->process_path);
  // Asked once: a program allowed already is not asked about again.
  if (entry->built_in_name && !allowed_already &&
      platform.dialogs.MessageBox(
          owner,
          entry->process_name +
              " is on the built-in list of known spyware programs.\nAre you "
              "sure you want to allow " +
              allowed + " to run?",
          kHistoryCaption, platform::kMbYesNo | platform::kMbIconQuestion) != platform::kIdYes) {
    return {false, ""};
  }
  if (!AllowedPrograms::Add(platform, allowed)) {
    return Refused("The list of allowed programs, \"" + std::string(kAllowedProgramsFileName) +
                   "\", could not be written.");
  }
  return {true, allowed + " is allowed: the adware protection leaves it running from now on."};
}

}  // namespace sg::tools
