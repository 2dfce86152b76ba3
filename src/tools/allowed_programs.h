#pragma once

#include <string>
#include <string_view>
#include <unordered_set>

#include "platform/ports/platform.h"
#include "tools/process_list.h"

namespace sg::tools {

// The programs the user allows to run, one per line: a full path or, where the path was not
// known, a bare file name. Always in the user's own data folder, even for a copy of the program
// whose lists lie beside it: a list that another user could write would let any program run.
inline constexpr const char* kAllowedProgramsFileName = "allowed.txt";

class AllowedPrograms {
 public:
  // The list as the file holds it now. A file that cannot be read, or that has grown beyond
  // any real list, allows nothing: the protection goes on as before.
  static AllowedPrograms Read(platform::Platform& platform);

  // A process whose path is known by that path alone; a bare name allows only a process whose
  // path cannot be read either. Letter case ignored.
  bool Allows(std::string_view name, std::string_view path) const;
  bool empty() const { return paths_.empty() && names_.empty(); }

  // Adds a path or a name unless the list holds it already. True when the file holds it; false
  // also when the system names no data folder for the user.
  static bool Add(platform::Platform& platform, std::string_view entry);

 private:
  // Upper case.
  std::unordered_set<std::string> paths_;
  std::unordered_set<std::string> names_;
};

// The list without the processes that the user allows.
ProcessList WithoutAllowed(const ProcessList& list, const AllowedPrograms& allowed);

}  // namespace sg::tools
