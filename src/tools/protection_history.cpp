#include "tools/protection_history.h"

#include <cstdio>

#include "common/ascii.h"
#include "common/user_data_folder.h"
#include "common/whole_file.h"
#include "tools/history_text.h"
#include "tools/safe_plugins.h"

namespace sg::tools {

namespace {

constexpr const char* kBackupFolderName = "Backups";
// Set-aside names tried before giving up: "history.damaged.txt", "history.damaged-2.txt", ...
constexpr int kMostSetAsideNames = 100;

std::string SetAsideName(const std::string& folder, int attempt) {
  std::string name = folder + "\\history.damaged";
  if (attempt > 1) name += "-" + std::to_string(attempt);
  return name + ".txt";
}

}  // namespace

std::string ContentDigest(std::string_view content) {
  // FNV-1a: enough to see that a file changed; nobody gains by forging it, since an undo
  // only ever puts back what the program itself kept.
  std::uint64_t hash = 0xcbf29ce484222325ull;
  for (const char c : content) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 0x100000001b3ull;
  }
  char text[64];
  std::snprintf(text, sizeof text, "%zu bytes, fnv1a %016llx", content.size(),
                static_cast<unsigned long long>(hash));
  return text;
}

ProtectionHistory::ProtectionHistory(platform::Platform& platform)
    : platform_(platform), folder_(UserDataFolder(platform.profile)) {}

std::string ProtectionHistory::FilePath() const {
  return folder_.empty() ? std::string() : folder_ + "\\" + kHistoryFileName;
}

std::string ProtectionHistory::BackupFolder() const {
  return folder_.empty() ? std::string() : folder_ + "\\" + kBackupFolderName;
}

bool ProtectionHistory::IsOwnBackup(const std::string& path) const {
  const std::string folder = BackupFolder() + "\\";
  return !folder_.empty() && path.size() > folder.size() &&
         EqualsIgnoringCase(std::string_view(path).substr(0, folder.size()), folder) &&
         path.find('\\', folder.size()) == std::string::npos;
}

const std::vector<HistoryEntry>& ProtectionHistory::entries() {
  Load();
  return entries_;
}

const HistoryEntry* ProtectionHistory::Find(std::uint64_t id) {
  for (const HistoryEntry& entry : entries()) {
    if (entry.id == id) return &entry;
  }
  return nullptr;
}

const HistoryEntry* ProtectionHistory::UndoOf(std::uint64_t id) {
  for (const HistoryEntry& entry : entries()) {
    if (entry.undoes == id) return &entry;
  }
  return nullptr;
}

void ProtectionHistory::Load() {
  if (loaded_) return;
  loaded_ = true;
  const std::string path = FilePath();
  if (path.empty() || !platform_.files.Exists(path)) return;
  const std::optional<std::string> content =
      ReadWholeFile(platform_.files, path, kLargestHistoryFile);
  if (!content) {
    SetAside("It could not be read, or it had grown larger than " +
             std::to_string(kLargestHistoryFile >> 20) + " MB.");
    return;
  }
  ParsedHistory parsed = ParseHistory(*content, kMostHistoryEntries);
  entries_ = std::move(parsed.entries);
  if (!entries_.empty()) next_id_ = entries_.back().id + 1;
  if (parsed.damaged()) {
    SetAside(std::to_string(parsed.unreadable_lines) + " of its lines could not be read" +
             (parsed.header_missing ? " and it did not start as a history file does" : "") +
             "; the " + std::to_string(entries_.size()) + " changes that could be read are kept.");
  }
}

void ProtectionHistory::SetAside(const std::string& why) {
  const std::string path = FilePath();
  for (int attempt = 1; attempt <= kMostSetAsideNames; ++attempt) {
    const std::string aside = SetAsideName(folder_, attempt);
    if (platform_.files.Exists(aside)) continue;
    if (platform_.files.Move(path, aside)) {
      Note("The history file was damaged and was set aside as " + aside + ".", why);
      return;
    }
    break;
  }
  // What cannot be moved out of the way is not overwritten either.
  writable_ = false;
  Note(
      "The history file was damaged and could not be set aside: this run's changes are kept "
      "until the program ends.",
      why);
}

void ProtectionHistory::Note(std::string change, std::string reason) {
  HistoryEntry note;
  note.tool = kHistoryTool;
  note.kind = ChangeKind::kNote;
  note.change = std::move(change);
  note.reason = std::move(reason);
  Add(std::move(note));
}

void ProtectionHistory::Record(HistoryEntry entry) {
  Load();
  Add(std::move(entry));
}

void ProtectionHistory::Add(HistoryEntry entry) {
  entry.id = next_id_++;
  entry.time = platform_.system.LocalTime();
  entries_.push_back(std::move(entry));
  while (entries_.size() > kMostHistoryEntries) {
    const std::string backup = entries_.front().backup_path;
    entries_.erase(entries_.begin());
    // A backup goes with the last entry that needs it, and only one this history made.
    if (!backup.empty() && IsOwnBackup(backup)) platform_.files.Delete(backup);
  }
  Save();
}

void ProtectionHistory::Save() {
  if (!writable_ || folder_.empty()) return;
  // The system does not make the file's folder.
  platform_.files.CreateFolder(folder_);
  ReplaceWholeFile(platform_.files, FilePath(), FormatHistory(entries_));
}

std::string ProtectionHistory::KeepBackup(std::string_view file_name, std::string_view content) {
  Load();
  const std::string folder = BackupFolder();
  if (folder.empty()) return {};
  platform_.files.CreateFolder(folder_);
  platform_.files.CreateFolder(folder);
  // Named after the entry that will hold it, so that no two changes share one.
  const std::string path = folder + "\\" + std::to_string(next_id_) + "-" + FileNamePart(file_name);
  if (!ReplaceWholeFile(platform_.files, path, content)) return {};
  return path;
}

}  // namespace sg::tools
