#include "platform/win32/win32_hook_library.h"

#include <windows.h>

#include "hookdll/sg_driver.h"

namespace sg::platform::win32 {

bool Win32HookLibrary::InitHooksDll(WindowHandle window, std::uint32_t message) {
  return ::InitHooksDll(reinterpret_cast<HWND>(window), message);
}

bool Win32HookLibrary::InstallFilters() {
  return ::InstallFilters();
}

bool Win32HookLibrary::UnInstallFilters() {
  return ::UnInstallFilters();
}

bool Win32HookLibrary::ShutdownHooksDll() {
  return ::ShutdownHooksDll();
}

}  // namespace sg::platform::win32
