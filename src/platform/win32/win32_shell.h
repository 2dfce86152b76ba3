#pragma once

#include "platform/ports/shell.h"

namespace sg::platform::win32 {

class Win32Shell final : public ShellPort {
 public:
  ShellExecuteResult Execute(const ShellExecuteRequest& request) override;
  void WaitForProcess(ProcessHandle process) override;
  void CloseProcessHandle(ProcessHandle process) override;
  std::uint32_t WinExec(const std::string& command_line, int show_command) override;
};

}  // namespace sg::platform::win32
