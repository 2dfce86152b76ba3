#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/ports/processes.h"

namespace sg::tools {

// The ids of every running process (EnumProcesses), in the order the system gives them. Starts
// with room for 250 ids and grows the buffer while the system fills it.
std::optional<std::vector<std::uint32_t>> RunningProcessIds(platform::ProcessesPort& processes);

}  // namespace sg::tools
