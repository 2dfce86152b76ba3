#include "platform/fake/fake_shell.h"

#include <algorithm>
#include <optional>

#include "common/ascii.h"

namespace sg::platform::fake {

namespace {

constexpr std::intptr_t kStartedInstance = 42;
constexpr std::intptr_t kFileNotFoundInstance = 2;  // SE_ERR_FNF

std::string WithoutExe(std::string key) {
  if (key.size() > 4 && key.ends_with(".EXE")) key.resize(key.size() - 4);
  return key;
}

std::string NameKey(const std::string& file) {
  const std::string key = AsciiUpper(file);
  const auto slash = key.rfind('\\');
  return WithoutExe(slash == std::string::npos ? key : key.substr(slash + 1));
}

bool HasFolder(const std::string& file) {
  return file.find('\\') != std::string::npos;
}

}  // namespace

void FakeShell::InstallProgram(const std::string& name_or_path, Program program) {
  std::lock_guard lock(mutex_);
  if (HasFolder(name_or_path)) {
    programs_by_path_[WithoutExe(AsciiUpper(name_or_path))] = std::move(program);
  } else {
    programs_by_name_[NameKey(name_or_path)] = std::move(program);
  }
}

FakeShell::Program FakeShell::Find(const std::string& file) const {
  if (auto found = programs_by_name_.find(NameKey(file)); found != programs_by_name_.end()) {
    return found->second;
  }
  if (!HasFolder(file)) return nullptr;
  auto found = programs_by_path_.find(WithoutExe(AsciiUpper(file)));
  return found == programs_by_path_.end() ? nullptr : found->second;
}

ShellExecuteResult FakeShell::Execute(const ShellExecuteRequest& request) {
  Program program;
  std::optional<std::intptr_t> answer;
  {
    std::lock_guard lock(mutex_);
    program = Find(request.file);
    if (auto found = answers_.find(AsciiUpper(request.file)); found != answers_.end()) {
      answer = found->second;
      program = nullptr;
    }
  }
  ShellExecuteResult result;
  if (program) {
    program(request.parameters);
    result.instance = kStartedInstance;
  } else {
    result.instance = kFileNotFoundInstance;
  }
  if (answer) result.instance = *answer;
  std::lock_guard lock(mutex_);
  if (program && request.keep_process_handle) {
    result.process = next_handle_;
    next_handle_ += 4;
    open_handles_[result.process] = executions_.size();
  }
  executions_.push_back({request, result});
  return result;
}

void FakeShell::AnswerFile(const std::string& file, std::intptr_t instance) {
  std::lock_guard lock(mutex_);
  answers_[AsciiUpper(file)] = instance;
}

std::uint32_t FakeShell::WinExec(const std::string& command_line, int show_command) {
  std::string name;
  std::size_t rest = 0;
  if (command_line.starts_with('"')) {
    const auto close = command_line.find('"', 1);
    name = command_line.substr(1, close == std::string::npos ? std::string::npos : close - 1);
    rest = close == std::string::npos ? command_line.size() : close + 1;
  } else {
    rest = std::min(command_line.find(' '), command_line.size());
    name = command_line.substr(0, rest);
  }
  if (rest < command_line.size() && command_line[rest] == ' ') ++rest;
  Program program;
  {
    std::lock_guard lock(mutex_);
    program = Find(name);
  }
  if (program) program(command_line.substr(rest));
  const std::uint32_t result =
      program ? kStartedInstance : static_cast<std::uint32_t>(kFileNotFoundInstance);
  std::lock_guard lock(mutex_);
  command_runs_.push_back({command_line, show_command, result});
  return result;
}

std::vector<FakeShell::CommandRun> FakeShell::CommandRuns() const {
  std::lock_guard lock(mutex_);
  return command_runs_;
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
