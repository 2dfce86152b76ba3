#pragma once

#include <windows.h>

#include <string>

namespace sg::platform::win32 {

// The first step of start-up: from here on a DLL named without a path comes from the system
// folder only, never from the program's folder, the current directory or PATH, where another
// user or a downloaded file may have put one. False when the system cannot do it.
bool LoadLibrariesFromSystemFolderOnly();

// LoadLibraryExA of a system DLL with LOAD_LIBRARY_SEARCH_SYSTEM32; null when it is not there.
HMODULE LoadSystemLibrary(const char* name);

// GetModuleFileNameA of the running program, however long.
std::string ExecutablePath();

}  // namespace sg::platform::win32
