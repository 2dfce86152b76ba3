#include "platform/win32/win32_files.h"

#include <windows.h>

#include <string>

#include "platform/win32/unclashed_names.h"

namespace sg::platform::win32 {

namespace {

class Win32OpenFile final : public OpenFile {
 public:
  Win32OpenFile(HANDLE handle, bool writable) : handle_(handle), writable_(writable) {}
  ~Win32OpenFile() override { Close(); }

  bool Write(std::span<const std::uint8_t> bytes) override {
    if (handle_ == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    return WriteFile(handle_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
  }

  std::optional<std::size_t> Read(std::span<std::uint8_t> buffer) override {
    if (handle_ == INVALID_HANDLE_VALUE) return std::nullopt;
    DWORD read = 0;
    if (!ReadFile(handle_, buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr)) {
      return std::nullopt;
    }
    return read;
  }

  bool Close() override {
    if (handle_ == INVALID_HANDLE_VALUE) return false;
    // A written file is on the disk before anything takes it for whole: a new file that
    // replaces an old one must not come up empty after a power cut.
    const bool flushed = !writable_ || FlushFileBuffers(handle_);
    const bool closed = CloseHandle(handle_) && flushed;
    handle_ = INVALID_HANDLE_VALUE;
    return closed;
  }

 private:
  HANDLE handle_;
  bool writable_;
};

}  // namespace

std::unique_ptr<OpenFile> Win32Files::Open(const std::string& path, FileOpenMode mode) {
  const bool create = mode == FileOpenMode::kCreateWriteOnly;
  // A plain read shares as much as a locked one today; only the locked mode promises it.
  const DWORD sharing = create ? 0 : FILE_SHARE_READ;
  HANDLE handle =
      CreateFileA(path.c_str(), create ? GENERIC_WRITE : GENERIC_READ, sharing, nullptr,
                  create ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  return std::make_unique<Win32OpenFile>(handle, create);
}

bool Win32Files::Delete(const std::string& path) {
  return DeleteFileA(path.c_str());
}

bool Win32Files::Move(const std::string& from, const std::string& to) {
  return MoveFileA(from.c_str(), to.c_str());
}

bool Win32Files::ReplaceFile(const std::string& from, const std::string& to) {
  return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

bool Win32Files::Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<FolderEntry> Win32Files::ListFolder(const std::string& folder) {
  std::vector<FolderEntry> entries;
  const bool ends_in_backslash = !folder.empty() && folder.back() == '\\';
  const std::string pattern = folder + (ends_in_backslash ? "*.*" : "\\*.*");
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(pattern.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return entries;
  do {
    entries.push_back({found.cFileName, (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                       (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0});
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return entries;
}

CreateFolderResult Win32Files::CreateFolder(const std::string& path) {
  if (CreateDirectoryA(path.c_str(), nullptr)) return CreateFolderResult::kCreated;
  return GetLastError() == ERROR_ALREADY_EXISTS ? CreateFolderResult::kAlreadyExists
                                                : CreateFolderResult::kFailed;
}

bool Win32Files::RemoveFolder(const std::string& path) {
  return RemoveDirectoryA(path.c_str());
}

bool Win32Files::CanCreateFilesIn(const std::string& folder) {
  // A name of this process's own; another copy's probe, or a file of that name, takes the next.
  constexpr int kNamesTried = 16;
  const std::string stem =
      folder + "\\~Snapgate! write test " + std::to_string(GetCurrentProcessId()) + "-";
  for (int attempt = 0; attempt < kNamesTried; ++attempt) {
    const std::string probe = stem + std::to_string(attempt) + ".tmp";
    HANDLE handle = CreateFileA(probe.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
      CloseHandle(handle);
      return true;
    }
    if (GetLastError() != ERROR_FILE_EXISTS) return false;
  }
  return false;
}

}  // namespace sg::platform::win32
