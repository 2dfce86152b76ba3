#pragma once

// What Linux knows of the processes Wine runs, read through Wine's drive Z:. Each Wine process is
// a Linux process named after its program file, cut to 15 characters.
#include <windows.h>

#include <cctype>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "e2e/program_driver.h"

namespace sg::e2e {

// The names of the entries of a folder under Z:\proc.
inline std::vector<std::string> LinuxFolderEntries(const std::string& folder, bool digits_only) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    if (!digits_only || std::isdigit(static_cast<unsigned char>(found.cFileName[0]))) {
      names.emplace_back(found.cFileName);
    }
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return names;
}

// Z:\proc\<pid> of every process with that name.
inline std::vector<std::string> LinuxProcessesNamed(const std::string& name) {
  std::vector<std::string> folders;
  for (const std::string& pid : LinuxFolderEntries("Z:\\proc", true)) {
    const std::string folder = "Z:\\proc\\" + pid;
    const std::string stat = FileText(folder + "\\stat");
    const std::size_t open = stat.find('(');
    const std::size_t close = stat.rfind(')');
    if (open != std::string::npos && close != std::string::npos &&
        stat.substr(open + 1, close - open - 1) == name.substr(0, 15)) {
      folders.push_back(folder);
    }
  }
  return folders;
}

// Nanoseconds of processor time each thread of those processes has used, by its Linux task.
using ThreadTimes = std::map<std::string, double>;
inline ThreadTimes ProcessorTimes(const std::string& name) {
  ThreadTimes times;
  for (const std::string& process : LinuxProcessesNamed(name)) {
    for (const std::string& task : LinuxFolderEntries(process + "\\task", true)) {
      times[task] =
          std::strtod(FileText(process + "\\task\\" + task + "\\schedstat").c_str(), nullptr);
    }
  }
  return times;
}

// Seconds of processor time used between two readings. A thread that ended meanwhile takes
// its share with it, so short-lived threads count for less than they used.
inline double ProcessorSecondsBetween(const ThreadTimes& before, const ThreadTimes& after) {
  double nanoseconds = 0;
  for (const auto& [task, time] : after) {
    const auto earlier = before.find(task);
    nanoseconds += time - (earlier == before.end() ? 0 : earlier->second);
  }
  return nanoseconds / 1e9;
}

// Memory of those processes that no other process shares, in MiB; -1 when none runs.
inline double PrivateMebibytes(const std::string& name) {
  const std::vector<std::string> processes = LinuxProcessesNamed(name);
  if (processes.empty()) return -1;
  double kibibytes = 0;
  for (const std::string& process : processes) {
    std::istringstream lines(FileText(process + "\\smaps_rollup"));
    std::string label;
    double value = 0;
    std::string unit;
    while (lines >> label) {
      if (label == "Private_Clean:" || label == "Private_Dirty:") {
        lines >> value >> unit;
        kibibytes += value;
      }
    }
  }
  return kibibytes / 1024;
}

}  // namespace sg::e2e
