#pragma once

#include <string>
#include <string_view>
#include <unordered_set>

#include "platform/ports/platform.h"
#include "tools/process_list.h"

namespace sg::tools {

// The programs the user allows to run, kept with the user's other lists: one per line, a full
// path or, where the path was not known, a bare file name.
inline constexpr const char* kAllowedProgramsFileName = "allowed.txt";

class AllowedPrograms {
 public:
  // The list as the file holds it now. A file that cannot be read, or that has grown beyond
  // any real list, allows nothing: the protection goes on as before.
  static AllowedPrograms Read(platform::Platform& platform);

  // By path when the line is one, else by name; letter case ignored.
  bool Allows(std::string_view name, std::string_view path) const;
  bool empty() const { return entries_.empty(); }

  // Adds a path or a name unless the list holds it already. True when the file holds it.
  static bool Add(platform::Platform& platform, std::string_view entry);

 private:
  std::unordered_set<std::string> entries_;  // upper case
};

// The list without the processes that the user allows.
ProcessList WithoutAllowed(const ProcessList& list, const AllowedPrograms& allowed);

}  // namespace sg::tools
