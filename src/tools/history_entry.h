#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/ports/registry.h"
#include "platform/ports/system.h"

namespace sg::tools {

// The protection tools whose changes the history keeps, by the names it shows.
inline constexpr const char* kSpywareKillerTool = "Spyware killer";
inline constexpr const char* kPluginCleanerTool = "Plug-in cleaner";
inline constexpr const char* kHijackRepairTool = "Hijack repair";
inline constexpr const char* kHistoryTool = "Protection history";

enum class ChangeKind {
  kNote,               // something the history itself has to say
  kProcessTerminated,  // cannot be undone; the program can be allowed instead
  kPluginDisabled,     // a DLL renamed (an undo renames it back)
  kRegistryValues,     // one or more values set together
  kFileReplaced,       // a file given new content, its old content kept as a backup
};

// A registry value before and after a change. The data are the value's bytes as stored.
struct RegistryValueChange {
  platform::RegistryRoot root = platform::RegistryRoot::kCurrentUser;
  std::string path;
  std::string name;  // empty: the key's default value
  bool old_present = false;
  platform::RegistryType old_type = platform::RegistryType::kNone;
  std::string old_data;
  bool new_present = false;
  platform::RegistryType new_type = platform::RegistryType::kNone;
  std::string new_data;
  bool operator==(const RegistryValueChange&) const = default;
};

// One change a tool made on its own, or the undo of one.
struct HistoryEntry {
  std::uint64_t id = 0;  // given by the history, rising
  platform::LocalDateTime time;
  std::string tool;
  ChangeKind kind = ChangeKind::kNote;
  std::string change;        // what changed, in a few words
  std::string reason;        // why the tool changed it
  std::uint64_t undoes = 0;  // the entry this one undid; 0 for a tool's own change

  // kProcessTerminated
  std::string process_name;
  std::string process_path;
  std::string run_value;       // the Run value that starts it, "root\key: data"; empty when none
  bool built_in_name = false;  // matched the built-in table (not the random-name check)

  // kPluginDisabled: the DLL's path before and after
  std::string plugin_name;
  std::string old_path;
  std::string new_path;

  // kRegistryValues
  std::vector<RegistryValueChange> values;

  // kFileReplaced
  std::string file_path;
  std::string backup_path;  // empty when no backup could be kept
  std::string new_digest;   // of the content the tool wrote, to see a later change

  bool operator==(const HistoryEntry&) const = default;
};

}  // namespace sg::tools
