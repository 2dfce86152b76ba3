#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/ports/platform.h"
#include "tools/change_recorder.h"

namespace sg::tools {

inline constexpr std::size_t kMostHistoryEntries = 1000;
// Far more than 1,000 entries ever take; a larger file is not read into memory.
inline constexpr std::size_t kLargestHistoryFile = 16u << 20;
inline constexpr const char* kHistoryFileName = "history.txt";

// The record of every change the protection tools made on their own, newest 1,000 kept, in a
// text file in the user's own folder for the program. The file is read at the first use; one
// that cannot be read whole is set aside (renamed) with a note in the history, and the tools go
// on whatever becomes of the file.
class ProtectionHistory final : public ChangeRecorder {
 public:
  explicit ProtectionHistory(platform::Platform& platform);

  void Record(HistoryEntry entry) override;
  std::string KeepBackup(std::string_view file_name, std::string_view content) override;

  // Oldest first.
  const std::vector<HistoryEntry>& entries();
  const HistoryEntry* Find(std::uint64_t id);
  // The undo recorded for the entry, if any.
  const HistoryEntry* UndoOf(std::uint64_t id);
  // Whether a path names a backup this history keeps (an entry read from the file may name
  // anything).
  bool IsOwnBackup(const std::string& path) const;

  // Empty when the system names no folder for the user's files: the history is then kept
  // for this run only.
  std::string FilePath() const;

 private:
  void Load();
  void SetAside(const std::string& why);
  void Note(std::string change, std::string reason);
  void Add(HistoryEntry entry);
  void Save();
  std::string BackupFolder() const;

  platform::Platform& platform_;
  std::string folder_;
  bool loaded_ = false;
  // Cleared when a damaged file could not be set aside: it is not overwritten either.
  bool writable_ = true;
  std::vector<HistoryEntry> entries_;
  std::uint64_t next_id_ = 1;
};

}  // namespace sg::tools
