#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/fake/fake_desktop.h"
#include "platform/ports/processes.h"

namespace sg::platform::fake {

// The machine's processes: each with its executable and further loaded modules, some that
// refuse to be opened or terminated. A terminated process is gone, and so are its windows.
// NT family with every library present unless a test says otherwise.
class FakeProcesses final : public ProcessesPort {
 public:
  struct Process {
    std::uint32_t id = 0;                  // 0: the next free id
    std::string path{};                    // the executable; empty: no module loaded yet
    std::vector<std::string> libraries{};  // paths of the modules loaded after the executable
    bool cannot_be_opened = false;         // OpenProcess and module snapshots fail
    bool refuses_termination = false;      // TerminateProcess fails
    bool ends_before_termination = false;  // ends by itself as it is opened to be terminated
  };
  struct Termination {
    std::uint32_t process_id;
    std::uint32_t exit_code;
  };

  explicit FakeProcesses(FakeDesktop& desktop) : desktop_(desktop) {}

  // Starts a process after the others; returns its id.
  std::uint32_t Start(Process process);
  bool IsRunning(std::uint32_t process_id) const;
  std::vector<Termination> Terminations() const;
  // Process handles opened and not yet closed.
  std::size_t OpenHandles() const;

  void SetPlatformId(std::uint32_t platform_id) { platform_id_ = platform_id; }
  void SetLibraries(bool psapi, bool vdmdbg, bool toolhelp);

  std::uint32_t PlatformId() override { return platform_id_; }
  bool HasPsapi() override { return psapi_; }
  bool HasVdmDbg() override { return vdmdbg_; }
  bool HasToolHelp() override { return toolhelp_; }
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

 private:
  struct OpenedProcess {
    std::uint32_t process_id;
    std::uint32_t access;
  };
  const Process* Running(std::uint32_t process_id) const;
  // The process behind a handle opened with the given rights, while it runs.
  const Process* Opened(ProcessHandle process, std::uint32_t access) const;
  bool IsNt() const { return platform_id_ == kPlatformWin32Nt; }

  FakeDesktop& desktop_;
  mutable std::mutex mutex_;
  std::vector<Process> processes_;  // in the order EnumProcesses reports them
  std::uint32_t next_id_ = 0x100;
  std::map<ProcessHandle, OpenedProcess> handles_;
  ProcessHandle next_handle_ = 0x500;
  std::vector<Termination> terminations_;
  std::uint32_t platform_id_ = kPlatformWin32Nt;
  bool psapi_ = true;
  bool vdmdbg_ = true;
  bool toolhelp_ = true;
};

}  // namespace sg::platform::fake
