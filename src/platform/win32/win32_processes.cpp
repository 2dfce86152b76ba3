#include "platform/win32/win32_processes.h"

#include <windows.h>

// The PSAPI.DLL functions under their own names, not the KERNEL32 copies of later systems.
#define PSAPI_VERSION 1
#include <psapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <initializer_list>

#include "platform/win32/system_libraries.h"
#include "platform/win32/unclashed_names.h"

namespace sg::platform::win32 {

namespace {

HANDLE Handle(ProcessHandle process) {
  return reinterpret_cast<HANDLE>(process);
}

bool LibraryHas(const char* library, std::initializer_list<const char*> functions) {
  HMODULE module = LoadSystemLibrary(library);
  if (!module) return false;
  bool all = true;
  for (const char* function : functions) {
    if (!GetProcAddress(module, function)) all = false;
  }
  FreeLibrary(module);
  return all;
}

// Keeps what a call wrote into the buffer, at most its size less the terminator.
void KeepAnswer(std::string& buffer, DWORD length) {
  buffer.resize(std::min<std::size_t>(length, buffer.size() - 1));
}

}  // namespace

std::uint32_t Win32Processes::PlatformId() {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
  if (!GetVersionExA(&version)) return 0;
  return version.dwPlatformId;
}

bool Win32Processes::HasPsapi() {
  return LibraryHas("PSAPI.DLL", {"EnumProcesses", "EnumProcessModules", "GetModuleBaseNameA",
                                  "GetModuleFileNameExA"});
}

bool Win32Processes::HasVdmDbg() {
  return LibraryHas("VDMDBG.DLL", {"VDMEnumTaskWOWEx"});
}

bool Win32Processes::HasToolHelp() {
  return LibraryHas("Kernel32.DLL", {"CreateToolhelp32Snapshot", "Process32First", "Process32Next",
                                     "Module32First", "Module32Next"});
}

std::optional<std::uint32_t> Win32Processes::EnumProcesses(std::span<std::uint32_t> ids) {
  static_assert(sizeof(DWORD) == sizeof(std::uint32_t));
  DWORD bytes = 0;
  if (!::EnumProcesses(reinterpret_cast<DWORD*>(ids.data()), static_cast<DWORD>(ids.size_bytes()),
                       &bytes))
    return std::nullopt;
  return bytes;
}

ProcessHandle Win32Processes::OpenProcess(std::uint32_t access, std::uint32_t process_id) {
  return reinterpret_cast<ProcessHandle>(::OpenProcess(access, FALSE, process_id));
}

ModuleHandle Win32Processes::FirstModule(ProcessHandle process) {
  HMODULE module = nullptr;
  DWORD needed = 0;
  if (!EnumProcessModules(Handle(process), &module, sizeof module, &needed)) return 0;
  return reinterpret_cast<ModuleHandle>(module);
}

std::string Win32Processes::ModuleBaseName(ProcessHandle process, ModuleHandle module,
                                           std::size_t buffer_size) {
  if (buffer_size == 0) return {};
  std::string name(buffer_size, '\0');
  KeepAnswer(name, GetModuleBaseNameA(Handle(process), reinterpret_cast<HMODULE>(module),
                                      name.data(), static_cast<DWORD>(buffer_size)));
  return name;
}

std::string Win32Processes::ModuleFileName(ProcessHandle process, ModuleHandle module,
                                           std::size_t buffer_size) {
  if (buffer_size == 0) return {};
  std::string path(buffer_size, '\0');
  KeepAnswer(path, GetModuleFileNameExA(Handle(process), reinterpret_cast<HMODULE>(module),
                                        path.data(), static_cast<DWORD>(buffer_size)));
  return path;
}

bool Win32Processes::TerminateProcess(ProcessHandle process, std::uint32_t exit_code) {
  return ::TerminateProcess(Handle(process), exit_code);
}

void Win32Processes::CloseHandle(ProcessHandle process) {
  ::CloseHandle(Handle(process));
}

std::optional<std::vector<ProcessEntry>> Win32Processes::ProcessSnapshot() {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return std::nullopt;
  std::vector<ProcessEntry> entries;
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
    entries.push_back({entry.th32ProcessID, entry.szExeFile});
  }
  ::CloseHandle(snapshot);
  return entries;
}

std::optional<std::vector<ModuleEntry>> Win32Processes::ModuleSnapshot(std::uint32_t process_id) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, process_id);
  if (snapshot == INVALID_HANDLE_VALUE) return std::nullopt;
  std::vector<ModuleEntry> entries;
  MODULEENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Module32First(snapshot, &entry); more; more = Module32Next(snapshot, &entry)) {
    entries.push_back({entry.szModule, entry.szExePath});
  }
  ::CloseHandle(snapshot);
  return entries;
}

}  // namespace sg::platform::win32
