#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/ports/processes.h"
#include "platform/ports/windows.h"

namespace sg::tools {

// Filter bits of WindowProcessList::Build, tested in this order.
namespace window_filter {
inline constexpr std::uint32_t kVisibleOnly = 0x01;
inline constexpr std::uint32_t kHiddenOnly = 0x02;    // only without kVisibleOnly
inline constexpr std::uint32_t kTopLevelOnly = 0x04;  // no parent or owner
inline constexpr std::uint32_t kOwnedOnly = 0x08;     // only without kTopLevelOnly
inline constexpr std::uint32_t kExcludeClasses = 0x10;
}  // namespace window_filter

// The desktop's top-level windows with their class, process and, where it can be found, the
// executable of that process.
class WindowProcessList {
 public:
  struct Entry {
    std::string class_name;
    std::uint32_t process_id = 0;
    platform::WindowHandle window = 0;
    std::string module_path;  // empty where unknown
  };

  WindowProcessList(platform::WindowsPort& windows, platform::ProcessesPort& processes)
      : windows_(windows), processes_(processes) {}

  // Windows of this class are skipped by kExcludeClasses (exact, case-sensitive).
  void ExcludeClass(std::string class_name) { excluded_classes_.push_back(std::move(class_name)); }

  // Lists the windows the filter keeps, then fills in module paths. False when the paths could
  // not be looked up; the windows are listed either way.
  bool Build(std::uint32_t filter);

  std::uint32_t filter() const { return filter_; }
  std::size_t Count() const { return entries_.size(); }
  // Entry i; out of range: empty or 0.
  const std::string& ModulePath(std::size_t i) const;
  platform::WindowHandle Window(std::size_t i) const;
  const std::string& ClassName(std::size_t i) const;
  std::uint32_t ProcessId(std::size_t i) const;

 private:
  bool Keeps(platform::WindowHandle window, const std::string& class_name) const;
  // The first entry of the process, the only one that gets its path.
  Entry* FirstOf(std::uint32_t process_id);
  bool FillPathsNt();
  bool FillPaths95();

  platform::WindowsPort& windows_;
  platform::ProcessesPort& processes_;
  std::uint32_t filter_ = 0;
  std::vector<std::string> excluded_classes_;
  std::vector<Entry> entries_;
};

}  // namespace sg::tools
