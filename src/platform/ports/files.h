#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace sg::platform {

enum class FileOpenMode {
  kCreateWriteOnly,  // create, or truncate what is there; write access only
  kReadOnly,
  // Read access, and others may only read too: while the handle is open nobody can write,
  // delete, rename or replace the file, and the open fails while someone is writing it. What
  // is read through it is what the file holds until it is closed.
  kReadLocked,
};

// One entry of a folder listing, as FindFirstFileA and FindNextFileA report it.
struct FolderEntry {
  std::string name;
  bool is_folder = false;
  // A junction or another link: following it may lead back up the tree.
  bool is_reparse_point = false;
};

// What CreateDirectoryA did.
enum class CreateFolderResult {
  kCreated,
  kAlreadyExists,  // ERROR_ALREADY_EXISTS: a folder, or a file, of that name is there
  kFailed,
};

// A file opened through FilePort. Destroying it closes it if Close was not called.
class OpenFile {
 public:
  virtual ~OpenFile() = default;
  // Writes all bytes; false when not all of them could be written.
  virtual bool Write(std::span<const std::uint8_t> bytes) = 0;
  // Reads up to buffer.size() bytes; 0 at the end of the file; nothing on a read error.
  virtual std::optional<std::size_t> Read(std::span<std::uint8_t> buffer) = 0;
  // Closes the file; false when the close itself failed.
  virtual bool Close() = 0;
};

// Files by Windows path, relative paths taken from the current directory.
class FilePort {
 public:
  virtual ~FilePort() = default;
  // Null when the file cannot be opened.
  virtual std::unique_ptr<OpenFile> Open(const std::string& path, FileOpenMode mode) = 0;
  virtual bool Delete(const std::string& path) = 0;
  // MoveFileA: renames or moves a file; fails when the new name is taken.
  virtual bool Move(const std::string& from, const std::string& to) = 0;
  // MoveFileExA with MOVEFILE_REPLACE_EXISTING: puts a complete new file in place of another.
  virtual bool ReplaceFile(const std::string& from, const std::string& to) = 0;
  // True for an existing file or folder.
  virtual bool Exists(const std::string& path) = 0;
  // Every entry that "<folder>\*.*" finds, "." and ".." included where Windows gives them;
  // empty when the folder cannot be listed.
  virtual std::vector<FolderEntry> ListFolder(const std::string& folder) = 0;
  // CreateDirectoryA: one folder, in a parent that must exist.
  virtual CreateFolderResult CreateFolder(const std::string& path) = 0;
  // RemoveDirectoryA: an empty folder; fails while anything is in it.
  virtual bool RemoveFolder(const std::string& path) = 0;
  // Whether this user may create files in an existing folder: a fresh file is made there and
  // goes again as it is closed, so nothing stays. False for a missing or protected folder.
  virtual bool CanCreateFilesIn(const std::string& folder) = 0;
};

}  // namespace sg::platform
