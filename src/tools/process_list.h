#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/ports/processes.h"

namespace sg::tools {

// The running processes as three parallel lists, always appended together: the entries at one
// position describe one process (on the 95 family, one module of a process).
struct ProcessList {
  std::vector<std::string> names;  // executable base name; "Unknown" when it cannot be read
  std::vector<std::string> ids;    // process id in decimal
  std::vector<std::string> paths;  // full path of the executable
};

// Appends the running processes to the lists; paths may be left out. True when the names list
// holds at least one entry afterwards.
bool CollectProcesses(platform::ProcessesPort& processes, std::vector<std::string>* names,
                      std::vector<std::string>* ids, std::vector<std::string>* paths);
bool CollectProcesses(platform::ProcessesPort& processes, ProcessList& list);

// Outcomes of KillProcessByName.
namespace kill_result {
inline constexpr int kKilled = 0;
inline constexpr int kTerminateFailed = 602;
inline constexpr int kNotRunning = 603;
inline constexpr int kCannotOpen = 604;
inline constexpr int kBadName = 632;
inline constexpr int kNoList = 705;
}  // namespace kill_result

// Terminates the first listed process whose name equals file_name, letter case ignored.
int KillProcessByName(platform::ProcessesPort& processes, const std::string& file_name,
                      const std::vector<std::string>* names, const std::vector<std::string>* ids);
int KillProcessByName(platform::ProcessesPort& processes, const std::string& file_name,
                      const ProcessList& list);

// The first position of every name in a process list, for passes that look up many names in
// one list: each look-up costs the same whatever the length of the list.
class ProcessNameIndex {
 public:
  explicit ProcessNameIndex(const ProcessList& list);
  // What KillProcessByName gives for the same list, without walking it.
  int KillProcessByName(platform::ProcessesPort& processes, const std::string& file_name) const;
  bool Has(const std::string& file_name) const;
  // The path of the process that KillProcessByName would pick; empty when none is listed.
  std::string PathOf(const std::string& file_name) const;

 private:
  const ProcessList& list_;
  std::unordered_map<std::string, std::size_t> first_position_;  // by upper-case name
};

}  // namespace sg::tools
