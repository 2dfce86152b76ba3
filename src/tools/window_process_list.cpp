#include "tools/window_process_list.h"

#include <algorithm>
#include <optional>

#include "tools/process_ids.h"

namespace sg::tools {

namespace {

constexpr std::size_t kNameBuffer = 260;
const std::string kNone;

}  // namespace

bool WindowProcessList::Build(std::uint32_t filter) {
  entries_.clear();
  filter_ = filter;
  for (const platform::WindowHandle window : windows_.TopLevelWindows()) {
    std::string class_name = windows_.ClassName(window, kNameBuffer);
    if (!Keeps(window, class_name)) continue;
    entries_.push_back({std::move(class_name), windows_.ProcessId(window), window, {}});
  }
  switch (processes_.PlatformId()) {
    case platform::kPlatformWin32Nt:
      return FillPathsNt();
    case platform::kPlatformWin32Windows:
      return FillPaths95();
    default:
      return false;
  }
}

bool WindowProcessList::Keeps(platform::WindowHandle window, const std::string& class_name) const {
  using namespace window_filter;
  if (filter_ & kVisibleOnly) {
    if (!windows_.IsVisible(window)) return false;
  } else if (filter_ & kHiddenOnly) {
    if (windows_.IsVisible(window)) return false;
  }
  if (filter_ & kTopLevelOnly) {
    if (windows_.Parent(window) != 0) return false;
  } else if (filter_ & kOwnedOnly) {
    if (windows_.Parent(window) == 0) return false;
  }
  if (filter_ & kExcludeClasses) {
    if (std::find(excluded_classes_.begin(), excluded_classes_.end(), class_name) !=
        excluded_classes_.end())
      return false;
  }
  return true;
}

WindowProcessList::Entry* WindowProcessList::FirstOf(std::uint32_t process_id) {
  auto found = std::find_if(entries_.begin(), entries_.end(),
                            [&](const Entry& entry) { return entry.process_id == process_id; });
  return found == entries_.end() ? nullptr : &*found;
}

bool WindowProcessList::FillPathsNt() {
  if (!processes_.HasPsapi() || !processes_.HasVdmDbg()) return false;
  const std::optional<std::vector<std::uint32_t>> running = RunningProcessIds(processes_);
  if (!running) return false;
  for (const std::uint32_t id : *running) {
    Entry* entry = FirstOf(id);
    if (!entry) continue;
    const platform::ProcessHandle process =
        processes_.OpenProcess(platform::kProcessQueryInformation | platform::kProcessVmRead, id);
    if (!process) continue;
    if (const platform::ModuleHandle module = processes_.FirstModule(process)) {
      entry->module_path = processes_.ModuleFileName(process, module, kNameBuffer);
    }
    processes_.CloseHandle(process);
  }
  return true;
}

bool WindowProcessList::FillPaths95() {
  if (!processes_.HasToolHelp()) return false;
  const auto snapshot = processes_.ProcessSnapshot();
  if (!snapshot) return false;
  for (const platform::ProcessEntry& process : *snapshot) {
    if (Entry* entry = FirstOf(process.process_id)) entry->module_path = process.exe_file;
  }
  return true;
}

const std::string& WindowProcessList::ModulePath(std::size_t i) const {
  return i < entries_.size() ? entries_[i].module_path : kNone;
}

platform::WindowHandle WindowProcessList::Window(std::size_t i) const {
  return i < entries_.size() ? entries_[i].window : 0;
}

const std::string& WindowProcessList::ClassName(std::size_t i) const {
  return i < entries_.size() ? entries_[i].class_name : kNone;
}

std::uint32_t WindowProcessList::ProcessId(std::size_t i) const {
  return i < entries_.size() ? entries_[i].process_id : 0;
}

}  // namespace sg::tools
