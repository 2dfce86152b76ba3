#pragma once

// The exports of SGDriver.dll, by their plain C names; the program looks them up by these names.
#include <windows.h>

#define SG_DRIVER_API extern "C" __declspec(dllexport)

SG_DRIVER_API bool InitHooksDll(HWND window, unsigned int message);
SG_DRIVER_API bool InstallFilters();
SG_DRIVER_API bool UnInstallFilters();
SG_DRIVER_API bool ShutdownHooksDll();
