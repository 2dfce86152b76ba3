#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "platform/ports/shell.h"

namespace sg::platform::fake {

// Starts the programs that tests install. A started program runs to its end at once; the handle
// kept for it must still be waited for and closed like a real one.
class FakeShell final : public ShellPort {
 public:
  using Program = std::function<void(const std::string& parameters)>;

  struct Execution {
    ShellExecuteRequest request;
    ShellExecuteResult result;
    bool waited = false;
    bool handle_closed = false;
  };

  // By a full path ("C:\\Windows\\regedit.exe"), the program answers that path only, with or
  // without ".exe", in any letter case: a bare name does not find it, as Windows would look in
  // the current directory first. By a bare name ("unins000"), a test's stand-in answers that
  // name in any folder, in place of a program installed at a path.
  void InstallProgram(const std::string& name_or_path, Program program);
  // The shell answers Execute of exactly this file (letter case ignored) with the instance value,
  // as when no program is associated with it; an installed program is not started.
  void AnswerFile(const std::string& file, std::intptr_t instance);

  // A command line run with WinExec: its first word (quoted or not) names the program, the text
  // after the blank that follows is its parameters.
  struct CommandRun {
    std::string command_line;
    int show_command = 0;
    std::uint32_t result = 0;
  };

  ShellExecuteResult Execute(const ShellExecuteRequest& request) override;
  void WaitForProcess(ProcessHandle process) override;
  void CloseProcessHandle(ProcessHandle process) override;
  std::uint32_t WinExec(const std::string& command_line, int show_command) override;

  std::vector<Execution> Executions() const;
  std::size_t OpenProcessHandleCount() const;
  std::vector<CommandRun> CommandRuns() const;

 private:
  // The program a file names, or none; the caller holds the lock.
  Program Find(const std::string& file) const;

  mutable std::mutex mutex_;
  // Both by upper case without ".EXE".
  std::map<std::string, Program> programs_by_path_;
  std::map<std::string, Program> programs_by_name_;
  std::vector<Execution> executions_;
  std::map<std::string, std::intptr_t> answers_;  // by upper-case file
  std::vector<CommandRun> command_runs_;
  std::map<ProcessHandle, std::size_t> open_handles_;  // handle to execution index
  ProcessHandle next_handle_ = 0x200;
};

}  // namespace sg::platform::fake
