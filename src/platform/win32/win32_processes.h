#pragma once

#include "platform/ports/processes.h"

namespace sg::platform::win32 {

class Win32Processes final : public ProcessesPort {
 public:
  std::uint32_t PlatformId() override;
  bool HasPsapi() override;
  bool HasVdmDbg() override;
  bool HasToolHelp() override;
  std::optional<std::uint32_t> EnumProcesses(std::span<std::uint32_t> ids) override;
  ProcessHandle OpenProcess(std::uint32_t access, std::uint32_t process_id) override;
  ModuleHandle FirstModule(ProcessHandle process) override;
  std::string ModuleBaseName(ProcessHandle process, ModuleHandle module,
                             std::size_t buffer_size) override;
  std::string ModuleFileName(ProcessHandle process, ModuleHandle module,
                             std::size_t buffer_size) override;
  bool TerminateProcess(ProcessHandle process, std::uint32_t exit_code) override;
  void CloseHandle(ProcessHandle process) override;
  std::optional<std::vector<ProcessEntry>> ProcessSnapshot() override;
  std::optional<std::vector<ModuleEntry>> ModuleSnapshot(std::uint32_t process_id) override;
};

}  // namespace sg::platform::win32
