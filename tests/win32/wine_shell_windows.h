#pragma once

// Whether Wine's Shell Windows collection answers. Wine's desktop process serves it; when it does
// not answer (a desktop still starting, a prefix without Wine's COM service), the program shows
// its message about the missing collection.
#include <windows.h>

#include <exdisp.h>
#include <objbase.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "win32/message_pump.h"
#include "win32/run_notes.h"

namespace sg::testing {

// Asked once per test process, for up to 20 s, so that a program started afterwards finds the
// collection; a collection that never comes is noted.
inline bool WineShellWindowsAnswer() {
  static const bool answers = [] {
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    HRESULT result;
    for (;;) {
      IUnknown* windows = nullptr;
      result = CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_ALL, IID_IShellWindows,
                                reinterpret_cast<void**>(&windows));
      if (windows) windows->Release();
      if (SUCCEEDED(result) || std::chrono::steady_clock::now() >= deadline) break;
      PumpFor(std::chrono::milliseconds(500));
    }
    if (SUCCEEDED(com)) CoUninitialize();
    if (FAILED(result)) {
      char code[16];
      std::snprintf(code, sizeof code, "0x%08lx", static_cast<unsigned long>(result));
      NoteForTheRun(std::string("Wine's Shell Windows collection did not answer (") + code + ")");
    }
    return SUCCEEDED(result);
  }();
  return answers;
}

}  // namespace sg::testing
