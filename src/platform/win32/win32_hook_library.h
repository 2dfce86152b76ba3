#pragma once

#include <windows.h>

#include "platform/ports/hook_library.h"

namespace sg::platform::win32 {

// The exports of SGDriver.dll, loaded from the program's folder by its full path; without the
// library every call answers false and the program runs without its reports.
class Win32HookLibrary final : public HookLibraryPort {
 public:
  Win32HookLibrary();
  Win32HookLibrary(const Win32HookLibrary&) = delete;
  Win32HookLibrary& operator=(const Win32HookLibrary&) = delete;

  bool InitHooksDll(WindowHandle window, std::uint32_t message) override;
  bool InstallFilters() override;
  bool UnInstallFilters() override;
  bool ShutdownHooksDll() override;

 private:
  // The exports' C signatures, as the library declares them.
  using InitFunction = bool (*)(HWND, unsigned int);
  using FlagFunction = bool (*)();

  HMODULE library_ = nullptr;
  InitFunction init_ = nullptr;
  FlagFunction install_ = nullptr;
  FlagFunction uninstall_ = nullptr;
  FlagFunction shutdown_ = nullptr;
};

}  // namespace sg::platform::win32
