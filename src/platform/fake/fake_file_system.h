#pragma once

#include <cstdint>
#include <limits>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/ports/files.h"

namespace sg::platform::fake {

// An in-memory file system with Windows path rules: drive letters, backslashes (slashes are
// accepted too), names compared without regard to case, "." and "..", and a current directory.
// A file that is open cannot be deleted, moved, replaced or opened for writing, and a locked
// read cannot be opened while the file is open for writing. Tests can make files read-only,
// protect folders and make reads, writes or closes fail.
class FakeFileSystem final : public FilePort {
 public:
  FakeFileSystem();
  ~FakeFileSystem() override;

  std::unique_ptr<OpenFile> Open(const std::string& path, FileOpenMode mode) override;
  bool Delete(const std::string& path) override;
  bool Move(const std::string& from, const std::string& to) override;
  bool ReplaceFile(const std::string& from, const std::string& to) override;
  bool Exists(const std::string& path) override;
  // Sorted by name, "." and ".." first except at a drive's root. A junction shows as a folder
  // that is a reparse point.
  std::vector<FolderEntry> ListFolder(const std::string& folder) override;
  CreateFolderResult CreateFolder(const std::string& path) override;
  bool RemoveFolder(const std::string& path) override;
  bool CanCreateFilesIn(const std::string& folder) override;

  // The absolute form of a path, as the file system spells it.
  std::string FullPath(const std::string& path) const;
  void SetCurrentDirectory(const std::string& path);
  const std::string& CurrentDirectory() const { return current_directory_; }

  // For tests.
  void CreateDirectory(const std::string& path);
  // A junction at path (whose parent is created) to the folder target (created too); paths
  // through it lead into the target, so a junction to a folder above it makes a loop.
  void MakeJunction(const std::string& path, const std::string& target);
  void PutFile(const std::string& path, const std::string& content);
  std::optional<std::string> FileContent(const std::string& path) const;
  // Names of the files directly in a folder.
  std::vector<std::string> FilesIn(const std::string& folder) const;
  void SetReadOnly(const std::string& path, bool read_only);
  // As Program Files is for a limited user: what lies in the folder and below it can be read,
  // but nothing there can be created, emptied, deleted or moved in or out, nor a folder made.
  // The helpers above still put files there, as the setup program did.
  void ProtectFolder(const std::string& path);
  // Writes fail once this many more bytes have been written (a full disk).
  void FailWritesAfter(std::size_t bytes) { write_budget_ = bytes; }
  void FailReadsOf(const std::string& path);
  void FailClosesOf(const std::string& path);

  // How a save is cut short, for the tests of crash safety.
  enum class Interruption {
    kOneCallFails,  // that call fails and changes nothing; the calls after it work
    kPowerCut,      // nothing reaches the disk from that call on; a write under way is torn
  };
  // The calls that change the disk (a file created or emptied, a write, a delete, a move, a
  // replace, a folder made) are counted; the one after `changes` more is interrupted.
  void InterruptAfter(std::size_t changes, Interruption how);
  std::size_t ChangesSoFar() const;

 private:
  struct File;
  class Handle;
  friend class Handle;

  std::string Key(const std::string& path) const;
  std::string Parent(const std::string& full_path) const;
  // The key with every junction in it followed; empty when there are too many to follow.
  std::string FollowJunctions(std::string key) const;
  enum class ChangeOutcome { kGoesAhead, kFails, kTorn };
  // Counts a call that changes the disk; the caller holds the lock.
  ChangeOutcome CountChange();
  // Gives the file under from_key the name `to`; the caller has checked the target.
  bool Rename(const std::string& from_key, const std::string& to);
  // Whether the folder of this key is protected, or a folder above it; the caller holds the lock.
  bool IsProtected(const std::string& folder_key) const;

  mutable std::mutex mutex_;
  std::string current_directory_;
  std::set<std::string> directories_;                   // by key
  std::map<std::string, std::string> directory_names_;  // by key: the name as first spelled
  struct Junction {
    std::string name;
    std::string target_key;
  };
  // By key, with the junctions above it followed but not itself.
  std::map<std::string, Junction> junctions_;
  std::map<std::string, std::shared_ptr<File>> files_;  // by key
  std::set<std::string> failing_reads_;      // by key, whether the file exists yet or not
  std::set<std::string> failing_closes_;     // by key
  std::set<std::string> protected_folders_;  // by key
  std::size_t write_budget_ = std::numeric_limits<std::size_t>::max();
  std::size_t changes_ = 0;
  std::optional<std::size_t> interrupted_change_;
  Interruption interruption_ = Interruption::kOneCallFails;
};

}  // namespace sg::platform::fake
