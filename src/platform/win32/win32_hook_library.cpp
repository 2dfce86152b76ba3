#include "platform/win32/win32_hook_library.h"

#include "platform/win32/system_libraries.h"

namespace sg::platform::win32 {

namespace {

constexpr const char* kHookLibraryFile = "SGDriver.dll";

template <typename Function>
Function Export(HMODULE library, const char* name) {
  return library
             ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)))
             : nullptr;
}

}  // namespace

Win32HookLibrary::Win32HookLibrary() {
  // By its full path beside the program: a DLL of that name anywhere else is not ours.
  const std::string path = ExecutablePath();
  const auto slash = path.rfind('\\');
  if (slash == std::string::npos) return;
  library_ = LoadLibraryExA((path.substr(0, slash + 1) + kHookLibraryFile).c_str(), nullptr,
                            LOAD_LIBRARY_SEARCH_SYSTEM32);
  init_ = Export<InitFunction>(library_, "InitHooksDll");
  install_ = Export<FlagFunction>(library_, "InstallFilters");
  uninstall_ = Export<FlagFunction>(library_, "UnInstallFilters");
  shutdown_ = Export<FlagFunction>(library_, "ShutdownHooksDll");
}

bool Win32HookLibrary::InitHooksDll(WindowHandle window, std::uint32_t message) {
  return init_ && init_(reinterpret_cast<HWND>(window), message);
}

bool Win32HookLibrary::InstallFilters() {
  return install_ && install_();
}

bool Win32HookLibrary::UnInstallFilters() {
  return uninstall_ && uninstall_();
}

bool Win32HookLibrary::ShutdownHooksDll() {
  return shutdown_ && shutdown_();
}

}  // namespace sg::platform::win32
