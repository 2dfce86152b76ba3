#pragma once

#include "platform/ports/platform.h"
#include "tools/protection_report.h"

namespace sg::tools {

inline constexpr const char* kSpywareKilledLine = "Spyware detected and killed: ";
inline constexpr const char* kSpywareNotKilledLine = "Spyware detected, but could not kill: ";
inline constexpr const char* kUninstallAdviceLine =
    "You should manually uninstall the above spyware program, as it may be causing popups.";

// The adware protection pass: terminates every running program named in the built-in list or
// judged randomly named by the start-up entry checker, disables harmful browser plug-ins
// silently, and reports each in the blocked list, with one sound for the whole pass. Nothing is
// asked of the user.
void RunSpywarePass(platform::Platform& platform, ProtectionReport& report);

}  // namespace sg::tools
