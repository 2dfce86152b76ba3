#include "platform/win32/system_libraries.h"

#include <delayimp.h>

namespace sg::platform::win32 {

bool LoadLibrariesFromSystemFolderOnly() {
  return SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32) != FALSE;
}

HMODULE LoadSystemLibrary(const char* name) {
  return LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
}

std::string ExecutablePath() {
  // A full buffer means the path may have been cut.
  std::string path(MAX_PATH, '\0');
  for (;;) {
    const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

namespace {

// The libraries that load at their first use come from the system folder too, whatever the
// order of start-up: the delay-load helper asks this hook before it loads by bare name.
FARPROC WINAPI LoadDelayedLibrary(unsigned notification, PDelayLoadInfo info) {
  if (notification != dliNotePreLoadLibrary || !info) return nullptr;
  return reinterpret_cast<FARPROC>(LoadSystemLibrary(info->szDll));
}

}  // namespace

}  // namespace sg::platform::win32

// The delay-load helper's hook, by the name it looks for.
PfnDliHook __pfnDliNotifyHook2 = sg::platform::win32::LoadDelayedLibrary;
