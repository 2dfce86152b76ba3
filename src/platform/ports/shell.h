#pragma once

#include <cstdint>
#include <string>

namespace sg::platform {

// A process started through the shell; 0 is none.
using ProcessHandle = std::uintptr_t;

inline constexpr int kShowDefault = 10;  // SW_SHOWDEFAULT
inline constexpr int kShowShow = 5;      // SW_SHOW

struct ShellExecuteRequest {
  std::string verb;  // empty: the default verb
  std::string file;
  std::string parameters;
  std::string directory;  // empty: the current directory
  int show_command = kShowDefault;
  bool keep_process_handle = false;  // SEE_MASK_NOCLOSEPROCESS
};

struct ShellExecuteResult {
  // The instance value: above 32 means the shell started the file.
  std::intptr_t instance = 0;
  ProcessHandle process = 0;
};

// SHELL32's ShellExecuteExA and what it takes to wait for the process it started.
class ShellPort {
 public:
  virtual ~ShellPort() = default;
  virtual ShellExecuteResult Execute(const ShellExecuteRequest& request) = 0;
  // WaitForSingleObject with no time limit.
  virtual void WaitForProcess(ProcessHandle process) = 0;
  // CloseHandle.
  virtual void CloseProcessHandle(ProcessHandle process) = 0;
  // WinExec: its result, above 31 when the program started.
  virtual std::uint32_t WinExec(const std::string& command_line, int show_command) = 0;
};

}  // namespace sg::platform
