#include "tools/process_list.h"

#include <algorithm>
#include <charconv>
#include <optional>

#include "common/ascii.h"
#include "tools/process_ids.h"

namespace sg::tools {

namespace {

constexpr std::size_t kNameBuffer = 260;
constexpr std::uint32_t kQueryAndRead =
    platform::kProcessQueryInformation | platform::kProcessVmRead;

bool CollectNt(platform::ProcessesPort& port, std::vector<std::string>& names,
               std::vector<std::string>& ids, std::vector<std::string>* paths) {
  if (!port.HasPsapi()) return false;
  const std::optional<std::vector<std::uint32_t>> running = RunningProcessIds(port);
  if (!running) return false;
  for (const std::uint32_t id : *running) {
    const platform::ProcessHandle process = port.OpenProcess(kQueryAndRead, id);
    if (!process) continue;
    if (const platform::ModuleHandle module = port.FirstModule(process)) {
      std::string name = port.ModuleBaseName(process, module, kNameBuffer);
      names.push_back(name.empty() ? "Unknown" : std::move(name));
      ids.push_back(std::to_string(id));
      if (paths) paths->push_back(port.ModuleFileName(process, module, kNameBuffer));
    }
    port.CloseHandle(process);
  }
  return !names.empty();
}

// Every module of every process, each with its process's id; one failed module snapshot fails
// the whole call.
bool Collect95(platform::ProcessesPort& port, std::vector<std::string>& names,
               std::vector<std::string>& ids, std::vector<std::string>* paths) {
  if (!port.HasToolHelp()) return false;
  const auto snapshot = port.ProcessSnapshot();
  if (!snapshot) return false;
  for (const platform::ProcessEntry& process : *snapshot) {
    const auto modules = port.ModuleSnapshot(process.process_id);
    if (!modules) return false;
    for (const platform::ModuleEntry& module : *modules) {
      if (module.module_name.size() <= 4) continue;
      names.push_back(module.module_name);
      ids.push_back(std::to_string(process.process_id));
      if (paths) paths->push_back(module.path);
    }
  }
  return !names.empty();
}

std::uint32_t DecimalId(const std::string& text) {
  std::uint32_t id = 0;
  std::from_chars(text.data(), text.data() + text.size(), id);
  return id;
}

bool IsCheckableName(const std::string& file_name) {
  return !file_name.empty() && file_name.size() <= 260;
}

// Whether the opened process still runs the listed program: its id may have been given to
// another program since the list was made.
bool StillRuns(platform::ProcessesPort& processes, platform::ProcessHandle process,
               std::uint32_t id, const std::string& upper_name) {
  if (processes.PlatformId() != platform::kPlatformWin32Nt) {
    // The 95 family lists every module of a process by its name.
    const auto modules = processes.ModuleSnapshot(id);
    return modules && std::ranges::any_of(*modules, [&](const platform::ModuleEntry& module) {
             return AsciiUpper(module.module_name) == upper_name;
           });
  }
  const platform::ModuleHandle module = processes.FirstModule(process);
  return module && AsciiUpper(processes.ModuleBaseName(process, module, kNameBuffer)) == upper_name;
}

// Only the first match is terminated: another copy of the program shows up in the next,
// fresh list.
int TerminateListed(platform::ProcessesPort& processes, const std::string& decimal_id,
                    const std::string& upper_name) {
  const std::uint32_t id = DecimalId(decimal_id);
  const platform::ProcessHandle process =
      processes.OpenProcess(platform::kProcessTerminate | kQueryAndRead, id);
  if (!process) return kill_result::kCannotOpen;
  const bool listed = StillRuns(processes, process, id, upper_name);
  const bool terminated = listed && processes.TerminateProcess(process, 0);
  processes.CloseHandle(process);
  if (!listed) return kill_result::kNotRunning;
  return terminated ? kill_result::kKilled : kill_result::kTerminateFailed;
}

}  // namespace

bool CollectProcesses(platform::ProcessesPort& processes, std::vector<std::string>* names,
                      std::vector<std::string>* ids, std::vector<std::string>* paths) {
  if (!names || !ids) return false;
  switch (processes.PlatformId()) {
    case platform::kPlatformWin32Nt:
      return CollectNt(processes, *names, *ids, paths);
    case platform::kPlatformWin32Windows:
      return Collect95(processes, *names, *ids, paths);
    default:
      return false;
  }
}

bool CollectProcesses(platform::ProcessesPort& processes, ProcessList& list) {
  return CollectProcesses(processes, &list.names, &list.ids, &list.paths);
}

int KillProcessByName(platform::ProcessesPort& processes, const std::string& file_name,
                      const std::vector<std::string>* names, const std::vector<std::string>* ids) {
  if (!names || !ids) return kill_result::kNoList;
  if (!IsCheckableName(file_name)) return kill_result::kBadName;
  const std::string target = AsciiUpper(file_name);
  const std::size_t count = std::min(names->size(), ids->size());
  for (std::size_t i = 0; i < count; ++i) {
    if (AsciiUpper((*names)[i]) == target) return TerminateListed(processes, (*ids)[i], target);
  }
  return kill_result::kNotRunning;
}

int KillProcessByName(platform::ProcessesPort& processes, const std::string& file_name,
                      const ProcessList& list) {
  return KillProcessByName(processes, file_name, &list.names, &list.ids);
}

ProcessNameIndex::ProcessNameIndex(const ProcessList& list) : list_(list) {
  const std::size_t count = std::min(list.names.size(), list.ids.size());
  first_position_.reserve(count);
  for (std::size_t i = 0; i < count; ++i) first_position_.try_emplace(AsciiUpper(list.names[i]), i);
}

bool ProcessNameIndex::Has(const std::string& file_name) const {
  return first_position_.contains(AsciiUpper(file_name));
}

std::string ProcessNameIndex::PathOf(const std::string& file_name) const {
  const auto found = first_position_.find(AsciiUpper(file_name));
  if (found == first_position_.end() || found->second >= list_.paths.size()) return {};
  return list_.paths[found->second];
}

int ProcessNameIndex::KillProcessByName(platform::ProcessesPort& processes,
                                        const std::string& file_name) const {
  if (!IsCheckableName(file_name)) return kill_result::kBadName;
  const auto found = first_position_.find(AsciiUpper(file_name));
  if (found == first_position_.end()) return kill_result::kNotRunning;
  return TerminateListed(processes, list_.ids[found->second], found->first);
}

}  // namespace sg::tools
