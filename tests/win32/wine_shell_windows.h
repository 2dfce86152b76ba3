#pragma once

// Whether Wine's Shell Windows collection answers. Wine's desktop process serves it, and a new
// prefix sometimes comes up without it; the program then tells the user so in a message box.
#include <windows.h>

#include <exdisp.h>
#include <objbase.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "win32/message_pump.h"

namespace sg::testing {

// The answer to creating the collection, asked again for a while: right after Wine's desktop
// starts, the collection may not be registered yet. The calling thread must have COM.
inline HRESULT CreateWineShellWindows(std::chrono::milliseconds limit = std::chrono::seconds(20)) {
  HRESULT result = E_FAIL;
  PumpUntil(
      [&] {
        IUnknown* windows = nullptr;
        result = CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_ALL, IID_IShellWindows,
                                  reinterpret_cast<void**>(&windows));
        if (windows) windows->Release();
        if (SUCCEEDED(result)) return true;
        PumpFor(std::chrono::milliseconds(500));
        return false;
      },
      limit);
  return result;
}

// A fact about the Wine the tests run on, for the test run's summary.
inline void NoteAboutWine(const std::string& fact) {
  std::printf("note: %s\n", fact.c_str());
  std::fflush(stdout);
}

// Asked once per test process; a missing collection is noted for the test run's summary.
inline bool WineShellWindowsAnswer() {
  static const bool answers = [] {
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const HRESULT result = CreateWineShellWindows();
    if (SUCCEEDED(com)) CoUninitialize();
    if (FAILED(result)) {
      char code[16];
      std::snprintf(code, sizeof code, "0x%08lx", static_cast<unsigned long>(result));
      NoteAboutWine(std::string("Wine's Shell Windows collection did not answer (") + code + ")");
    }
    return SUCCEEDED(result);
  }();
  return answers;
}

}  // namespace sg::testing
