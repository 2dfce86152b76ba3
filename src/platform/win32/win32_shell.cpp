#include "platform/win32/win32_shell.h"

#include <windows.h>

#include <shellapi.h>

namespace sg::platform::win32 {

namespace {

const char* OrNull(const std::string& text) {
  return text.empty() ? nullptr : text.c_str();
}

}  // namespace

ShellExecuteResult Win32Shell::Execute(const ShellExecuteRequest& request) {
  SHELLEXECUTEINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = request.keep_process_handle ? SEE_MASK_NOCLOSEPROCESS : 0;
  info.lpVerb = OrNull(request.verb);
  info.lpFile = request.file.c_str();
  info.lpParameters = OrNull(request.parameters);
  info.lpDirectory = OrNull(request.directory);
  info.nShow = request.show_command;
  ShellExecuteExA(&info);
  ShellExecuteResult result;
  result.instance = reinterpret_cast<std::intptr_t>(info.hInstApp);
  result.process = reinterpret_cast<ProcessHandle>(info.hProcess);
  return result;
}

void Win32Shell::WaitForProcess(ProcessHandle process) {
  WaitForSingleObject(reinterpret_cast<HANDLE>(process), INFINITE);
}

void Win32Shell::CloseProcessHandle(ProcessHandle process) {
  CloseHandle(reinterpret_cast<HANDLE>(process));
}

std::uint32_t Win32Shell::WinExec(const std::string& command_line, int show_command) {
  return ::WinExec(command_line.c_str(), static_cast<UINT>(show_command));
}

}  // namespace sg::platform::win32
