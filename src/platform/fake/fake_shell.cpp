#include "platform/fake/fake_shell.h"

#include "common/ascii.h"

namespace sg::platform::fake {

namespace {

constexpr std::intptr_t kStartedInstance = 42;
constexpr std::intptr_t kFileNotFoundInstance = 2;  // SE_ERR_FNF

std::string ProgramKey(const std::string& file) {
  std::string key = AsciiUpper(file);
  if (const auto slash = key.rfind('\\'); slash != std::string::npos) key = key.substr(slash + 1);
  if (key.size() > 4 && key.ends_with(".EXE")) key.resize(key.size() - 4);
  return key;
}

}  // namespace

void FakeShell::InstallProgram(const std::string& name, Program program) {
  std::lock_guard lock(mutex_);
  programs_[ProgramKey(name)] = std::move(program);
}

ShellExecuteResult FakeShell::Execute(const ShellExecuteRequest& request) {
  Program program;
  {
    std::lock_guard lock(mutex_);
    if (auto found = programs_.find(ProgramKey(request.file)); found != programs_.end()) {
      program = found->second;
    }
  }
  ShellExecuteResult result;
  if (program) {
    program(request.parameters);
    result.instance = kStartedInstance;
  } else {
    result.instance = kFileNotFoundInstance;
  }
  std::lock_guard lock(mutex_);
  if (program && request.keep_process_handle) {
    result.process = next_handle_;
    next_handle_ += 4;
    open_handles_[result.process] = executions_.size();
  }
  executions_.push_back({request, result});
  return result;
}

void FakeShell::WaitForProcess(ProcessHandle process) {
  std::lock_guard lock(mutex_);
  if (auto found = open_handles_.find(process); found != open_handles_.end()) {
    executions_[found->second].waited = true;
  }
}

void FakeShell::CloseProcessHandle(ProcessHandle process) {
  std::lock_guard lock(mutex_);
  if (auto found = open_handles_.find(process); found != open_handles_.end()) {
    executions_[found->second].handle_closed = true;
    open_handles_.erase(found);
  }
}

std::vector<FakeShell::Execution> FakeShell::Executions() const {
  std::lock_guard lock(mutex_);
  return executions_;
}

std::size_t FakeShell::OpenProcessHandleCount() const {
  std::lock_guard lock(mutex_);
  return open_handles_.size();
}

}  // namespace sg::platform::fake
