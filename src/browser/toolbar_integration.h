#pragma once

#include "platform/ports/platform.h"

namespace sg::browser {

// The browser's toolbar-button and Tools-menu registration, below HKEY_CURRENT_USER\Software.
inline constexpr const char* kExtensionsSection = "Microsoft\\Internet Explorer\\Extensions";
inline constexpr const char* kExtensionId = "{3C75C1F5-6D83-11d6-9855-00065B6980E9}";

// Makes the browser's toolbar button and Tools menu entry for the program follow the option:
// registered once when on (only "Exec" is kept current afterwards), removed when off.
void ToolbarIntegration(platform::Platform& platform, bool integrate, platform::DialogHost* owner);

}  // namespace sg::browser
