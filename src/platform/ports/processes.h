#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace sg::platform {

// An open process (OpenProcess); 0 is none.
using ProcessHandle = std::uintptr_t;
// A module loaded in a process (EnumProcessModules); 0 is none.
using ModuleHandle = std::uintptr_t;

// Platform ids of GetVersionExA.
inline constexpr std::uint32_t kPlatformWin32Windows = 1;  // the 95 family
inline constexpr std::uint32_t kPlatformWin32Nt = 2;

// Access rights of OpenProcess.
inline constexpr std::uint32_t kProcessTerminate = 0x0001;
inline constexpr std::uint32_t kProcessVmRead = 0x0010;
inline constexpr std::uint32_t kProcessQueryInformation = 0x0400;

// A process of a ToolHelp process snapshot.
struct ProcessEntry {
  std::uint32_t process_id = 0;
  std::string exe_file;  // a full path on the 95 family, the base name on the NT family
};

// A module of a ToolHelp module snapshot.
struct ModuleEntry {
  std::string module_name;
  std::string path;
};

// The machine's running processes (KERNEL32, PSAPI, VDMDBG).
class ProcessesPort {
 public:
  virtual ~ProcessesPort() = default;
  // dwPlatformId of GetVersionExA; 0 when it cannot be read.
  virtual std::uint32_t PlatformId() = 0;
  // Whether PSAPI.DLL loads with EnumProcesses, EnumProcessModules, GetModuleBaseNameA and
  // GetModuleFileNameExA.
  virtual bool HasPsapi() = 0;
  // Whether VDMDBG.DLL loads with VDMEnumTaskWOWEx.
  virtual bool HasVdmDbg() = 0;
  // Whether Kernel32.DLL has CreateToolhelp32Snapshot and the process and module walks.
  virtual bool HasToolHelp() = 0;

  // EnumProcesses into a buffer of ids.size() ids: the bytes written, nothing on failure. A
  // full buffer means that there may be more processes.
  virtual std::optional<std::uint32_t> EnumProcesses(std::span<std::uint32_t> ids) = 0;
  // OpenProcess, not inheritable; 0 when the process cannot be opened.
  virtual ProcessHandle OpenProcess(std::uint32_t access, std::uint32_t process_id) = 0;
  // EnumProcessModules asked for a single module: the executable; 0 on failure.
  virtual ModuleHandle FirstModule(ProcessHandle process) = 0;
  // GetModuleBaseNameA and GetModuleFileNameExA into a buffer of buffer_size bytes: at most
  // buffer_size - 1 characters, empty on failure.
  virtual std::string ModuleBaseName(ProcessHandle process, ModuleHandle module,
                                     std::size_t buffer_size) = 0;
  virtual std::string ModuleFileName(ProcessHandle process, ModuleHandle module,
                                     std::size_t buffer_size) = 0;
  virtual bool TerminateProcess(ProcessHandle process, std::uint32_t exit_code) = 0;
  virtual void CloseHandle(ProcessHandle process) = 0;

  // CreateToolhelp32Snapshot of the processes, walked with Process32First and Process32Next;
  // nothing when the snapshot cannot be taken.
  virtual std::optional<std::vector<ProcessEntry>> ProcessSnapshot() = 0;
  // The same for the modules of one process, with Module32First and Module32Next.
  virtual std::optional<std::vector<ModuleEntry>> ModuleSnapshot(std::uint32_t process_id) = 0;
};

}  // namespace sg::platform
