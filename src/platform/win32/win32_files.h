#pragma once

#include "platform/ports/files.h"

namespace sg::platform::win32 {

class Win32Files final : public FilePort {
 public:
  std::unique_ptr<OpenFile> Open(const std::string& path, FileOpenMode mode) override;
  bool Delete(const std::string& path) override;
  bool Move(const std::string& from, const std::string& to) override;
  bool ReplaceFile(const std::string& from, const std::string& to) override;
  bool Exists(const std::string& path) override;
  std::vector<FolderEntry> ListFolder(const std::string& folder) override;
  CreateFolderResult CreateFolder(const std::string& path) override;
  bool RemoveFolder(const std::string& path) override;
  bool CanCreateFilesIn(const std::string& folder) override;
};

}  // namespace sg::platform::win32
