#pragma once

#include <string>
#include <string_view>

#include "common/web_addresses.h"
#include "platform/ports/shell.h"
#include "platform/ports/windows.h"

namespace sg {

// Opens the online help at one of its sections in the user's web browser.
inline void OpenOnlineHelp(platform::ShellPort& shell, std::string_view section) {
  platform::ShellExecuteRequest request;
  request.file = std::string(kOnlineHelpPage) + "#" + std::string(section);
  request.show_command = platform::kSwShowNormal;
  shell.Execute(request);
}

}  // namespace sg
