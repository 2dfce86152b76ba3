#pragma once

#include "platform/ports/system.h"

namespace sg::platform::win32 {

class Win32System final : public SystemPort {
 public:
  CreatedMutex CreateNamedMutex(const std::string& name) override;
  void CloseHandle(KernelHandle handle) override;
  std::string ModuleFileName() override;
  bool SetCurrentDirectory(const std::string& path) override;
  std::string CurrentDirectory() override;
  int MajorVersion() override;
  std::string WindowsDirectory() override;
  std::string SystemDirectory() override;
  LocalDateTime LocalTime() override;
  std::string TemporaryFolder() override;
  void StartThread(std::function<void()> work) override;
  void Sleep(std::uint32_t milliseconds) override;
  void PlaySound(const std::string& path, std::uint32_t flags) override;
  void MessageBeep(std::uint32_t type) override;
  void ExitProcess(int exit_code) override;
};

}  // namespace sg::platform::win32
