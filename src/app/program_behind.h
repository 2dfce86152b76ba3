#pragma once

#include <string>

#include "platform/ports/processes.h"
#include "platform/ports/windows.h"

namespace sg::app {

// Returned when only one visible titled window exists.
inline constexpr const char* kGetNextMarker = "GET NEXT";

// The program owning the visible, titled, non-minimised window directly behind the topmost one:
// its executable's path, else that window's title; empty when that window is minimised or when
// no visible titled window exists.
std::string FindProgramBehind(platform::WindowsPort& windows, platform::ProcessesPort& processes);

}  // namespace sg::app
