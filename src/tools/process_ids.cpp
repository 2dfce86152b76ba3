#include "tools/process_ids.h"

namespace sg::tools {

std::optional<std::vector<std::uint32_t>> RunningProcessIds(platform::ProcessesPort& processes) {
  std::vector<std::uint32_t> ids(250);
  for (;;) {
    const std::optional<std::uint32_t> bytes = processes.EnumProcesses(ids);
    if (!bytes) return std::nullopt;
    const std::size_t count = *bytes / sizeof(std::uint32_t);
    // A full buffer may have cut the list short: ask again with twice the room.
    if (count < ids.size()) {
      ids.resize(count);
      return ids;
    }
    ids.resize(ids.size() * 2);
  }
}

}  // namespace sg::tools
