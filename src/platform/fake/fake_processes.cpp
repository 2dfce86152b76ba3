#include "platform/fake/fake_processes.h"

#include <algorithm>

namespace sg::platform::fake {

namespace {

// The executable is mapped at the usual image base; the fake lists no other module by handle.
constexpr ModuleHandle kExecutableModule = 0x400000;
constexpr std::uint32_t kQueryAndRead = kProcessQueryInformation | kProcessVmRead;

std::string BaseName(const std::string& path) {
  const std::size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string Truncated(const std::string& text, std::size_t buffer_size) {
  return buffer_size == 0 ? std::string() : text.substr(0, buffer_size - 1);
}

}  // namespace

std::uint32_t FakeProcesses::Start(Process process) {
  std::lock_guard lock(mutex_);
  if (process.id == 0) process.id = next_id_;
  next_id_ = std::max(next_id_, process.id) + 4;  // Windows hands out ids in steps of four
  processes_.push_back(std::move(process));
  return processes_.back().id;
}

bool FakeProcesses::IsRunning(std::uint32_t process_id) const {
  std::lock_guard lock(mutex_);
  return Running(process_id) != nullptr;
}

std::vector<FakeProcesses::Termination> FakeProcesses::Terminations() const {
  std::lock_guard lock(mutex_);
  return terminations_;
}

std::size_t FakeProcesses::OpenHandles() const {
  std::lock_guard lock(mutex_);
  return handles_.size();
}

void FakeProcesses::SetLibraries(bool psapi, bool vdmdbg, bool toolhelp) {
  psapi_ = psapi;
  vdmdbg_ = vdmdbg;
  toolhelp_ = toolhelp;
}

std::optional<std::uint32_t> FakeProcesses::EnumProcesses(std::span<std::uint32_t> ids) {
  std::lock_guard lock(mutex_);
  if (!IsNt() || !psapi_) return std::nullopt;
  const std::size_t count = std::min(ids.size(), processes_.size());
  for (std::size_t i = 0; i < count; ++i) ids[i] = processes_[i].id;
  return static_cast<std::uint32_t>(count * sizeof(std::uint32_t));
}

ProcessHandle FakeProcesses::OpenProcess(std::uint32_t access, std::uint32_t process_id) {
  std::lock_guard lock(mutex_);
  const Process* process = Running(process_id);
  if (!process || process->cannot_be_opened) return 0;
  if (process->ends_before_termination && (access & kProcessTerminate)) {
    std::erase_if(processes_, [&](const Process& p) { return p.id == process_id; });
    return 0;
  }
  const ProcessHandle handle = next_handle_;
  next_handle_ += 4;
  handles_[handle] = {process_id, access};
  return handle;
}

ModuleHandle FakeProcesses::FirstModule(ProcessHandle process) {
  std::lock_guard lock(mutex_);
  const Process* opened = Opened(process, kQueryAndRead);
  return opened && !opened->path.empty() ? kExecutableModule : 0;
}

std::string FakeProcesses::ModuleBaseName(ProcessHandle process, ModuleHandle module,
                                          std::size_t buffer_size) {
  std::lock_guard lock(mutex_);
  const Process* opened = Opened(process, kQueryAndRead);
  if (!opened || opened->path.empty() || module != kExecutableModule) return {};
  return Truncated(BaseName(opened->path), buffer_size);
}

std::string FakeProcesses::ModuleFileName(ProcessHandle process, ModuleHandle module,
                                          std::size_t buffer_size) {
  std::lock_guard lock(mutex_);
  const Process* opened = Opened(process, kQueryAndRead);
  if (!opened || opened->path.empty() || module != kExecutableModule) return {};
  return Truncated(opened->path, buffer_size);
}

bool FakeProcesses::TerminateProcess(ProcessHandle process, std::uint32_t exit_code) {
  std::uint32_t process_id = 0;
  {
    std::lock_guard lock(mutex_);
    const Process* opened = Opened(process, kProcessTerminate);
    if (!opened || opened->refuses_termination) return false;
    process_id = opened->id;
    std::erase_if(processes_, [&](const Process& p) { return p.id == process_id; });
    terminations_.push_back({process_id, exit_code});
  }
  for (WindowHandle window : desktop_.TopLevelWindows()) {
    if (desktop_.ProcessId(window) == process_id) desktop_.Close(window);
  }
  return true;
}

void FakeProcesses::CloseHandle(ProcessHandle process) {
  std::lock_guard lock(mutex_);
  handles_.erase(process);
}

std::optional<std::vector<ProcessEntry>> FakeProcesses::ProcessSnapshot() {
  std::lock_guard lock(mutex_);
  if (!toolhelp_) return std::nullopt;
  std::vector<ProcessEntry> entries;
  for (const Process& process : processes_) {
    entries.push_back({process.id, IsNt() ? BaseName(process.path) : process.path});
  }
  return entries;
}

std::optional<std::vector<ModuleEntry>> FakeProcesses::ModuleSnapshot(std::uint32_t process_id) {
  std::lock_guard lock(mutex_);
  const Process* process = Running(process_id);
  if (!toolhelp_ || !process || process->cannot_be_opened) return std::nullopt;
  std::vector<ModuleEntry> entries;
  if (process->path.empty()) return entries;
  entries.push_back({BaseName(process->path), process->path});
  for (const std::string& library : process->libraries) {
    entries.push_back({BaseName(library), library});
  }
  return entries;
}

const FakeProcesses::Process* FakeProcesses::Running(std::uint32_t process_id) const {
  auto found = std::find_if(processes_.begin(), processes_.end(),
                            [&](const Process& p) { return p.id == process_id; });
  return found == processes_.end() ? nullptr : &*found;
}

const FakeProcesses::Process* FakeProcesses::Opened(ProcessHandle process,
                                                    std::uint32_t access) const {
  auto found = handles_.find(process);
  if (found == handles_.end() || (found->second.access & access) != access) return nullptr;
  return Running(found->second.process_id);
}

}  // namespace sg::platform::fake
