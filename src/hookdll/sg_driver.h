#pragma once

// The exports of SGDriver.dll, by their plain C names.
#include <windows.h>

#ifdef SG_DRIVER_BUILDING
#define SG_DRIVER_API extern "C" __declspec(dllexport)
#else
#define SG_DRIVER_API extern "C" __declspec(dllimport)
#endif

SG_DRIVER_API bool InitHooksDll(HWND window, unsigned int message);
SG_DRIVER_API bool InstallFilters();
SG_DRIVER_API bool UnInstallFilters();
SG_DRIVER_API bool ShutdownHooksDll();
