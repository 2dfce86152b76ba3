#pragma once

#include "platform/ports/hook_library.h"

namespace sg::platform::win32 {

// The exports of SGDriver.dll.
class Win32HookLibrary final : public HookLibraryPort {
 public:
  bool InitHooksDll(WindowHandle window, std::uint32_t message) override;
  bool InstallFilters() override;
  bool UnInstallFilters() override;
  bool ShutdownHooksDll() override;
};

}  // namespace sg::platform::win32
